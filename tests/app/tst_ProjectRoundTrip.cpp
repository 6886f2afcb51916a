#include "app/CController.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "edit/CanvasModel.h"
#include "edit/CvDecisionTree.h"
#include "app/CcFile.h"
#include "project/CvProject.h"
#include "base/ErrorLog.h"
#include "base/MCommonUtil.h"
#include "persist/ProjectNodes.h"
#include "common/SyntheticTree.h"
#include "common/TestRegistry.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "common/DocumentEdits.h"
#include "persist/PropertyBag.h"
#include "persist/SqliteDatabase.h"
#include "persist/StorageDocument.h"
#include "persist/StorageNode.h"
#include "tests/app/ProjectFixture.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

class TestProjectRoundTrip : public QObject {
    Q_OBJECT

    static CmDecisionManager& decisions() { return gApp->Model().Decisions(); }
    static CmDocument& document() { return gApp->Model().Document(); }

    // The stored model's properties, as the bag wrote them.
    static QJsonObject storedModel()
    {
        StorageNode node = document().Storage().rootNode();
        QString text;
        if (!node.open(ProjectNodes::DevFile) || !node.readText(text))
            return {};
        return QJsonDocument::fromJson(text.toUtf8()).object();
    }

    static QList<qint64> storedPositions()
    {
        std::vector<DecisionRecord> records;
        if (!document().Storage().decisions().readAll(records))
            return {-1};
        QList<qint64> positions;
        for (const DecisionRecord& record : records)
            positions << record.position;
        return positions;
    }

    static qint64 formatOf(const QString& path)
    {
        return SqliteDatabase::openReadOnly(path)->pragma("user_version");
    }

    static QJsonObject nested(const QJsonObject& bag, const QString& path)
    {
        QJsonObject current = bag;
        for (const QString& name : path.split(QLatin1Char('/')))
            current = current.value(QStringLiteral("props")).toObject().value(name).toObject();
        return current;
    }

private slots:
    void modelSurvivesSaveAndOpen()
    {
        ProjectFixture fixture;
        SyntheticTree::fill(decisions(), 64);
        SyntheticTree::fillDocument(document());
        CvProject& explorer = gApp->View().Project();
        explorer.AddPicture(QStringLiteral("front.jpg"));
        explorer.AddCriteriaList(QStringLiteral("Laptops"));
        explorer.AddExternalCriteriaList(QStringLiteral("Stock"));
        explorer.setActiveNode(QStringLiteral("CL:Laptops"));
        // The explorer is rebuilt from these nodes on opening; its stored lists must agree.
        StorageNode node = document().Storage().rootNode();
        for (const QString& path : {ProjectNodes::Databases + QStringLiteral("Laptops"),
                                    ProjectNodes::ExternalDatabases + QStringLiteral("Stock"),
                                    ProjectNodes::Images + QStringLiteral("front.jpg")}) {
            node.reset();
            QVERIFY(node.open(path));
            QVERIFY(node.writeText(QStringLiteral("x")));
        }
        const QString path = fixture.path(QStringLiteral("laptops.kvp"));
        QVERIFY(document().SaveFileAs(path).done());
        const QStringList decisionsBefore = SyntheticTree::describe(decisions());
        const QStringList documentBefore = SyntheticTree::describe(document());

        QVERIFY(!file().FileClose());
        QCOMPARE(decisions().Count(), 0);

        QVERIFY(file().FileOpen(path));
        QCOMPARE(SyntheticTree::describe(decisions()), decisionsBefore);
        QCOMPARE(SyntheticTree::describe(document()), documentBefore);
        QCOMPARE(document().Name(), QStringLiteral("laptops"));
        QVERIFY(!document().Dirty());
        QCOMPARE(explorer.CriteriaLists(), QStringList{QStringLiteral("Laptops")});
        QCOMPARE(explorer.ExternalCriteriaLists(), QStringList{QStringLiteral("Stock")});
        QCOMPARE(explorer.Pictures(), QStringList{QStringLiteral("front.jpg")});
        QCOMPARE(explorer.ActiveNode(), QStringLiteral("CL:Laptops"));
        QCOMPARE(decisions().Item(QStringLiteral("step7"))->intID(), qint16(7));
        QCOMPARE(decisions().Item(10)->strID(), QString());
        QCOMPARE(decisions().GetKey(10), QStringLiteral("_10"));
    }

    // A window that redrew for each control read would take time growing with the square of
    // the tree: the diagram hears of an opened project once, whatever its size.
    void openingTellsTheDiagramOnce()
    {
        ProjectFixture fixture;
        SyntheticTree::fill(decisions(), 300);
        const QString path = fixture.path(QStringLiteral("many.kvp"));
        QVERIFY(document().SaveFileAs(path).done());
        QVERIFY(!file().FileClose());
        CanvasModel& canvas = gApp->Controller().DiagramView().Canvas();
        QSignalSpy added(&canvas, &CanvasModel::entityAdded);
        QSignalSpy changed(&canvas, &CanvasModel::entityChanged);
        QSignalSpy outdated(&canvas, &CanvasModel::linksOutdated);
        QSignalSpy reset(&canvas, &CanvasModel::reset);
        QVERIFY(file().FileOpen(path));
        QCOMPARE(canvas.AllEntities().size(), size_t(300));
        QCOMPARE(added.count() + changed.count() + outdated.count(), 0);
        QCOMPARE(reset.count(), 1);
        QVERIFY(!document().Dirty());
    }

