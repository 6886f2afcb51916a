#include "CliRun.h"
#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using CliRun::readFile;
using CliRun::writeFile;

using CliRun::Outcome;
using CliRun::run;

// A NumBox whose one option gives the limits 1 to 100; its default and a !SET lie outside.
const QByteArray LimitedRules("BEGIN\r\n"
                              "1\t\tAmount\t\t\t\"How many?\"\tNumBox\t&500\t^1-100\t!GO Next\t\r\n"
                              "2\t\tNext\t\t\t\"Next\"\tRadio\t^Yes\t!SET [[Amount]] = 500\t!GO Done\t\r\n"
                              "3\t\tDone\t\t\t\"Done\"\tDone\t\r\n");

} // namespace

// What the commands print where, and the arguments they refuse.
class TestCommandLineOutputs : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    QString m_sample;

    QString path(const QString& name) const { return m_folder.filePath(name); }

private slots:
    void initTestCase()
    {
        // The sample without its journeys.
        m_sample = path(u"sample.kvp"_s);
        QVERIFY(CliRun::makeSample(m_sample));
    }

    // An option a command does not know, or an empty output name, is wrong arguments, never a
    // file name.
    void wrongArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("find") << QStringList{u"find"_s, u"--bogus"_s, u"x.kvp"_s};
        QTest::newRow("find, option after") << QStringList{u"find"_s, u"x.kvp"_s, u"text"_s, u"-w"_s};
        QTest::newRow("replace") << QStringList{u"replace"_s, u"x.kvp"_s, u"a"_s, u"b"_s, u"--bogus"_s};
        QTest::newRow("spell") << QStringList{u"spell"_s, u"--bogus"_s, u"x.kvp"_s};
        QTest::newRow("print") << QStringList{u"print"_s, u"x.kvp"_s, u"-o"_s, u"x.pdf"_s, u"--bogus"_s};
        QTest::newRow("test") << QStringList{u"test"_s, u"x.kvp"_s, u"-x"_s};
        QTest::newRow("test, empty report name") << QStringList{u"test"_s, m_sample, u"--junit"_s, QString()};
        QTest::newRow("selector export, empty name")
            << QStringList{u"selector"_s, u"export"_s, m_sample, u"laptops"_s, u"-o"_s, QString()};
        QTest::newRow("journeys export, empty name") << QStringList{u"journeys"_s, u"export"_s, m_sample, u"-o"_s, QString()};
        // An empty name would mean none: the merge would go into ours.
        QTest::newRow("merge, empty output name") << QStringList{u"merge"_s, m_sample, m_sample, m_sample, u"-o"_s, QString()};
        QTest::newRow("merge, empty log name") << QStringList{u"merge"_s, m_sample, m_sample, m_sample, u"--path"_s, QString()};
        QTest::newRow("serve, empty results name") << QStringList{u"serve"_s, u"none.kvw"_s, u"--results"_s, QString()};
        QTest::newRow("serve, empty secret name") << QStringList{u"serve"_s, u"none.kvw"_s, u"--secret-file"_s, QString()};
        QTest::newRow("help in an unknown form") << QStringList{u"--help"_s, u"pdf"_s};
    }
    void wrongArguments()
    {
        QFETCH(QStringList, args);
        const Outcome outcome = run(args);
        QCOMPARE(outcome.code, 2);
        QVERIFY(!outcome.err.isEmpty());
        QCOMPARE(outcome.out, QString());
    }

    // A text that only looks like an option is found after "--".
    void findTakesADashedTextAfterTheEnd()
    {
        const Outcome outcome = run({u"find"_s, m_sample, u"--"_s, u"--nothing-like-this"_s});
        QCOMPARE(outcome.code, 0);
        QCOMPARE(outcome.out, QString());
    }

    void spellNamesTheMissingDictionary()
    {
        const QString folder = path(u"dictionaries"_s);
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(writeFile(folder + u"/en_US.aff"_s, "SET UTF-8\n"));
        QVERIFY(writeFile(folder + u"/en_US.dic"_s, "1\nlaptop\n"));
        const Outcome missing = run({u"spell"_s, m_sample, u"--language"_s, u"de_DE"_s, u"--dictionaries"_s, folder});
        QCOMPARE(missing.code, 2);
        QVERIFY2(missing.err.contains(u"de_DE"_s) && missing.err.contains(u"en_US"_s), qPrintable(missing.err));
        QCOMPARE(missing.out, QString());
        // The dictionary that is there is used.
        const Outcome english = run({u"spell"_s, m_sample, u"--language"_s, u"en_US"_s, u"--dictionaries"_s, folder});
        QCOMPARE(english.code, 1);
        QVERIFY(english.out.contains(u"Welcome"_s));
    }

    // A CI step reads the report whether or not the project has journeys.
    void testWithoutJourneysWritesAnEmptySuite()
    {
        const QString report = path(u"empty.xml"_s);
        const Outcome outcome = run({u"test"_s, m_sample, u"--junit"_s, report});
        QCOMPARE(outcome.code, 1);
        QVERIFY(outcome.err.contains(LoadResString(36130).arg(report)));
        const QByteArray xml = readFile(report);
        QVERIFY2(xml.contains("<testsuite") && xml.contains("tests=\"0\""), xml.constData());
        QVERIFY(!xml.contains("<testcase"));
    }

    void graphToStandardOutput()
    {
        const Outcome dot = run({u"graph"_s, m_sample, u"-o"_s, u"-"_s});
        QCOMPARE(dot.code, 0);
        QVERIFY(dot.out.startsWith(u"digraph"_s));
        QCOMPARE(dot.err, QString());
        const Outcome svg = run({u"graph"_s, m_sample, u"-o"_s, u"-"_s, u"--format"_s, u"svg"_s});
        QCOMPARE(svg.code, 0);
        QVERIFY(svg.out.contains(u"<svg"_s));
    }

    // The help page and the manual page are made from the table --help lists.
    void referenceNamesEveryCommand_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("before");
        QTest::newRow("html") << u"html"_s << u"<code>kestrova "_s;
        QTest::newRow("man") << u"man"_s << u".SS "_s;
    }
    void referenceNamesEveryCommand()
    {
        QFETCH(QString, format);
        QFETCH(QString, before);
        const Outcome help = run({u"--help"_s});
        QCOMPARE(help.code, 0);
        QStringList names;
        for (const QString& line : help.out.split(u'\n')) {
            if (line.startsWith(u"  "_s) && line.size() > 2 && line.at(2).isLetter())
                names.append(line.mid(2).section(u' ', 0, 0));
        }
        QVERIFY(names.size() >= 20);
        const Outcome reference = run({u"--help"_s, format});
        QCOMPARE(reference.code, 0);
        for (const QString& name : std::as_const(names)) {
            const QString escaped = format == u"man"_s ? QString(name).replace(u'-', u"\\-"_s) : name;
            QVERIFY2(reference.out.contains(before + escaped), qPrintable(name));
        }
    }

    // Printing runs as a graphical application; without a runtime folder of the user's (a CI
    // container) it says nothing about it.
    void printIsQuietWithoutARuntimeFolder()
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"XDG_RUNTIME_DIR"_s);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(KV_CLI_PATH), {u"print"_s, m_sample, u"-o"_s, path(u"sample.pdf"_s), u"--what"_s, u"summary"_s});
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(QString::fromLocal8Bit(process.readAllStandardError()), QString());
        QVERIFY(QFile::exists(path(u"sample.pdf"_s)));
    }

    // A numeric control's range option gives its limits: validation checks its default and a
    // !SET against them, and the web tree carries them.
    void rangeOptionsGiveTheLimits()
    {
        const QString rules = path(u"limited.rules"_s);
        const QString project = path(u"limited.kvp"_s);
        QVERIFY(writeFile(rules, LimitedRules));
        QCOMPARE(run({u"from-rules"_s, rules, u"-o"_s, project}).code, 0);
        const Outcome validated = run({u"validate"_s, project});
        QCOMPARE(validated.code, 1);
        QVERIFY2(validated.out.contains(LoadResString(12525)), qPrintable(validated.out));
        QVERIFY2(validated.out.contains(LoadResString(12526)), qPrintable(validated.out));
        const Outcome web = run({u"compile"_s, project, u"--web"_s, u"-o"_s, u"-"_s});
        QVERIFY2(web.out.contains(u"<Range From='1' To='100'"_s), qPrintable(web.out));
    }
};

KV_REGISTER_TEST(TestCommandLineOutputs)
#include "tst_CommandLineOutputs.moc"
