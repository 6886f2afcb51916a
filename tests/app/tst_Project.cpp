#include "cli/CommandLine.h"
#include "common/ScriptedPrompt.h"
#include "common/TestRegistry.h"
#include "edit/CanvasModel.h"
#include "edit/CcDecisionTree.h"
#include "edit/CcEdit.h"
#include "journeys/JourneyStore.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "model/RulesText.h"
#include "persist/DocumentProperties.h"
#include "persist/ProjectNodes.h"
#include "persist/PropertyBag.h"
#include "persist/StorageDocument.h"
#include "persist/StorageNode.h"
#include "base/IProgressReporter.h"
#include "project/Project.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <sqlite3.h>

#include <memory>

namespace {

QString rules()
{
    return QStringLiteral("1\t\tStart\t\t\t\"\"\tList\t^A\t!GO Next\t\r\n"
                          "2\t\tNext\t[[Start]] was chosen\t\t\"\"\tList\t^B\t!GO Last\t\r\n"
                          "3\t\tLast\t\t\t\"\"\tInfo\t\t\t\r\n");
}

// What a project file holds: its records, its persisted tree as text and its layout.
struct Stored {
    QStringList records;
    QString tree;
    QString layout;
    QString journeys;
    QStringList settings;
};

Stored storedIn(const QString& path)
{
    ScriptedPrompt prompt;
    Project project(prompt);
    project.Document().setKeepsWorkingCopy(false);
    Stored stored;
    if (!project.Inspect(path))
        return stored;
    stored.records = RulesText::Records(project.Decisions());
    StorageNode node = project.Document().Storage().rootNode();
    PropertyBag bag;
    if (node.open(ProjectNodes::DevFile) && bag.LoadFrom(node))
        stored.tree = bag.ToText();
    StorageNode layout = project.Document().Storage().rootNode();
    if (layout.open(ProjectNodes::CustomBlock))
        layout.readText(stored.layout);
    StorageNode journeys = project.Document().Storage().rootNode();
    if (journeys.open(JourneyStore::Node))
        journeys.readText(stored.journeys);
    const DocumentProperties properties = project.Document().Storage().properties();
    QStringList names;
    if (properties.names(names)) {
        for (const QString& name : std::as_const(names)) {
            QString value;
            if (properties.value(name, value))
                stored.settings.append(name + QLatin1Char('=') + value);
        }
    }
    return stored;
}

// A project file as the text SQLite dumps it to, made back into a file.
bool fileFromDump(const QString& dumpPath, const QString& path)
{
    QFile dump(dumpPath);
    if (!dump.open(QIODevice::ReadOnly))
        return false;
    const QByteArray sql = dump.readAll();
    sqlite3* raw = nullptr;
    const bool opened = sqlite3_open(QFile::encodeName(path).constData(), &raw) == SQLITE_OK;
    const std::unique_ptr<sqlite3, decltype(&sqlite3_close)> db(raw, &sqlite3_close);
    return opened && sqlite3_exec(db.get(), sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

int run(const QStringList& args, QString& out)
{
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int code = CommandLine().run(args, outStream, errStream);
    outStream.flush();
    return code;
}

} // namespace

// A project is opened, changed and saved by itself, with no application object around it.
class TestProject : public QObject {
    Q_OBJECT

private slots:
    void opensEditsAndSavesWithoutTheDesigner()
    {
        const QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("tree.kvp"));
        ScriptedPrompt prompt;
        {
            Project project(prompt);
            QVERIFY(RulesText::Read(rules(), project.Decisions()).ok);
            QVERIFY(project.SaveAs(path).done());
            QVERIFY(!project.Document().Dirty());
        }
        Project project(prompt);
        project.Document().setKeepsWorkingCopy(false);
        QVERIFY(project.Open(path));
        QCOMPARE(project.Decisions().Count(), 3);
        QCOMPARE(project.Canvas().AllEntities().size(), size_t(3));
        const quint64 before = project.Document().Revision();
        QVERIFY(project.Tree().Rename(QStringLiteral("Next"), QStringLiteral("Middle"), 2));
        // The rename and its reference updates are changes of the project, and one undo step.
        QVERIFY(project.Document().Revision() > before);
        QVERIFY(project.Document().Dirty());
        QCOMPARE(project.Edit().Undo().UndoCount(), 1);
        QVERIFY(project.Save().done());
        QVERIFY(!project.Document().Dirty());

        const Stored stored = storedIn(path);
        QCOMPARE(stored.records.size(), 3);
        QVERIFY2(stored.records.at(0).contains(QStringLiteral("!GO Middle")), qPrintable(stored.records.at(0)));
        QVERIFY(stored.records.at(1).contains(QStringLiteral("Middle")));
    }

    // A window shows the progress it is told of: once an open or a save is over, none is left.
    void progressEndsHiddenAfterEachWholeOperation()
    {
        struct Recorded final : IProgressReporter {
            void ReportStatus(const QString& text) override { status = text; }
            void ReportProgress(int percent) override { progress = percent; }
            QString status;
            int progress = -1;
        };
        const QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("tree.kvp"));
        ScriptedPrompt prompt;
        Recorded shown;
        Project project(prompt);
        project.setProgressReporter(&shown);
        project.Document().setKeepsWorkingCopy(false);
        QVERIFY(RulesText::Read(rules(), project.Decisions()).ok);
        QVERIFY(project.SaveAs(path).done());
        QVERIFY2(shown.progress < 0, qPrintable(QString::number(shown.progress)));
        QVERIFY(project.Open(path));
        QVERIFY2(shown.progress < 0, qPrintable(QString::number(shown.progress)));
        QVERIFY(project.Tree().Rename(QStringLiteral("Next"), QStringLiteral("Middle"), 2));
        QVERIFY(project.Save().done());
        QVERIFY2(shown.progress < 0, qPrintable(QString::number(shown.progress)));
        QCOMPARE(shown.status, QString());
    }