    void savingTwiceKeepsOnlyTheSecondSave()
    {
        ProjectFixture fixture;
        SyntheticTree::fill(decisions(), 5);
        const QString path = fixture.path(QStringLiteral("twice.kvp"));
        QVERIFY(document().SaveFileAs(path).done());
        QCOMPARE(storedPositions(), (QList<qint64>{1, 2, 3, 4, 5}));
        decisions().Remove(5);
        decisions().Remove(4);
        QVERIFY(document().SaveFile().done());
        QCOMPARE(storedPositions(), (QList<qint64>{1, 2, 3}));
        const QJsonObject props =
            nested(storedModel(), QStringLiteral("Model/DecisionManager")).value(QStringLiteral("props")).toObject();
        QCOMPARE(props.value(QStringLiteral("Count")).toInt(), 3);
        // The controls are rows of their table, not nested bags of the model.
        QVERIFY(!props.contains(QStringLiteral("Decision1")));
        QVERIFY(!props.contains(QStringLiteral("Key1")));
    }

    void emptyProjectWritesCountZero()
    {
        ProjectFixture fixture;
        const QString path = fixture.path(QStringLiteral("empty.kvp"));
        QVERIFY(document().SaveFileAs(path).done());
        const QJsonObject props =
            nested(storedModel(), QStringLiteral("Model/DecisionManager")).value(QStringLiteral("props")).toObject();
        QCOMPARE(props.value(QStringLiteral("Count")).toInt(-1), 0);
        QCOMPARE(storedPositions(), QList<qint64>());
        QVERIFY(file().FileOpen(path));
        QCOMPARE(decisions().Count(), 0);
    }

    // A project of the format before the decision table holds its controls as nested bags: it
    // opens as it was, and its first save moves them into the table.
    void olderProjectsOpenAndMoveTheirControlsAtTheFirstSave()
    {
        ProjectFixture fixture;
        SyntheticTree::fill(decisions(), 64);
        const QString path = fixture.path(QStringLiteral("older.kvp"));
        QVERIFY(document().SaveFileAs(path).done());
        const QStringList before = SyntheticTree::describe(decisions());
        QVERIFY(!file().FileClose());
        QVERIFY(DocumentEdits::editModel(path, [](QJsonObject&) {}));
        QCOMPARE(DocumentEdits::editSql(path, QStringLiteral("DROP TABLE decision; PRAGMA user_version = 2")), QString());
        QCOMPARE(formatOf(path), 2);

        QVERIFY(file().FileOpen(path));
        QCOMPARE(SyntheticTree::describe(decisions()), before);
        QCOMPARE(storedPositions().size(), 0);
        QVERIFY(document().SaveFile().done());
        QCOMPARE(formatOf(path), 3);
        QCOMPARE(storedPositions().size(), 64);
        QVERIFY(!file().FileClose());
        QVERIFY(file().FileOpen(path));
        QCOMPARE(SyntheticTree::describe(decisions()), before);
    }

    void workingCopyLivesWhileTheProjectIsOpen()
    {
        ProjectFixture fixture;
        const QString path = fixture.path(QStringLiteral("cars.kvp"));
        QVERIFY(document().SaveFileAs(path).done());
        QVERIFY(file().FileOpen(path));
        const QString workingCopy = MCommonUtil::GetTempFile(path);
        QCOMPARE(workingCopy, fixture.path(QStringLiteral("cars.tmp")));
        QVERIFY(QFile::exists(workingCopy));
        QVERIFY(!file().FileClose());
        QVERIFY(!QFile::exists(workingCopy));
        QVERIFY(QFile::exists(path));
    }

    void duplicateNumbersInAFileAreReported()
    {
        ProjectFixture fixture;
        SyntheticTree::fill(decisions(), 3);
        PropertyBag bag;
        bag.WriteObject(QStringLiteral("Decision"), *decisions().Item(2));
        auto twin = std::make_unique<CmDecisionItem>();
        twin->setIntID(2);
        twin->setStrID(QStringLiteral("Twin"));
        QVERIFY(!decisions().add(std::move(twin)));
        QVERIFY(gApp->ErrorLogBuffer().Value().contains(QLatin1String("CmDecisionManager: error intID:2 already exists")));
        QCOMPARE(decisions().Count(), 3);
    }

private:
    static CcFile& file() { return gApp->Controller().File(); }
};

KV_REGISTER_TEST(TestProjectRoundTrip)
#include "tst_ProjectRoundTrip.moc"
