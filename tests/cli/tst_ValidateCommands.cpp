#include "CliRun.h"
#include "common/TestRegistry.h"

#include "cli/CommandLine.h"
#include "persist/CsvTable.h"
#include "persist/StorageDocument.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

using CliRun::readFile;

using CliRun::Outcome;
using CliRun::run;

const QString dataDir = QStringLiteral(KV_TEST_DATA_DIR);

// The sample project with its selector, whose table stands beside its rules.
bool buildSample(const QString& project)
{
    if (run({"from-rules", QStringLiteral(KV_SOURCE_DIR "/examples/laptop-selector.rules"), "-o", project}).code != 0)
        return false;
    CsvTable::Rows rows;
    StorageDocument document;
    if (!CsvTable::parse(QString::fromUtf8(readFile(QStringLiteral(KV_SOURCE_DIR "/examples/laptops.csv"))), rows)
        || !document.open(project))
        return false;
    StorageNode laptops = document.rootNode();
    return laptops.open(QStringLiteral("\\Databases\\laptops")).ok() && laptops.writeTable(rows).ok()
           && document.save().ok();
}

} // namespace

class TestValidateCommands : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    QString m_sample;
    QString m_errors;
    QString m_incompatible;

    QString path(const QString& name) const { return m_folder.filePath(name); }