    // The stored form does not depend on who writes it: reading a project and saving it again
    // gives the same records, persisted tree and layout.
    void savingAgainKeepsEveryStoredPart()
    {
        const QTemporaryDir folder;
        const QString first = folder.filePath(QStringLiteral("first.kvp"));
        const QString second = folder.filePath(QStringLiteral("second.kvp"));
        ScriptedPrompt prompt;
        {
            Project project(prompt);
            QVERIFY(RulesText::Read(rules(), project.Decisions()).ok);
            project.setActiveForm(2);
            QVERIFY(project.SaveAs(first).done());
        }
        {
            Project project(prompt);
            project.Document().setKeepsWorkingCopy(false);
            QVERIFY(project.Open(first));
            QCOMPARE(project.ActiveForm(), 2);
            QVERIFY(project.SaveAs(second).done());
        }
        const Stored a = storedIn(first);
        const Stored b = storedIn(second);
        QCOMPARE(b.records, a.records);
        QVERIFY(!a.layout.isEmpty());
        QCOMPARE(b.layout, a.layout);
        // Only the name the document takes from its file differs.
        QString tree = b.tree;
        tree.replace(QStringLiteral("second"), QStringLiteral("first"));
        QVERIFY2(tree == a.tree, qPrintable(tree + QStringLiteral("\n differs from \n") + a.tree));
        // The persisted tree keeps its classes: the application (1), the model (2), the
        // windows' part (7) with the explorer (11) and the properties window (12).
        for (const QString& classId : {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("7"),
                                       QStringLiteral("11"), QStringLiteral("12")})
            QVERIFY2(a.tree.contains(classId), qPrintable(classId));
    }

    // A project the build before the project object was written by (the sample with its
    // selector, pictures and layout, kept as SQLite's text dump) opens, and saving it again
    // keeps its records, persisted tree and layout.
    void aProjectOfTheEarlierBuildSavesTheSame()
    {
        const QTemporaryDir folder;
        const QString earlier = folder.filePath(QStringLiteral("earlier.kvp"));
        const QString again = folder.filePath(QStringLiteral("again.kvp"));
        QVERIFY(fileFromDump(QStringLiteral(KV_TEST_DATA_DIR "/earlier-build.sql"), earlier));
        const Stored a = storedIn(earlier);
        QVERIFY(a.records.size() > 10);
        QVERIFY(!a.layout.isEmpty());
        {
            ScriptedPrompt prompt;
            Project project(prompt);
            project.Document().setKeepsWorkingCopy(false);
            QVERIFY(project.Open(earlier));
            QVERIFY(project.SaveAs(again).done());
        }
        const Stored b = storedIn(again);
        QCOMPARE(b.records, a.records);
        QCOMPARE(b.layout, a.layout);
        QVERIFY(!a.journeys.isEmpty());
        QCOMPARE(b.journeys, a.journeys);
        // Only the name the document takes from its file differs.
        QStringList settings = b.settings;
        settings.replaceInStrings(QStringLiteral("again"), QStringLiteral("earlier"));
        QCOMPARE(settings, a.settings);
        QString tree = b.tree;
        tree.replace(QStringLiteral("again"), QStringLiteral("earlier"));
        QVERIFY2(tree == a.tree, qPrintable(tree + QStringLiteral("\n differs from \n") + a.tree));
    }

    void oneProcessRunsCommandsOnTwoProjects()
    {
        const QTemporaryDir folder;
        ScriptedPrompt prompt;
        const QString one = folder.filePath(QStringLiteral("one.kvp"));
        const QString two = folder.filePath(QStringLiteral("two.kvp"));
        for (const QString& path : {one, two}) {
            Project project(prompt);
            QVERIFY(RulesText::Read(rules(), project.Decisions()).ok);
            QVERIFY(project.SaveAs(path).done());
        }
        QString out;
        QCOMPARE(run({QStringLiteral("rename"), one, QStringLiteral("Last"), QStringLiteral("End")}, out), 0);
        out.clear();
        QCOMPARE(run({QStringLiteral("records"), two}, out), 0);
        // The second command sees its own project, untouched by the first.
        QVERIFY2(out.contains(QStringLiteral("\tLast\t")) && !out.contains(QStringLiteral("End")), qPrintable(out));
        out.clear();
        QCOMPARE(run({QStringLiteral("records"), one}, out), 0);
        QVERIFY2(out.contains(QStringLiteral("!GO End")), qPrintable(out));
    }
};

KV_REGISTER_TEST(TestProject)
#include "tst_Project.moc"
