#include "CliRun.h"
#include "common/TestRegistry.h"

#include "common/DocumentEdits.h"
#include "common/ScriptedPrompt.h"

#include "base/MCommonUtil.h"
#include "base/ResourceStrings.h"
#include "base/StartUpTables.h"
#include "model/CmDocument.h"
#include "persist/FileBytes.h"
#include "persist/ProjectLock.h"
#include "persist/StorageDocument.h"
#include "project/Project.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

// What the program finds at the paths it reads and writes beside a project: links, named pipes,
// devices, folders and empty files, where a hostile folder or a killed run can leave them.
namespace {

using CliRun::readFile;
using CliRun::writeFile;

using CliRun::Outcome;
using CliRun::run;

enum class State { LinkToVictim, DanglingLink, HardLinkToVictim, EmptyFile, Folder, Pipe };

const QByteArray VictimBytes = "a file that has nothing to do with the project";

bool isPlainFile(const QString& path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

// Puts the state at path; victim is the unrelated file a link there names.
bool place(State state, const QString& path, const QString& victim)
{
    const QByteArray native = QFile::encodeName(path);
    switch (state) {
    case State::LinkToVictim: return QFile::link(victim, path);
    case State::DanglingLink: return QFile::link(victim + QStringLiteral(".new"), path);
    case State::HardLinkToVictim: return ::link(QFile::encodeName(victim).constData(), native.constData()) == 0;
    case State::EmptyFile: return writeFile(path, QByteArray());
    case State::Folder: return QDir().mkdir(path);
    case State::Pipe: return ::mkfifo(native.constData(), 0600) == 0;
    }
    return false;
}

// A small tree with a picture, a selector and the files a writer reads, built by the command line.
class Fixture {
public:
    QTemporaryDir folder;
    QString path(const QString& name) const { return folder.filePath(name); }
    QString project() const { return path(QStringLiteral("p.kvp")); }
    QString victim() const { return path(QStringLiteral("victim.txt")); }

    bool build()
    {
        const QByteArray rules = "BEGIN\r\n"
                                 "1\t\tStart\tpic\t\t\"Pick one\"\tRadio\t^Yes\t!GO End\t^No\t!GO End\t\r\n"
                                 "2\t\tEnd\t\t\t\"Done\"\tInfo\t\r\n";
        if (!writeFile(path(QStringLiteral("t.rules")), rules) || !writeFile(victim(), VictimBytes)
            || !writeFile(path(QStringLiteral("items.csv")), "Name,Price\r\nA,1\r\n")
            || !writeFile(path(QStringLiteral("answers.txt")), "Start=Yes\n")
            || run({QStringLiteral("from-rules"), path(QStringLiteral("t.rules")), QStringLiteral("-o"), project()}).code != 0
            || run({QStringLiteral("selector"), QStringLiteral("import"), project(), path(QStringLiteral("items.csv"))}).code != 0
            || !writeFile(path(QStringLiteral("journey.txt")), "journey: yes\nStart=Yes\n")
            || run({QStringLiteral("journeys"), QStringLiteral("import"), project(), path(QStringLiteral("journey.txt"))}).code != 0)
            return false;
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        StorageDocument document;
        return document.open(project()) && document.pictures().add(QStringLiteral("pic"), png) && document.save()
            && run({QStringLiteral("journeys"), QStringLiteral("export"), project(), QStringLiteral("-o"),
                    path(QStringLiteral("j.txt"))}).code == 0;
    }

    // Every command's arguments, with the files of this folder.
    QStringList arguments(const QStringList& pattern) const
    {
        QStringList args;
        for (const QString& word : pattern)
            args << (word.startsWith(QLatin1Char('@')) ? path(word.mid(1)) : word == QLatin1String("P") ? project() : word);
        return args;
    }

    // Every entry of the folder, hidden ones too.
    QStringList entries() const
    {
        return QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }
};

// Each writer of the command line, the file it writes and the code it ends with.
void addWriters()
{
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QString>("written");
    const auto row = [](const char* name, const QStringList& command, const QString& written) {
        QTest::newRow(name) << command << written;
    };
    row("rename", {"rename", "P", "Start", "Begin"}, "p.kvp");
    row("replace", {"replace", "P", "Done", "Finished"}, "p.kvp");
    row("selector import", {"selector", "import", "P", "@items.csv"}, "p.kvp");
    row("journeys import", {"journeys", "import", "P", "@j.txt"}, "p.kvp");
    row("compile --desktop", {"compile", "P", "--desktop", "-o", "@t.kvd"}, "t.kvd");
    row("compile --web", {"compile", "P", "--web", "-o", "@t.kvw"}, "t.kvw");
    row("exported picture", {"compile", "P", "--web", "-o", "@t.kvw"}, "pic.jpg");
    row("from-rules", {"from-rules", "@t.rules", "-o", "@n.kvp"}, "n.kvp");
    row("selector export", {"selector", "export", "P", "items", "-o", "@s.csv"}, "s.csv");
    row("journeys export", {"journeys", "export", "P", "-o", "@out.txt"}, "out.txt");
    row("print", {"print", "P", "-o", "@out.pdf", "--what", "summary"}, "out.pdf");
    row("graph", {"graph", "P", "-o", "@g.dot"}, "g.dot");
    row("test --junit", {"test", "P", "--junit", "@r.xml"}, "r.xml");
    row("merge -o", {"merge", "P", "P", "P", "-o", "@m.kvp"}, "m.kvp");
    row("convert --apply", {"convert", "P", "--to", "both", "--apply"}, "p.kvp");
}

// Three sides of one project that conflict: ours and theirs rename the same control apart.
bool makeConflict(const Fixture& fixture)
{
    for (const char* side : {"base.kvp", "ours.kvp", "theirs.kvp"}) {
        if (!QFile::copy(fixture.project(), fixture.path(QString::fromLatin1(side))))
            return false;
    }
    return run({QStringLiteral("rename"), fixture.path(QStringLiteral("ours.kvp")), QStringLiteral("Start"), QStringLiteral("Ours")}).code == 0
        && run({QStringLiteral("rename"), fixture.path(QStringLiteral("theirs.kvp")), QStringLiteral("Start"), QStringLiteral("Theirs")}).code == 0;
}

} // namespace

class TestFileSystemStates : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { StartUpTables::Fill(); }