private slots:
    void initTestCase()
    {
        m_sample = path(QStringLiteral("laptops.kvp"));
        QVERIFY(buildSample(m_sample));
        m_errors = path(QStringLiteral("errors.kvp"));
        QCOMPARE(run({"from-rules", dataDir + QStringLiteral("/validate-errors.rules"), "-o", m_errors}).code, 0);
        m_incompatible = path(QStringLiteral("incompatible.kvp"));
        QCOMPARE(run({"from-rules", dataDir + QStringLiteral("/web-incompatible.rules"), "-o", m_incompatible}).code, 0);
    }

    // The sample is clean for both runtimes; a project with warnings passes unless --strict.
    void sampleValidatesCleanly()
    {
        for (const QStringList& options : {QStringList(), QStringList{"--strict"}, QStringList{"--desktop"}}) {
            const Outcome outcome = run(QStringList{"validate"} + options + QStringList{m_sample});
            QCOMPARE(outcome.code, 0);
            QVERIFY(outcome.err.isEmpty());
            QVERIFY2(outcome.out.isEmpty(), qPrintable(outcome.out));
        }
        // A missing !GO warns; the sliders are errors only for the web.
        const Outcome outcome = run({"validate", "--desktop", m_incompatible});
        QCOMPARE(outcome.code, 0);
        QVERIFY(outcome.out.startsWith(QLatin1String("Warning. ")));
        QVERIFY(!outcome.out.contains(QLatin1String("Error. ")));
        QCOMPARE(run({"validate", "--desktop", "--strict", m_incompatible}).code, 1);
        const Outcome both = run({"validate", m_incompatible});
        QCOMPARE(both.code, 1);
        QCOMPARE(both.out.count(QLatin1String("Error. The Slide and NumSlide control are not available")), 2);
    }

    void everyErrorIsNamed_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("golden");
        QTest::newRow("both runtimes") << QStringList() << "validate-errors.log";
        QTest::newRow("desktop") << QStringList{"--desktop"} << "validate-errors-desktop.log";
        QTest::newRow("web") << QStringList{"--web", "--strict"} << "validate-errors.log";
    }

    void everyErrorIsNamed()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, golden);
        const Outcome outcome = run(QStringList{"validate"} + options + QStringList{m_errors});
        QCOMPARE(outcome.code, 1);
        QVERIFY(outcome.err.isEmpty());
        // As the log file holds it: every line ends in CR LF.
        QCOMPARE(outcome.out.count(QLatin1String("\r\n")), outcome.out.count(QLatin1Char('\n')));
        QString expected = QString::fromUtf8(readFile(dataDir + QLatin1Char('/') + golden));
        QVERIFY(!expected.isEmpty());
        expected.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        QCOMPARE(outcome.out, expected);
    }

    void jsonFindings()
    {
        const Outcome outcome = run({"validate", "--format=json", "--desktop", m_errors});
        QCOMPARE(outcome.code, 1);
        const QJsonArray findings = QJsonDocument::fromJson(outcome.out.toUtf8()).array();
        const Outcome text = run({"validate", "--desktop", m_errors});
        QCOMPARE(findings.size(), text.out.count(QLatin1String("\tSource: ")));
        QCOMPARE(findings.at(0).toObject(), (QJsonObject{{"kind", "error"},
                                                         {"message", "Invalid control reference: Ghost"},
                                                         {"control", "Start"},
                                                         {"property", ""},
                                                         {"extra", ""}}));
        QCOMPARE(findings.at(3).toObject(), (QJsonObject{{"kind", "error"},
                                                         {"message", "Invalid control value. "},
                                                         {"control", "Picked"},
                                                         {"property", "Options and Actions"},
                                                         {"extra", "abc"}}));
        const QJsonObject last = findings.last().toObject();
        QCOMPARE(last.value("property").toString(), QStringLiteral("Options and Actions"));
        QCOMPARE(last.value("control").toString(), QStringLiteral("Finish"));
        const Outcome clean = run({"validate", "--format=json", "--desktop", m_sample});
        QCOMPARE(clean.code, 0);
        QVERIFY(QJsonDocument::fromJson(clean.out.toUtf8()).isArray());
    }

    void convertReportsAndApplies()
    {
        const QString project = path(QStringLiteral("convert.kvp"));
        QVERIFY(QFile::copy(m_incompatible, project));
        const QByteArray before = readFile(project);

        const Outcome report = run({"convert", project, "--to", "web"});
        QCOMPARE(report.code, 1);
        QCOMPARE(report.out, QStringLiteral("Making file compatible with the Web Server Component.\r\n"
                                            "The Web Server Component does not allow Slide\r\n"
                                            "\tSource: GamingLevel.Input Interface=Slide\r\n"
                                            "The Web Server Component does not allow NumSlide\r\n"
                                            "\tSource: BatteryHours.Input Interface=NumSlide\r\n"
                                            "The Web Server Component does not allow TextArea\r\n"
                                            "\tSource: Notes.Input Interface=TextArea\r\n"
                                            "There are incompatibilities with this file type. Please fix these "
                                            "errors before compiling. See the log file (View->Log Window) for "
                                            "details.\n"));
        QCOMPARE(readFile(project), before);

        const Outcome applied = run({"convert", project, "--to=web", "--apply"});
        QCOMPARE(applied.code, 0);
        QVERIFY(applied.out.contains(QLatin1String("\tThe Input Interface was changed to Radio\r\n")));
        QVERIFY(applied.out.endsWith(QLatin1String("This file has been modified for compatibility.\n")));
        QVERIFY(run({"info", project}).out.contains(QLatin1String("File type: 1 (Web)")));
        QCOMPARE(run({"validate", "--web", project}).code, 0);

        const Outcome again = run({"convert", project, "--to", "both"});
        QCOMPARE(again.code, 0);
        QCOMPARE(again.out, QStringLiteral("Making file compatible with both the Windows Desktop and Web Server "
                                           "Component.\r\n"
                                           "The file is already compatible with the new file type. No changes have "
                                           "been made.\n"));
    }

    void wrongArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("validate without project") << QStringList{"validate", "--web"} << 2
                                                  << "kestrova: name exactly one project file.";
        QTest::newRow("validate two projects") << QStringList{"validate", "a.kvp", "b.kvp"} << 2
                                               << "kestrova: name exactly one project file.";
        QTest::newRow("validate unknown option") << QStringList{"validate", "--fast", "a.kvp"} << 2
                                                 << "kestrova: unknown option '--fast'.";
        QTest::newRow("validate missing file") << QStringList{"validate", "nowhere.kvp"} << 1
                                               << "The file \"nowhere.kvp\" was not found.";
        QTest::newRow("convert without type") << QStringList{"convert", "a.kvp"} << 2
                                              << "kestrova: name the file type to convert to with --to both, --to "
                                                 "web or --to desktop.";
        QTest::newRow("convert to mars") << QStringList{"convert", "a.kvp", "--to", "mars"} << 2
                                         << "kestrova: name the file type to convert to with --to both, --to web "
                                            "or --to desktop.";
        QTest::newRow("convert type last") << QStringList{"convert", "a.kvp", "--to"} << 2
                                           << "kestrova: name the file type to convert to with --to both, --to web "
                                              "or --to desktop.";
    }

    void wrongArguments()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, message);
        const Outcome outcome = run(args);
        QCOMPARE(outcome.code, code);
        QVERIFY(outcome.out.isEmpty());
        QVERIFY2(outcome.err.startsWith(message + QLatin1Char('\n')), qPrintable(outcome.err));
    }
};

KV_REGISTER_TEST(TestValidateCommands)

#include "tst_ValidateCommands.moc"
