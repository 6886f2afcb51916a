#include "CliRun.h"
#include "common/DocumentEdits.h"
#include "common/TestRegistry.h"

#include "project/Project.h"
#include "project/CModel.h"
#include "app/HeadlessWindowHost.h"
#include "base/ErrorLog.h"
#include "base/KvError.h"
#include "base/ResourceStrings.h"
#include "base/StartUpTables.h"
#include "common/ScriptedPrompt.h"
#include "common/SyntheticTree.h"
#include "model/CmDocument.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

using CliRun::readFile;

using CliRun::Outcome;
using CliRun::run;
using DocumentEdits::setBagProperty;

const QString SampleRules = QStringLiteral(KV_SOURCE_DIR "/examples/laptop-selector.rules");
const QStringList Manager{QStringLiteral("Model"), QStringLiteral("DecisionManager")};

// A regular file's bytes; for anything else what it is, without opening it (a pipe would wait).
QByteArray stateOf(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return "folder";
    return info.isFile() ? readFile(path) : QByteArray("not a regular file");
}

QString line(int id, const QString& first = QString(), const QString& second = QString())
{
    QString text = LoadResString(id);
    if (!first.isNull())
        text = second.isNull() ? text.arg(first) : text.arg(first, second);
    return text + QLatin1Char('\n');
}

// Root may read any file; for as long as this lives the thread's effective rights skip the
// overrides, so that a file without read permission is unreadable to it too.
class WithoutFileOverrides {
public:
    WithoutFileOverrides()
    {
        if (::syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~((1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH));
        m_reduced = ::syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~WithoutFileOverrides()
    {
        if (m_reduced)
            ::syscall(SYS_capset, &m_header, m_saved);
    }
    WithoutFileOverrides(const WithoutFileOverrides&) = delete;
    WithoutFileOverrides& operator=(const WithoutFileOverrides&) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
    bool m_reduced = false;
};

} // namespace

class TestHostileProjects : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;

    QString path(const QString& name) const { return m_folder.filePath(name); }

    // The sample project, built by the command line itself.
    QString sample(const QString& name)
    {
        const QString project = path(name);
        QFile::remove(project);
        return run({QStringLiteral("from-rules"), SampleRules, QStringLiteral("-o"), project}).code == 0 ? project
                                                                                                       : QString();
    }

private slots:
    void hugeCountsCostWhatTheFileHolds()
    {
        const QString plain = sample(QStringLiteral("plain.kvp"));
        const QString counted = sample(QStringLiteral("counted.kvp"));
        QVERIFY(!plain.isEmpty() && !counted.isEmpty());
        const int most = 2147483647;
        QVERIFY(DocumentEdits::editModel(counted, [&](QJsonObject& root) {
            setBagProperty(root, Manager, QStringLiteral("Count"), most);
            setBagProperty(root, Manager + QStringList{QStringLiteral("Decision2")}, QStringLiteral("OptsAndActsCount"), most);
            setBagProperty(root, Manager + QStringList{QStringLiteral("Decision2")}, QStringLiteral("IncludeCount"), most);
            setBagProperty(root, {QStringLiteral("Model"), QStringLiteral("Document")}, QStringLiteral("CallAppCount"), most);
            setBagProperty(root, {QStringLiteral("View"), QStringLiteral("Project")}, QStringLiteral("PictureCount"), most);
        }));
        for (const QString& command : {QStringLiteral("info"), QStringLiteral("records")}) {
            QString expected = run({command, plain}).out;
            const Outcome outcome = run({command, counted});
            QCOMPARE(outcome.code, 0);
            QCOMPARE(outcome.err, QString());
            QCOMPARE(outcome.out, expected.replace(QLatin1String("plain"), QLatin1String("counted")));
        }
    }

