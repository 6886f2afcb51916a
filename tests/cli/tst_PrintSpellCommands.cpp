#include "common/TestRegistry.h"

#include "project/Project.h"
#include "project/CModel.h"
#include "app/HeadlessWindowHost.h"
#include "base/StartUpTables.h"
#include "common/ScriptedPrompt.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "tests/cli/CliRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

using CliRun::run;
using CliRun::pdfText;

} // namespace

// kestrova print and kestrova spell over a saved project.
class TestPrintSpellCommands : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    QString m_dictionaries;

    QString path(const QString& name) const { return m_folder.filePath(name); }

    // Controls named after the captions' first words, saved as a project.
    QString writeProject(const QString& name, const QStringList& captions)
    {
        ScriptedPrompt prompt;
        StartUpTables::Fill();
        auto project = std::make_unique<Project>(prompt);
        qint16 number = 0;
        for (const QString& caption : captions) {
            auto item = std::make_unique<CmDecisionItem>();
            item->setIntID(++number);
            item->setStrID(QStringLiteral("Page%1").arg(number));
            item->setCaption(caption);
            project->Decisions().add(std::move(item));
        }
        const bool saved = project->Document().SaveFileAs(path(name)).done();
        project.reset();
        return saved ? path(name) : QString();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(path(QStringLiteral("dictionaries"))));
        m_dictionaries = path(QStringLiteral("dictionaries"));
        for (const auto& [file, text] : {std::pair{"xx_TEST.aff", QByteArray("SET UTF-8\n")},
                                         std::pair{"xx_TEST.dic", QByteArray("4\nhow\nold\nare\nyou\n")}}) {
            QFile out(QDir(m_dictionaries).filePath(QLatin1String(file)));
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(text);
        }
    }

    void printWritesTheSummaryIntoAPdf()
    {
        const QString project = writeProject(QStringLiteral("print.kvp"), {"How old are you", "Where", "Why"});
        QVERIFY(!project.isEmpty());
        const QString pdf = path(QStringLiteral("print.pdf"));
        const CliRun::Outcome outcome = run({"print", project, "-o", pdf, "--what", "summary"});
        QCOMPARE(outcome.code, 0);
        QVERIFY2(outcome.err.isEmpty(), qPrintable(outcome.err));
        const QString text = pdfText(pdf);
        for (const char* name : {"Page1", "Page2", "Page3", "How old are you"})
            QVERIFY2(text.contains(QLatin1String(name)), name);
    }

    void printRefusesWhatItCannotDo_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("said");
        QTest::newRow("unknown part") << QStringList{"--what", "summary,sumary"} << QStringLiteral("\"sumary\"");
        QTest::newRow("not a pdf") << QStringList{"-o", "out.txt"} << QStringLiteral("-o FILE.pdf");
        QTest::newRow("no output") << QStringList{} << QStringLiteral("-o FILE.pdf");
    }

    void printRefusesWhatItCannotDo()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, said);
        QStringList args{"print", path(QStringLiteral("print.kvp"))};
        if (!arguments.contains(QStringLiteral("-o")) && !arguments.isEmpty())
            args << "-o" << path(QStringLiteral("refused.pdf"));
        const CliRun::Outcome outcome = run(args + arguments);
        QCOMPARE(outcome.code, 2);
        QVERIFY2(outcome.err.contains(said), qPrintable(outcome.err));
        QVERIFY(!QFile::exists(path(QStringLiteral("refused.pdf"))));
    }

    void theProgramPrintsWithoutADisplay()
    {
        const QString project = writeProject(QStringLiteral("headless.kvp"), {"How are you"});
        const QString pdf = path(QStringLiteral("headless.pdf"));
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(KV_CLI_PATH), {"print", project, "-o", pdf});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(pdfText(pdf).contains(QStringLiteral("Page1")));
    }

    void spellListsEachUnknownWordAndFails()
    {
        const QString project = writeProject(QStringLiteral("spell.kvp"), {"How old are yuo", "How are you", "Are you olld"});
        const CliRun::Outcome outcome = run({"spell", project, "--dictionaries", m_dictionaries});
        QCOMPARE(outcome.out, QStringLiteral("Page1.Caption: yuo\nPage3.Caption: olld\n"));
        QCOMPARE(outcome.code, 1);
        const QString clean = writeProject(QStringLiteral("clean.kvp"), {"How old are you"});
        const CliRun::Outcome none = run({"spell", clean, "--dictionaries", m_dictionaries});
        QCOMPARE(none.code, 0);
        QVERIFY(none.out.isEmpty());
    }

    void spellWithoutADictionarySaysSo()
    {
        const QString empty = path(QStringLiteral("no-dictionaries"));
        QVERIFY(QDir().mkpath(empty));
        const CliRun::Outcome outcome = run({"spell", path(QStringLiteral("spell.kvp")), "--dictionaries", empty});
        QCOMPARE(outcome.code, 1);
        QVERIFY(outcome.out.isEmpty());
        QVERIFY2(outcome.err.contains(QStringLiteral("hunspell-en-us")), qPrintable(outcome.err));
    }
};

KV_REGISTER_TEST(TestPrintSpellCommands)
#include "tst_PrintSpellCommands.moc"
