#include "SelectorFakes.h"
#include "common/ScriptedPrompt.h"
#include "common/TestRegistry.h"

#include "model/CmDocument.h"
#include "persist/ProjectNodes.h"
#include "selectors/CcCriteriaList.h"
#include "selectors/SelectorStore.h"
#include "selectors/StoredSelectorCatalog.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Record = SelectorUndoRecord;

struct Project {
    CmDocument document;
    ScriptedPrompt prompt;
    FakeExplorer explorer;
    ScriptedSelectorDialogs dialogs;
    ListRecorder recorder;
    CcCriteriaList controller{document, prompt, explorer, &dialogs};
    QTemporaryDir folder;

    Project() { controller.setUndoRecorder(&recorder); }

    SelectorStore store() { return SelectorStore(document.Storage()); }

    QString file(const QString& name, const QByteArray& bytes)
    {
        const QString path = folder.filePath(name);
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    static QByteArray read(const QString& path)
    {
        QFile in(path);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<missing>");
    }

    QString stored(const QString& name)
    {
        QString text;
        store().ReadText(name, text);
        return text;
    }

    QList<int> kinds() const
    {
        QList<int> list;
        for (const Record& r : recorder.records)
            list.append(r.kind);
        return list;
    }
};

const QByteArray Prices = "Item,Price\r\nTea,3\r\n";

} // namespace

class tst_CcCriteriaList : public QObject {
    Q_OBJECT

private slots:
    void newListProposesFreeNameAndRecords()
    {
        Project p;
        p.explorer.internal = {"SSS1"};
        p.dialogs.kinds.push_back(SelectorKind::Internal);
        p.prompt.QueueText(QStringLiteral("SSS2"));
        CvCriteriaList* editor = p.controller.NewList();
        QVERIFY(editor);
        QCOMPARE(p.prompt.shown().first().text, QStringLiteral("What would you like to call this new Solution Set Selector?"));
        QCOMPARE(p.explorer.internal, (QStringList{"SSS1", "SSS2"}));
        QCOMPARE(p.controller.Manager().ActiveList(), editor);
        QCOMPARE(editor->ColumnCount(), 4);
        QCOMPARE(p.dialogs.shownEditors, QList<CvCriteriaList*>{editor});
        QVERIFY(p.document.Dirty());
        QCOMPARE(p.kinds(), QList<int>{Record::Created});
        QCOMPARE(p.recorder.records.first().selector, QStringLiteral("SSS2"));
    }

    void newListRefusals_data()
    {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("cancel") << std::optional<QString>() << QStringList();
        QTest::newRow("empty") << std::optional<QString>(QString()) << QStringList();
        QTest::newRow("taken in other case") << std::optional<QString>("sss1")
                                             << QStringList{"A Solution Set Selector named \"sss1\" already exists."};
        QTest::newRow("path") << std::optional<QString>("a\\b")
                              << QStringList{"\"a\\b\" can not be the name of a Solution Set Selector."};
    }
    void newListRefusals()
    {
        QFETCH(std::optional<QString>, answer);
        Project p;
        p.explorer.internal = {"SSS1"};
        p.prompt.QueueText(answer);
        QVERIFY(!p.controller.NewList(SelectorKind::Internal));
        QFETCH(QStringList, shown);
        QCOMPARE(p.prompt.shownTexts().mid(1), shown);
        QCOMPARE(p.explorer.internal, QStringList{"SSS1"});
        QVERIFY(p.recorder.records.isEmpty());
    }

    void importNamesEachFile()
    {
        Project p;
        const QString prices = p.file(QStringLiteral("prices.csv"), Prices);
        const QString version = p.file(QStringLiteral("v1.2.csv"), "A\r\n");
        p.explorer.internal = {"prices"};
        auto outcome = p.controller.Import({prices, version});
        QVERIFY(outcome.result.ok());
        QCOMPARE(outcome.names, (QStringList{"prices1", "v1"}));
        QCOMPARE(p.controller.Import({prices}).names, QStringList{"prices2"});
        QCOMPARE(p.explorer.internal, (QStringList{"prices", "prices1", "v1", "prices2"}));
        QCOMPARE(p.stored(QStringLiteral("prices2")), QString::fromUtf8(Prices));
        QCOMPARE(p.document.CurrentPath(), p.folder.path());
        QVERIFY(p.recorder.records.isEmpty());
    }