    void writersNeverWriteThroughTheirPartFile_data() { addWriters(); }
    // A link at the name of the part file a writer goes through is removed, never followed: the
    // file it names keeps its bytes, and the writer's own file is written as a plain file.
    void writersNeverWriteThroughTheirPartFile()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, written);
        for (const State state : {State::LinkToVictim, State::DanglingLink, State::HardLinkToVictim}) {
            Fixture fixture;
            QVERIFY(fixture.build());
            const QString target = fixture.path(written);
            const QStringList before = fixture.entries();
            QVERIFY(place(state, FileBytes::partPath(target), fixture.victim()));
            const Outcome outcome = run(fixture.arguments(command));
            QVERIFY2(outcome.code == 0, qPrintable(outcome.err));
            QCOMPARE(readFile(fixture.victim()), VictimBytes);
            QVERIFY(isPlainFile(target));
            QVERIFY(!QFileInfo::exists(fixture.victim() + QStringLiteral(".new")));
            QVERIFY(!fixture.entries().contains(QFileInfo(FileBytes::partPath(target)).fileName()));
            QVERIFY(before.contains(written) || fixture.entries().contains(written));
        }
    }

    void whatCannotBeRemovedStopsTheWriterNamed_data() { addWriters(); }
    // A folder or a named pipe at the part file's name is not the writer's to remove: it stops,
    // says where, and waits for nothing.
    void whatCannotBeRemovedStopsTheWriterNamed()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, written);
        for (const State state : {State::Folder, State::Pipe}) {
            Fixture fixture;
            QVERIFY(fixture.build());
            const QString target = fixture.path(written);
            const QByteArray old = readFile(target);
            const QString part = FileBytes::partPath(target);
            QVERIFY(place(state, part, fixture.victim()));
            const Outcome outcome = run(fixture.arguments(command));
            QVERIFY2(outcome.code != 0 || written == QLatin1String("pic.jpg"), qPrintable(outcome.err));
            QVERIFY2(outcome.err.contains(part), qPrintable(outcome.err));
            QCOMPARE(readFile(target), old);
        }
    }

    void theWorkingCopyIsNeverWrittenThroughALink_data()
    {
        QTest::addColumn<State>("state");
        QTest::addColumn<bool>("atPart");
        QTest::newRow("link at its part file") << State::LinkToVictim << true;
        QTest::newRow("link at its name") << State::LinkToVictim << false;
        QTest::newRow("dangling link at its name") << State::DanglingLink << false;
        QTest::newRow("hard link at its name") << State::HardLinkToVictim << false;
    }
    // The working copy's name is the program's own: a link there is replaced at the open, at a
    // save of the working copy and at a save of the project, never followed.
    void theWorkingCopyIsNeverWrittenThroughALink()
    {
        QFETCH(State, state);
        QFETCH(bool, atPart);
        Fixture fixture;
        QVERIFY(fixture.build());
        const QString workingCopy = MCommonUtil::GetTempFile(fixture.project());
        const QString linked = atPart ? FileBytes::partPath(workingCopy) : workingCopy;
        ScriptedPrompt prompt;
        Project project(prompt);
        CmDocument& document = project.Document();
        for (int write = 0; write < 3; ++write) {
            QFile::remove(linked);
            QVERIFY(place(state, linked, fixture.victim()));
            if (write == 0) {
                QVERIFY(project.Open(fixture.project()));
            } else if (write == 1) {
                const StorageResult saved = document.SaveWorkingCopy();
                QVERIFY2(saved, qPrintable(saved.message));
            } else {
                QVERIFY(project.Save().done());
            }
            QVERIFY2(isPlainFile(workingCopy), qPrintable(QString::number(write)));
            QCOMPARE(readFile(fixture.victim()), VictimBytes);
            QVERIFY(!QFileInfo::exists(fixture.victim() + QStringLiteral(".new")));
        }
        document.CloseDocument();
    }

    // A folder or a pipe at the working copy's name is no file to replace: the project opens and
    // saves all the same, without a working copy, and nothing waits on the pipe.
    void whatIsNoFileAtTheWorkingCopysNameIsLeft()
    {
        for (const State state : {State::Folder, State::Pipe}) {
            Fixture fixture;
            QVERIFY(fixture.build());
            const QString workingCopy = MCommonUtil::GetTempFile(fixture.project());
            QVERIFY(place(state, workingCopy, fixture.victim()));
            ScriptedPrompt prompt;
            Project project(prompt);
            QVERIFY(project.Open(fixture.project()));
            QVERIFY(project.Document().SaveWorkingCopy());
            QVERIFY(project.Save().done());
            QVERIFY(!isPlainFile(workingCopy) && QFileInfo::exists(workingCopy));
            project.Document().CloseDocument();
        }
    }

    void namesOfTheProgramsOwnReplaceALink_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("code");
        QTest::newRow("exported picture") << QStringList{"compile", "P", "--web", "-o", "@t.kvw"} << "pic.jpg" << 0;
        QTest::newRow("merge log") << QStringList{"merge", "@base.kvp", "@ours.kvp", "@theirs.kvp"} << "ours.log" << 1;
    }
    // A file whose name the program makes beside what it writes replaces a link found at that
    // name: the file the link names keeps its bytes.
    void namesOfTheProgramsOwnReplaceALink()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, name);
        QFETCH(int, code);
        for (const State state : {State::LinkToVictim, State::DanglingLink}) {
            Fixture fixture;
            QVERIFY(fixture.build());
            QVERIFY(makeConflict(fixture));
            QVERIFY(place(state, fixture.path(name), fixture.victim()));
            const Outcome outcome = run(fixture.arguments(command));
            QVERIFY2(outcome.code == code, qPrintable(outcome.err));
            QCOMPARE(readFile(fixture.victim()), VictimBytes);
            QVERIFY(!QFileInfo::exists(fixture.victim() + QStringLiteral(".new")));
            QVERIFY2(isPlainFile(fixture.path(name)), qPrintable(outcome.err));
        }
    }

    void theProjectLock_data()
    {
        QTest::addColumn<State>("state");
        QTest::addColumn<bool>("writerRuns");
        QTest::addColumn<int>("reasonId");
        QTest::newRow("empty, left by a kill") << State::EmptyFile << true << 0;
        QTest::newRow("folder") << State::Folder << false << 33200;
        QTest::newRow("named pipe") << State::Pipe << false << 33201;
        QTest::newRow("link to another file") << State::LinkToVictim << false << 33220;
    }
    // What is at the lock's name: a stale lock is taken at once, anything else is named. Commands
    // that only read never look at the lock.
    void theProjectLock()
    {
        QFETCH(State, state);
        QFETCH(bool, writerRuns);
        QFETCH(int, reasonId);
        Fixture fixture;
        QVERIFY(fixture.build());
        const QString lock = MCommonUtil::GetTempFile(fixture.project()) + QStringLiteral(".lock");
        QVERIFY(place(state, lock, fixture.victim()));
        const Outcome renamed = run({QStringLiteral("rename"), fixture.project(), QStringLiteral("Start"), QStringLiteral("Begin")});
        QCOMPARE(renamed.code == 0, writerRuns);
        if (!writerRuns) {
            QVERIFY2(renamed.err.contains(lock) && renamed.err.contains(LoadResString(reasonId)), qPrintable(renamed.err));
            QCOMPARE(readFile(fixture.victim()), VictimBytes);
        }
        for (const QString& reader : {QStringLiteral("info"), QStringLiteral("records")})
            QCOMPARE(run({reader, fixture.project()}).code, 0);
    }

    // The Designer holding the project refuses the writers only.
    void readersReadWhatTheDesignerHolds()
    {
        Fixture fixture;
        QVERIFY(fixture.build());
        ProjectLock designer;
        QVERIFY(designer.acquire(MCommonUtil::GetTempFile(fixture.project()) + QStringLiteral(".lock"), fixture.project()));
        for (const QString& reader : {QStringLiteral("info"), QStringLiteral("records"), QStringLiteral("validate")})
            QVERIFY2(run({reader, fixture.project()}).code != 2, qPrintable(reader));
        QCOMPARE(run({QStringLiteral("records"), fixture.project()}).code, 0);
        const Outcome renamed = run({QStringLiteral("rename"), fixture.project(), QStringLiteral("Start"), QStringLiteral("Begin")});
        QCOMPARE(renamed.code, 1);
        QVERIFY2(renamed.err.contains(fixture.project()), qPrintable(renamed.err));
    }

    // The error log is replaced by the errors of each run of the program and never grows past its
    // cap; a link at its name is not followed.
    void theErrorLogIsReplacedByEachRun()
    {
        Fixture fixture;
        QVERIFY(fixture.build());
        // A help ID too large for its field is reported once.
        QVERIFY(DocumentEdits::editModel(fixture.project(), [](QJsonObject& root) {
            DocumentEdits::setBagProperty(root, {QStringLiteral("Model"), QStringLiteral("DecisionManager"), QStringLiteral("Decision1")},
                                          QStringLiteral("kvdHelp"), 100000);
        }));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), fixture.path(QStringLiteral("data")));
        const QString log = fixture.path(QStringLiteral("data/Morvane Corporation/kvwDesigner/DTDERR.LOG"));
        QVERIFY(QDir().mkpath(QFileInfo(log).absolutePath()));
        const auto info = [&] {
            QProcess program;
            program.setProcessEnvironment(environment);
            program.start(QStringLiteral(KV_CLI_PATH), {QStringLiteral("info"), fixture.project()});
            return program.waitForFinished(60000) && program.exitCode() == 0;
        };
        QVERIFY(writeFile(log, QByteArray(3 * 1024 * 1024, 'x')));
        for (int time = 0; time < 3; ++time)
            QVERIFY(info());
        const QByteArray kept = readFile(log);
        QVERIFY(!kept.contains("xxx"));
        QCOMPARE(kept.count("Description:"), 1);

        QVERIFY(QFile::remove(log));
        QVERIFY(place(State::LinkToVictim, log, fixture.victim()));
        QVERIFY(info());
        QCOMPARE(readFile(fixture.victim()), VictimBytes);
    }

    // A project whose controls clash, or whose flag denies its own table, is refused whole:
    // opened in part, its next save would throw the rest away.
    void clashesRefuseTheWholeRead_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two controls of one ID") << "UPDATE decision SET intIdentifier = 1 WHERE position = 2"
                                                << LoadResString(33221).arg(1);
        QTest::newRow("two controls of one name") << "UPDATE decision SET strIdentifier = 'start' WHERE position = 2"
                                                  << LoadResString(33222).arg(QStringLiteral("start"));
        QTest::newRow("ID 0, which no run reaches") << "UPDATE decision SET intIdentifier = 0 WHERE position = 2"
                                                    << LoadResString(33210).arg(0);
        QTest::newRow("a flag that denies the table")
            << "UPDATE node SET value = CAST(replace(CAST(value AS TEXT), '\"DecisionTable\":true', "
               "'\"DecisionTable\":false') AS BLOB) WHERE path LIKE '%DevFile'"
            << LoadResString(33223).arg(3);
    }
    void clashesRefuseTheWholeRead()
    {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        const QTemporaryDir folder;
        const auto path = [&folder](const QString& name) { return folder.filePath(name); };
        const QString rules = path(QStringLiteral("t.rules"));
        const QString project = path(QStringLiteral("p.kvp"));
        QVERIFY(writeFile(rules, "BEGIN\r\n1\t\tStart\t\t\t\"A\"\tRadio\t^Yes\t!GO Middle\t\r\n"
                                 "2\t\tMiddle\t\t\t\"B\"\tRadio\t^Yes\t!GO End\t\r\n"
                                 "3\t\tEnd\t\t\t\"C\"\tInfo\t\r\n"));
        QVERIFY(writeFile(path(QStringLiteral("items.csv")), "Name\r\nA\r\n"));
        QCOMPARE(run({QStringLiteral("from-rules"), rules, QStringLiteral("-o"), project}).code, 0);
        const QString edited = DocumentEdits::editSql(project, sql);
        QVERIFY2(edited.isEmpty(), qPrintable(edited));
        const QByteArray before = readFile(project);

        for (const QString& command : {QStringLiteral("info"), QStringLiteral("records")}) {
            const Outcome outcome = run({command, project});
            QCOMPARE(outcome.code, 1);
            QVERIFY2(outcome.err.contains(expected), qPrintable(outcome.err));
        }
        // A writer never saves what it could not read whole.
        const Outcome imported = run({QStringLiteral("selector"), QStringLiteral("import"), project, path(QStringLiteral("items.csv"))});
        QCOMPARE(imported.code, 1);
        QCOMPARE(readFile(project), before);
    }
    void notUtf8IsRefusedNamingLineAndByte_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("input");
        QTest::newRow("rules text") << QStringList{"from-rules", "@in", "-o", "@n.kvp"} << "in";
        QTest::newRow("journeys") << QStringList{"journeys", "import", "P", "@in"} << "in";
        QTest::newRow("selector table") << QStringList{"selector", "import", "P", "@in.csv"} << "in.csv";
        QTest::newRow("answers") << QStringList{"run", "P", "--answers", "@in"} << "in";
    }
    // Text is never changed silently: a byte that is no part of a character is named.
    void notUtf8IsRefusedNamingLineAndByte()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, input);
        Fixture fixture;
        QVERIFY(fixture.build());
        QVERIFY(writeFile(fixture.path(input), "Name\nab\xC3(\n"));
        const QByteArray before = readFile(fixture.project());
        const Outcome outcome = run(fixture.arguments(command));
        QCOMPARE(outcome.code, 1);
        const QString expected = LoadResString(33225).arg(fixture.path(input)).arg(QStringLiteral("c3")).arg(2).arg(3);
        QVERIFY2(outcome.err.contains(expected), qPrintable(outcome.err));
        QCOMPARE(readFile(fixture.project()), before);
    }

    void projectsThatCannotBeOpenedAreNamed_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("reason");
        QTest::newRow("newer format") << "PRAGMA user_version = 99" << LoadResString(31122).arg(99);
        QTest::newRow("a trigger") << "CREATE TRIGGER hide AFTER INSERT ON docprop BEGIN SELECT 1; END"
                                   << LoadResString(33206).arg(QStringLiteral("hide"));
        // Stored controls whose root is of another class: the Designer's words ask to close it.
        QTest::newRow("controls that cannot be read") << QString() << QStringLiteral("could not be read");
    }
    // The command line says which file and why, in its own words.
    void projectsThatCannotBeOpenedAreNamed()
    {
        QFETCH(QString, sql);
        QFETCH(QString, reason);
        Fixture fixture;
        QVERIFY(fixture.build());
        if (sql.isEmpty()) {
            QVERIFY(DocumentEdits::editModel(fixture.project(), [](QJsonObject& root) { root[QStringLiteral("class")] = 99; }));
        } else {
            const QString edited = DocumentEdits::execSql(fixture.project(), sql);
            QVERIFY2(edited.isEmpty(), qPrintable(edited));
        }
        for (const QString& command : {QStringLiteral("info"), QStringLiteral("rename")}) {
            const QStringList args{command, fixture.project(), QStringLiteral("Start"), QStringLiteral("Begin")};
            const Outcome outcome = run(args.mid(0, command == QLatin1String("info") ? 2 : 4));
            QCOMPARE(outcome.code, 1);
            QVERIFY2(outcome.err.contains(fixture.project()) && outcome.err.contains(reason), qPrintable(outcome.err));
            QVERIFY2(!outcome.err.contains(QStringLiteral("Kestrova Designer")) && !outcome.err.contains(QStringLiteral("close the Designer")),
                     qPrintable(outcome.err));
        }
    }

    void inputs_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("input");
        QTest::newRow("answers") << QStringList{"run", "P", "--answers", "@in"} << "in";
        QTest::newRow("rules text") << QStringList{"from-rules", "@in", "-o", "@n.kvp"} << "in";
        QTest::newRow("selector table") << QStringList{"selector", "import", "P", "@in.csv"} << "in.csv";
        QTest::newRow("journeys") << QStringList{"journeys", "import", "P", "@in"} << "in";
        QTest::newRow("web tree") << QStringList{"run", "@in.kvw", "--answers", "@answers.txt"} << "in.kvw";
        QTest::newRow("desktop tree") << QStringList{"run", "@in.kvd", "--answers", "@answers.txt"} << "in.kvd";
        QTest::newRow("project") << QStringList{"info", "@in.kvp"} << "in.kvp";
        QTest::newRow("server's secret") << QStringList{"serve", "P", "--secret-file", "@in", "--listen", "127.0.0.1:9"} << "in";
    }
    // Every named input that is no regular file is refused with its reason; none is waited on
    // or read without end.
    void inputs()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, input);
        for (const State state : {State::Pipe, State::Folder}) {
            Fixture fixture;
            QVERIFY(fixture.build());
            QVERIFY(place(state, fixture.path(input), fixture.victim()));
            const Outcome outcome = run(fixture.arguments(command));
            QCOMPARE(outcome.code, 1);
            QVERIFY2(outcome.err.contains(fixture.path(input))
                         && outcome.err.contains(LoadResString(state == State::Pipe ? 33201 : 33200)),
                     qPrintable(outcome.err));
        }
        // An empty file (a write killed at its start) is read as what it holds, or refused with
        // the reason; never taken for wrong arguments.
        {
            Fixture fixture;
            QVERIFY(fixture.build());
            QVERIFY(place(State::EmptyFile, fixture.path(input), fixture.victim()));
            if (command.first() != QLatin1String("serve")) {
                const Outcome outcome = run(fixture.arguments(command));
                QVERIFY2(outcome.code == 0 || (outcome.code == 1 && !(outcome.err + outcome.out).isEmpty()), qPrintable(outcome.err));
            }
        }
        Fixture fixture;
        QVERIFY(fixture.build());
        const QStringList args = fixture.arguments(command);
        QStringList device = args;
        device.replace(args.indexOf(fixture.path(input)), QStringLiteral("/dev/zero"));
        const Outcome outcome = run(device);
        QCOMPARE(outcome.code, 1);
        QVERIFY2(outcome.err.contains(LoadResString(33202)), qPrintable(outcome.err));
    }
};

KV_REGISTER_TEST(TestFileSystemStates)
#include "tst_FileSystemStates.moc"