    void refusesControlsAnAuthorCouldNotMake_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<QString>("expected");
        const QString id = QStringLiteral("intIdentifier");
        const QString name = QStringLiteral("strIdentifier");
        QTest::newRow("ID above the range") << id << QJsonValue(40000) << line(33210, QStringLiteral("40000"));
        QTest::newRow("ID that wraps to a small one") << id << QJsonValue(65538) << line(33210, QStringLiteral("65538"));
        QTest::newRow("negative ID") << id << QJsonValue(-4) << line(33210, QStringLiteral("-4"));
        QTest::newRow("name with a TAB") << name << QJsonValue(QStringLiteral("Main\tUse"))
                                         << line(33211, QStringLiteral("Main\\tUse"));
        QTest::newRow("name with a line break") << name << QJsonValue(QStringLiteral("Main\r\nUse"))
                                                << line(33211, QStringLiteral("Main\\r\\nUse"));
    }
    void refusesControlsAnAuthorCouldNotMake()
    {
        QFETCH(QString, property);
        QFETCH(QJsonValue, value);
        QFETCH(QString, expected);
        const QString project = sample(QStringLiteral("controls.kvp"));
        QVERIFY(DocumentEdits::editModel(project, [&](QJsonObject& root) {
            setBagProperty(root, Manager + QStringList{QStringLiteral("Decision3")}, property, value);
        }));
        for (const QString& command : {QStringLiteral("info"), QStringLiteral("records")}) {
            const Outcome outcome = run({command, project});
            QCOMPARE(outcome.code, 1);
            QCOMPARE(outcome.out, QString());
            QCOMPARE(outcome.err, expected);
        }
    }

    // The same defences where the controls are rows of their table.
    void refusesRowsAnAuthorCouldNotMake_data()
    {
        QTest::addColumn<QString>("assignment");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ID above the range") << "intIdentifier = 40000" << line(33210, QStringLiteral("40000"));
        QTest::newRow("ID that wraps to a small one") << "intIdentifier = 65538" << line(33210, QStringLiteral("65538"));
        QTest::newRow("negative ID") << "intIdentifier = -4" << line(33210, QStringLiteral("-4"));
        QTest::newRow("name with a TAB") << "strIdentifier = 'Main' || char(9) || 'Use'"
                                         << line(33211, QStringLiteral("Main\\tUse"));
    }
    void refusesRowsAnAuthorCouldNotMake()
    {
        QFETCH(QString, assignment);
        QFETCH(QString, expected);
        const QString project = sample(QStringLiteral("rows.kvp"));
        QCOMPARE(DocumentEdits::editSql(project, QStringLiteral("UPDATE decision SET %1 WHERE position = 3").arg(assignment)),
                 QString());
        for (const QString& command : {QStringLiteral("info"), QStringLiteral("records")}) {
            const Outcome outcome = run({command, project});
            QCOMPARE(outcome.code, 1);
            QCOMPARE(outcome.out, QString());
            QCOMPARE(outcome.err, expected);
        }
    }

    void refusesAProjectCarryingATrigger()
    {
        const QString project = sample(QStringLiteral("trigger.kvp"));
        QCOMPARE(DocumentEdits::execSql(project, QStringLiteral("CREATE TRIGGER hide AFTER INSERT ON node BEGIN "
                                                                "UPDATE node SET value = NULL; END")),
                 QString());
        const Outcome outcome = run({QStringLiteral("info"), project});
        QCOMPARE(outcome.code, 1);
        // The command line names the file and the reason.
        QVERIFY2(outcome.err.contains(project) && outcome.err.contains(QStringLiteral("hide")), qPrintable(outcome.err));
    }

    void refusesContentChangedSinceItWasSaved()
    {
        const QString project = sample(QStringLiteral("changed.kvp"));
        QCOMPARE(DocumentEdits::execSql(project, QStringLiteral("UPDATE docprop SET value = 'Changed'")), QString());
        const Outcome outcome = run({QStringLiteral("info"), project});
        QCOMPARE(outcome.code, 1);
        QCOMPARE(outcome.err, line(33208, project));
    }

    void oneRunWritesALimitedErrorLog()
    {
        const QString project = path(QStringLiteral("noisy.kvp"));
        {
            ScriptedPrompt prompt;
            StartUpTables::Fill();
            Project noisy(prompt);
            SyntheticTree::fill(noisy.Decisions(), 130);
            QVERIFY(noisy.SaveAs(project).done());
        }
        // A help ID too large for its field is reported once per control.
        QVERIFY(DocumentEdits::editModel(project, [&](QJsonObject& root) {
            for (int i = 1; i <= 130; ++i)
                setBagProperty(root, Manager + QStringList{QStringLiteral("Decision%1").arg(i)}, QStringLiteral("kvdHelp"),
                            100000);
        }));
        QFile::remove(ErrorLogFilePath());
        for (int time = 0; time < 2; ++time)
            QCOMPARE(run({QStringLiteral("info"), project}).code, 0);
        const QString log = QString::fromUtf8(readFile(ErrorLogFilePath()));
        QCOMPARE(log.count(QStringLiteral("Description:")), 2 * 100);
        QCOMPARE(log.count(LoadResString(33212).arg(30)), 2);
    }

    // However long one error is, the file never holds more than its cap: not when the error is
    // added, not when the run's errors replace the file.
    void theErrorLogNeverPassesItsCap()
    {
        constexpr qint64 Cap = 1024 * 1024;
        const QString log = ErrorLogFilePath();
        QFile::remove(log);
        ReportError(KvError(1, QStringLiteral("test"), QString(2 * Cap, u'x')), QStringLiteral("theErrorLogNeverPassesItsCap"));
        QVERIFY(QFileInfo(log).size() > 0);
        QVERIFY(QFileInfo(log).size() <= Cap);
        WriteErrorLog(QString(3 * Cap, u'y'));
        QVERIFY(QFileInfo(log).size() > 0);
        QVERIFY(QFileInfo(log).size() <= Cap);
        QVERIFY(readFile(log).startsWith("yyy"));
        QFile::remove(log);
    }

    void refusesOutputsThatAreNoRegularFileOrAnInput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("untouched");
        const QString project = path(QStringLiteral("outputs.kvp"));
        const QString pipe = path(QStringLiteral("pipe.dot"));
        const QString folder = path(QStringLiteral("folder.kvp"));
        const QString rules = path(QStringLiteral("copy.rules"));
        QTest::newRow("graph into a named pipe") << QStringList{QStringLiteral("graph"), project, QStringLiteral("-o"), pipe}
                                                 << line(31104, pipe, LoadResString(33201)) << pipe;
        QTest::newRow("web tree over its project")
            << QStringList{QStringLiteral("compile"), project, QStringLiteral("--web"), QStringLiteral("-o"), project}
            << LoadResString(32414) + line(31104, project, LoadResString(33205)) << project;
        QTest::newRow("journeys over their project")
            << QStringList{QStringLiteral("journeys"), QStringLiteral("export"), project, QStringLiteral("-o"), project}
            << LoadResString(32003).arg(LoadResString(31104).arg(project, LoadResString(33205))) + QLatin1Char('\n')
            << project;
        QTest::newRow("project over its rules")
            << QStringList{QStringLiteral("from-rules"), rules, QStringLiteral("-o"), rules}
            << line(31104, rules, LoadResString(33205)) << rules;
        QTest::newRow("project onto a folder")
            << QStringList{QStringLiteral("from-rules"), rules, QStringLiteral("-o"), folder}
            << line(31104, folder, LoadResString(33200)) << folder;
        QTest::newRow("rules from a folder")
            << QStringList{QStringLiteral("from-rules"), folder, QStringLiteral("-o"), path(QStringLiteral("new.kvp"))}
            << line(31103, folder, LoadResString(33200)) << folder;
        QTest::newRow("rules from a named pipe")
            << QStringList{QStringLiteral("from-rules"), pipe, QStringLiteral("-o"), path(QStringLiteral("new.kvp"))}
            << line(31103, pipe, LoadResString(33201)) << pipe;
    }
    void refusesOutputsThatAreNoRegularFileOrAnInput()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        QFETCH(QString, untouched);
        QVERIFY(!sample(QStringLiteral("outputs.kvp")).isEmpty());
        const QString pipe = path(QStringLiteral("pipe.dot"));
        QFile::remove(pipe);
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QDir().mkpath(path(QStringLiteral("folder.kvp")));
        QFile::remove(path(QStringLiteral("copy.rules")));
        QVERIFY(QFile::copy(SampleRules, path(QStringLiteral("copy.rules"))));
        const QByteArray before = stateOf(untouched);
        const QStringList entries = QDir(m_folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);

        const Outcome outcome = run(args);
        QCOMPARE(outcome.code, 1);
        QCOMPARE(outcome.err, expected);
        QCOMPARE(stateOf(untouched), before);
        QCOMPARE(QDir(m_folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), entries);
    }

    void anUnreadableProjectIsNotCalledCorrupt()
    {
        const QString project = sample(QStringLiteral("locked.kvp"));
        QVERIFY(QFile::setPermissions(project, QFileDevice::WriteOwner));
        Outcome outcome;
        {
            const WithoutFileOverrides unprivileged;
            outcome = run({QStringLiteral("info"), project});
        }
        QFile::setPermissions(project, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(outcome.code, 1);
        QCOMPARE(outcome.err, line(31103, project, QStringLiteral("Permission denied")));
    }

    // The longest name a folder entry may have, and no working copy beside it.
    void theCommandLineWritesTheLongestNameWithoutAWorkingCopy()
    {
        QTemporaryDir folder;
        const QString project = folder.filePath(QString(251, u'p') + QStringLiteral(".kvp"));
        for (int time = 0; time < 2; ++time) {
            const Outcome outcome = run({QStringLiteral("from-rules"), SampleRules, QStringLiteral("-o"), project});
            QCOMPARE(outcome.err, QString());
            QCOMPARE(outcome.code, 0);
        }
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QFileInfo(project).fileName()});
        QCOMPARE(run({QStringLiteral("info"), project}).code, 0);
    }

    void anOutputFolderThatCannotBeWrittenIsNamed_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("readOnly");
        for (const char* command : {"from-rules", "compile", "journeys"}) {
            QTest::newRow(qPrintable(QStringLiteral("%1, missing folder").arg(QLatin1String(command)))) << command << false;
            QTest::newRow(qPrintable(QStringLiteral("%1, read-only folder").arg(QLatin1String(command)))) << command << true;
        }
    }
    // The command line keeps no working copy: a folder it cannot write is named in its own
    // words, never as the Designer's.
    void anOutputFolderThatCannotBeWrittenIsNamed()
    {
        QFETCH(QString, command);
        QFETCH(bool, readOnly);
        const QString project = sample(QStringLiteral("source.kvp"));
        QVERIFY(!project.isEmpty());
        const QString folder = path(readOnly ? QStringLiteral("closed") : QStringLiteral("missing"));
        if (readOnly) {
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }
        const QString output = folder + QStringLiteral("/out.kvp");
        QStringList args{command, project, QStringLiteral("-o"), output};
        if (command == QLatin1String("from-rules"))
            args = QStringList{command, SampleRules, QStringLiteral("-o"), output};
        else if (command == QLatin1String("compile"))
            args.insert(2, QStringLiteral("--web"));
        else
            args.insert(1, QStringLiteral("export"));
        Outcome outcome;
        {
            const WithoutFileOverrides unprivileged;
            outcome = run(args);
        }
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(outcome.code, 1);
        QVERIFY2(outcome.err.contains(folder), qPrintable(outcome.err));
        QVERIFY2(!outcome.err.contains(QStringLiteral("the Designer"), Qt::CaseInsensitive)
                     && !outcome.err.contains(QStringLiteral("working copy")),
                 qPrintable(outcome.err));
        QVERIFY(!QFileInfo::exists(output));
    }

    void aWorkingCopyLeftByTheDesignerIsNotTouched()
    {
        const QString project = sample(QStringLiteral("edited.kvp"));
        const QString workingCopy = path(QStringLiteral("edited.tmp"));
        QFile left(workingCopy);
        QVERIFY(left.open(QIODevice::WriteOnly));
        left.write("work a Designer left behind");
        left.close();
        const Outcome renamed =
            run({QStringLiteral("rename"), project, QStringLiteral("Welcome"), QStringLiteral("Hello")});
        QCOMPARE(renamed.err, QString());
        QCOMPARE(renamed.code, 0);
        QCOMPARE(readFile(workingCopy), QByteArray("work a Designer left behind"));
        QVERIFY(run({QStringLiteral("records"), project}).out.contains(QLatin1String("\tHello\t")));
    }
};

KV_REGISTER_TEST(TestHostileProjects)
#include "tst_HostileProjects.moc"