    void importStopsAtABadFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("unclosed quote") << QByteArray("A,B\r\n\"x,y\r\n") << "Line 2: a quoted cell is not closed.";
        QTest::newRow("not utf-8") << QByteArray("Caf\xe9\r\n") << "not UTF-8 text";
        QTest::newRow("binary") << QByteArray("A\0B", 3) << "not UTF-8 text";
    }
    void importStopsAtABadFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        Project p;
        const QString good = p.file(QStringLiteral("good.csv"), Prices);
        const QString bad = p.file(QStringLiteral("bad.csv"), bytes);
        const QString after = p.file(QStringLiteral("after.csv"), Prices);
        const auto outcome = p.controller.Import({good, bad, after});
        QVERIFY(!outcome.result.ok());
        QCOMPARE(outcome.names, QStringList{"good"});
        QCOMPARE(p.explorer.internal, QStringList{"good"});
        QVERIFY(!p.store().Exists(QStringLiteral("bad")));
        QVERIFY(!p.store().Exists(QStringLiteral("after")));
        QVERIFY2(outcome.result.message.contains(reason), qPrintable(outcome.result.message));
        QVERIFY(outcome.result.message.contains(bad));
    }

    void importDropsByteOrderMark()
    {
        Project p;
        p.controller.Import({p.file(QStringLiteral("bom.csv"), "\xef\xbb\xbfName\r\n")});
        QCOMPARE(p.stored(QStringLiteral("bom")), QStringLiteral("Name\r\n"));
    }

    void exportWritesStoredTextAndReplaces()
    {
        Project p;
        p.controller.Import({p.file(QStringLiteral("prices.csv"), Prices)});
        const QString target = p.file(QStringLiteral("out.csv"), "old content that is longer\r\n");
        // An edit that was not saved is not exported.
        p.controller.EditList(QStringLiteral("prices"));
        CvCriteriaList* editor = p.controller.Manager().ActiveList();
        QVERIFY(editor);
        editor->setCurrentCell(1, 1);
        editor->GridEdit(QLatin1Char('9'));
        editor->CommitEdit();
        QVERIFY(p.controller.Export(QStringLiteral("prices"), target).ok());
        QCOMPARE(Project::read(target), Prices);
        p.controller.SaveList();
        QVERIFY(p.controller.Export(QStringLiteral("prices"), target).ok());
        QCOMPARE(Project::read(target), QByteArray("Item,Price\r\nTea,9\r\n"));
    }

    void failedExportLeavesOldFile()
    {
        Project p;
        p.controller.Import({p.file(QStringLiteral("prices.csv"), Prices)});
        const QByteArray old = "keep me\r\nexactly\r\n";
        const QString target = p.file(QStringLiteral("out.csv"), old);
        FileBytes::WriteOptions failing;
        failing.failAfterBytes = 5;
        QVERIFY(!p.store().Export(QStringLiteral("prices"), target, failing).ok());
        QCOMPARE(Project::read(target), old);
        QCOMPARE(QDir(p.folder.path()).entryList(QDir::Files).size(), 2);
    }

    void exportOfMissingSelectorWritesNothing()
    {
        Project p;
        const QString target = p.folder.filePath(QStringLiteral("none.csv"));
        const StorageResult result = p.controller.Export(QStringLiteral("ghost"), target);
        QVERIFY(!result.ok());
        QCOMPARE(result.message, QStringLiteral("There is no Solution Set Selector named \"ghost\"."));
        QVERIFY(!QFile::exists(target));
    }

    void renameMovesStorageEditorAndNode()
    {
        Project p;
        p.controller.Import({p.file(QStringLiteral("prices.csv"), Prices)});
        p.controller.EditList(QStringLiteral("prices"));
        p.controller.RenameList(QStringLiteral("prices"), QStringLiteral("prices"));
        QVERIFY(p.recorder.records.isEmpty());
        p.controller.RenameList(QStringLiteral("prices"), QStringLiteral("Costs"));
        QCOMPARE(p.explorer.internal, QStringList{"Costs"});
        QVERIFY(!p.store().Exists(QStringLiteral("prices")));
        QCOMPARE(p.stored(QStringLiteral("Costs")), QString::fromUtf8(Prices));
        QCOMPARE(p.controller.Manager().ActiveList()->Name(), QStringLiteral("Costs"));
        QCOMPARE(p.recorder.records.size(), 1);
        QCOMPARE(p.recorder.records.first().oldText, QStringLiteral("prices"));
        QCOMPARE(p.recorder.records.first().newText, QStringLiteral("Costs"));
        // Onto another selector's name: refused, nothing moves.
        p.controller.Import({p.file(QStringLiteral("tea.csv"), "T\r\n")});
        p.controller.RenameList(QStringLiteral("tea"), QStringLiteral("COSTS"));
        QCOMPARE(p.stored(QStringLiteral("Costs")), QString::fromUtf8(Prices));
        QCOMPARE(p.explorer.internal, (QStringList{"Costs", "tea"}));
    }

    void deleteKeepsTextForUndo()
    {
        Project p;
        p.controller.Import({p.file(QStringLiteral("a.csv"), Prices), p.file(QStringLiteral("b.csv"), "B\r\n")});
        p.controller.EditList(QStringLiteral("a"));
        p.document.setDirty(false);
        p.dialogs.picks.push_back(QStringList{"a", "b"});
        p.controller.DeleteList();
        QCOMPARE(p.dialogs.pickCaptions, QStringList{"Delete"});
        QVERIFY(p.explorer.internal.isEmpty());
        QCOMPARE(p.controller.Manager().Count(), 0);
        QVERIFY(!p.store().Exists(QStringLiteral("a")));
        QVERIFY(p.document.Dirty());
        QCOMPARE(p.kinds(), (QList<int>{Record::Deleted, Record::Deleted}));
        QCOMPARE(p.recorder.records.first().oldText, QString::fromUtf8(Prices));
    }

    void closeListSavesAndRemoves()
    {
        Project p;
        p.controller.Import({p.file(QStringLiteral("a.csv"), Prices)});
        p.controller.EditList(QStringLiteral("a"));
        p.controller.Manager().ActiveList()->RenameColumn(QStringLiteral("Thing"));
        p.controller.CloseList();
        QCOMPARE(p.controller.Manager().Count(), 0);
        QCOMPARE(p.stored(QStringLiteral("a")), QStringLiteral("Thing,Price\r\nTea,3\r\n"));
        // The reference checks read what the grid wrote.
        const StoredSelectorCatalog catalog(p.document.Storage().rootNode());
        QCOMPARE(catalog.Properties(QStringLiteral("A")), std::optional<QStringList>(QStringList{"Thing", "Price"}));
        QCOMPARE(catalog.Items(QStringLiteral("a")), std::optional<QStringList>(QStringList{"Tea"}));
    }

    void managerActivatesLastAfterRemove()
    {
        Project p;
        CvCriteriaListManager& manager = p.controller.Manager();
        manager.NewList(QStringLiteral("one"));
        manager.NewList(QStringLiteral("two"));
        manager.NewList(QStringLiteral("three"));
        manager.SetActiveList(2);
        QCOMPARE(manager.ActiveList()->Name(), QStringLiteral("two"));
        manager.SetActiveList(QStringLiteral("nope"));
        QCOMPARE(manager.ActiveList()->Name(), QStringLiteral("two"));
        manager.Remove(QStringLiteral("TWO"));
        QCOMPARE(manager.ActiveList()->Name(), QStringLiteral("three"));
        QCOMPARE(manager.Names(), (QStringList{"one", "three"}));
        manager.Clear();
        QVERIFY(!manager.ActiveList());
        QVERIFY(!manager.IsLoaded());
    }

    void externalApply_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("empty table") << "" << "sales" << QStringList();
        QTest::newRow("empty database") << "items" << "" << QStringList();
        QTest::newRow("complete") << "items" << "sales" << QStringList{"sales.items"};
    }
    void externalApply()
    {
        QFETCH(QString, table);
        QFETCH(QString, database);
        QFETCH(QStringList, listed);
        Project p;
        ExternalSelectorSettings settings;
        settings.table = table;
        settings.database = database;
        settings.password = QStringLiteral("p,w");
        p.dialogs.kinds.push_back(SelectorKind::External);
        p.dialogs.applied.push_back(settings);
        QVERIFY(!p.controller.NewList());
        QCOMPARE(p.explorer.external, listed);
        QCOMPARE(p.document.Dirty(), !listed.isEmpty());
        QCOMPARE(p.store().ExternalNames(), listed);
        if (listed.isEmpty())
            return;
        QString record;
        StorageNode node = p.document.Storage().rootNode();
        QVERIFY(node.open(ProjectNodes::ExternalDatabases + QStringLiteral("sales.items")).ok());
        QVERIFY(node.readText(record).ok());
        QCOMPARE(record, QStringLiteral("items\r\nsales\r\n\r\n\r\n\r\n\r\n\r\np,w\r\n"));
    }

    void externalRenameFollowsTable()
    {
        Project p;
        ExternalSelectorSettings settings;
        settings.table = QStringLiteral("items");
        settings.database = QStringLiteral("sales");
        settings.fields = {"Name", "Price"};
        p.dialogs.applied.push_back(settings);
        p.controller.NewList(SelectorKind::External);
        p.explorer.external.append(QStringLiteral("other.x"));
        settings.table = QStringLiteral("goods");
        p.dialogs.applied.push_back(settings);
        p.controller.EditList(QStringLiteral("sales.items"));
        QCOMPARE(p.dialogs.shownSettings.last().fields, (QStringList{"Name", "Price"}));
        QCOMPARE(p.explorer.external, (QStringList{"sales.goods", "other.x"}));
        QCOMPARE(p.store().ExternalNames(), QStringList{"sales.goods"});
        ExternalSelectorSettings read;
        QVERIFY(p.store().ReadExternal(QStringLiteral("sales.goods"), read).ok());
        QCOMPARE(read, settings);
        QCOMPARE(read.ToText().count(QLatin1String("\r\n")), 10);
    }
};

KV_REGISTER_TEST(tst_CcCriteriaList)
#include "tst_CcCriteriaList.moc"
