#include "CliRun.h"
#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"
#include "cli/CommandLine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

using CliRun::readFile;
using CliRun::writeFile;

using CliRun::Outcome;
using CliRun::run;

QString usageError(const QString& message)
{
    return LoadResString(32003).arg(message) + u"\n"_s + LoadResString(36110) + u"\n"_s;
}

// A control that goes nowhere: an error for either runtime.
const QByteArray BrokenRules("BEGIN\r\n1\t\tStart\t\t\t\"Hi\"\tRadio\t^Yes\t!GO Nowhere\t\r\n");

} // namespace

class TestCompileCommand : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    QString m_sample;

    QString path(const QString& name) const { return m_folder.filePath(name); }

private slots:
    void initTestCase()
    {
        // The sample project, built as the build builds it.
        m_sample = path(u"laptop-selector.kvp"_s);
        QVERIFY(CliRun::makeSample(m_sample));
    }

    void wrongArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        const QString arguments = LoadResString(32423);
        QTest::newRow("nothing") << QStringList{u"compile"_s} << arguments;
        QTest::newRow("no runtime") << QStringList{u"compile"_s, u"p.kvp"_s, u"-o"_s, u"x"_s} << arguments;
        QTest::newRow("both runtimes") << QStringList{u"compile"_s, u"p.kvp"_s, u"--web"_s, u"--desktop"_s, u"-o"_s, u"x"_s}
                                       << arguments;
        QTest::newRow("no output") << QStringList{u"compile"_s, u"p.kvp"_s, u"--web"_s} << arguments;
        QTest::newRow("-o without a file") << QStringList{u"compile"_s, u"p.kvp"_s, u"--web"_s, u"-o"_s} << arguments;
        QTest::newRow("-o with an empty name") << QStringList{u"compile"_s, u"p.kvp"_s, u"--web"_s, u"-o"_s, QString()}
                                               << arguments;
        QTest::newRow("two projects") << QStringList{u"compile"_s, u"a.kvp"_s, u"b.kvp"_s, u"--web"_s, u"-o"_s, u"x"_s}
                                      << arguments;
        QTest::newRow("image path for the desktop")
            << QStringList{u"compile"_s, u"p.kvp"_s, u"--desktop"_s, u"-o"_s, u"x"_s, u"--image-path"_s, u"img"_s}
            << LoadResString(32425);
        QTest::newRow("unknown option") << QStringList{u"compile"_s, u"p.kvp"_s, u"--web"_s, u"-o"_s, u"x"_s, u"--fast"_s}
                                        << LoadResString(32313).arg(u"--fast"_s);
    }
    void wrongArguments()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const Outcome outcome = run(args);
        QCOMPARE(outcome.code, 2);
        QCOMPARE(outcome.out, QString());
        QCOMPARE(outcome.err, usageError(message));
    }

    void sampleCompilesForBothRuntimes()
    {
        const QString desktop = path(u"laptops.kvd"_s);
        const Outcome kvd = run({u"compile"_s, m_sample, u"--desktop"_s, u"-o"_s, desktop});
        QCOMPARE(kvd.code, 0);
        // Standard output stays for data: what was written and how it went go to stderr.
        QCOMPARE(kvd.out, QString());
        QCOMPARE(kvd.err, LoadResString(32424).arg(desktop) + u"\n"_s + LoadResString(14019) + u"\n"_s);
        QVERIFY(QFile::exists(desktop));

        const QString web = path(u"laptops.kvw"_s);
        const Outcome kvw = run({u"compile"_s, m_sample, u"--web"_s, u"-o"_s, web, u"--image-path"_s, u"img"_s});
        QCOMPARE(kvw.code, 0);
        QCOMPARE(kvw.out, QString());
        QCOMPARE(kvw.err, LoadResString(32424).arg(web) + u"\n"_s + LoadResString(14019) + u"\n"_s);
        const QByteArray written = readFile(web);
        QVERIFY(written.contains(("tree='" + QFileInfo(web).absoluteFilePath() + "'?>").toUtf8()));
        QVERIFY(written.contains("<CriteriaList Name='laptops'>"));
        const QString xmllint = QStandardPaths::findExecutable(u"xmllint"_s);
        if (xmllint.isEmpty())
            QSKIP("xmllint is not installed (Debian package libxml2-utils)");
        QCOMPARE(QProcess::execute(xmllint, {u"--noout"_s, web}), 0);
    }

    // "-o -": the file's bytes on standard output, the same as a file gets but for the path the
    // web tree names itself by.
    void standardOutputGetsTheFile()
    {
        const QString web = path(u"same.kvw"_s);
        QCOMPARE(run({u"compile"_s, m_sample, u"--web"_s, u"-o"_s, web}).code, 0);
        const Outcome kvw = run({u"compile"_s, m_sample, u"--web"_s, u"-o"_s, u"-"_s});
        QCOMPARE(kvw.code, 0);
        QCOMPARE(kvw.err, LoadResString(32424).arg(LoadResString(36112)) + u"\n"_s + LoadResString(14019) + u"\n"_s);
        QString expected = QString::fromLatin1(readFile(web));
        expected.replace(u"tree='"_s + QFileInfo(web).absoluteFilePath(), u"tree='laptop-selector.kvw"_s);
        QCOMPARE(kvw.out, expected);

        const Outcome kvd = run({u"compile"_s, m_sample, u"--desktop"_s, u"-o"_s, u"-"_s});
        QCOMPARE(kvd.code, 0);
        QVERIFY(kvd.out.startsWith(u"SQLite format 3"_s));
        QVERIFY(!QFile::exists(u"-"_s));
    }

    void desktopErrorsLeaveThePreviousFile()
    {
        const QString rules = path(u"broken.rules"_s);
        const QString project = path(u"broken.kvp"_s);
        QVERIFY(writeFile(rules, BrokenRules));
        QCOMPARE(run({u"from-rules"_s, rules, u"-o"_s, project}).code, 0);
        const QString target = path(u"broken.kvd"_s);
        QVERIFY(writeFile(target, "previous"));
        const Outcome outcome = run({u"compile"_s, project, u"--desktop"_s, u"-o"_s, target});
        QCOMPARE(outcome.code, 1);
        QCOMPARE(outcome.out, QString());
        QCOMPARE(outcome.err, LoadResString(12502) + LoadResString(12504) + u"Nowhere\r\n\t"_s + LoadResString(12537)
                                  + u"Start.Options and Actions\r\n"_s + LoadResString(14021) + u"\n"_s);
        QCOMPARE(readFile(target), QByteArray("previous"));
    }

    // A missing folder is said before any work, as other writers refuse it: nothing is made.
    void aMissingFolderIsRefused_data()
    {
        QTest::addColumn<QString>("runtime");
        QTest::newRow("web") << u"--web"_s;
        QTest::newRow("desktop") << u"--desktop"_s;
    }
    void aMissingFolderIsRefused()
    {
        QFETCH(QString, runtime);
        const QString target = path(u"missing/tree.kv"_s);
        const Outcome outcome = run({u"compile"_s, m_sample, runtime, u"-o"_s, target});
        QCOMPARE(outcome.code, 1);
        QCOMPARE(outcome.err, LoadResString(36503).arg(path(u"missing"_s)) + u"\n"_s);
        QVERIFY(!QFileInfo::exists(path(u"missing"_s)));
    }

    void controlCharactersAreNeverDroppedSilently_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("compile --web") << QStringList{u"compile"_s, u"@"_s, u"--web"_s, u"-o"_s, u"c.kvw"_s};
        QTest::newRow("validate --web --strict") << QStringList{u"validate"_s, u"@"_s, u"--web"_s, u"--strict"_s};
        QTest::newRow("validate --web") << QStringList{u"validate"_s, u"@"_s, u"--web"_s};
    }
    // An option holding U+0001, which a web tree cannot hold: the web compile leaves it out, so it
    // fails with the finding instead of differing silently from the desktop run.
    void controlCharactersAreNeverDroppedSilently()
    {
        QFETCH(QStringList, args);
        const QString rules = path(u"control.rules"_s);
        const QString project = path(u"control.kvp"_s);
        QVERIFY(writeFile(rules, QByteArray("BEGIN\r\n1\t\tStart\t\t\t\"Pick\"\tRadio\t^A\x01" "B\t!GO End\t\r\n"
                                            "2\t\tEnd\t\t\t\"Done\"\tInfo\t!FINISH\t\r\n")));
        QCOMPARE(run({u"from-rules"_s, rules, u"-o"_s, project}).code, 0);
        for (QString& arg : args) {
            if (arg == u"@"_s)
                arg = project;
            else if (arg == u"c.kvw"_s)
                arg = path(arg);
        }
        const Outcome outcome = run(args);
        QCOMPARE(outcome.code, 1);
        QVERIFY2(outcome.err.contains(LoadResString(33228).arg(u"U+0001"_s)) || outcome.out.contains(LoadResString(33228).arg(u"U+0001"_s)),
                 qPrintable(outcome.err + outcome.out));
    }

    void missingProjectFails()
    {
        const Outcome outcome = run({u"compile"_s, path(u"none.kvp"_s), u"--web"_s, u"-o"_s, path(u"none.kvw"_s)});
        QCOMPARE(outcome.code, 1);
        QCOMPARE(outcome.out, QString());
        QVERIFY(!outcome.err.isEmpty());
        QVERIFY(!QFile::exists(path(u"none.kvw"_s)));
    }
};

KV_REGISTER_TEST(TestCompileCommand)
#include "tst_CompileCommand.moc"
