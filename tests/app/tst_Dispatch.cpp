#include "app/CController.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "app/CcFile.h"
#include "app/CommandBand.h"
#include "app/CommandBands.h"
#include "app/CommandTool.h"
#include "project/CvProject.h"
#include "app/IUndoCounts.h"
#include "common/TestRegistry.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "tests/app/ProjectFixture.h"

#include <QDir>
#include <QTest>

namespace {

CView& view()
{
    return gApp->View();
}

CmDocument& document()
{
    return gApp->Model().Document();
}

struct History : IUndoCounts {
    int undo = 0;
    int redo = 0;
    int UndoCount() const override { return undo; }
    int RedoCount() const override { return redo; }
};

enum class ProjectState { Empty, Selector, Picture, UndoHistory, RedoHistory };

std::unique_ptr<CmDecisionItem> decision(qint16 number, const QString& name)
{
    auto item = std::make_unique<CmDecisionItem>();
    item->setIntID(number);
    item->setStrID(name);
    return item;
}

} // namespace

class TestDispatch : public QObject {
    Q_OBJECT

private slots:
    void recentFilesFillTheirTools()
    {
        ProjectFixture fixture;
        CcFile& file = gApp->Controller().File();
        QVERIFY(!view().Band(QStringLiteral("mnuRecent"))->Visible());
        QVERIFY(!view().Bands().NamedTool(QStringLiteral("miFMRUSep"))->Visible());

        QStringList paths;
        for (const char* name : {"a.kvp", "b.kvp", "c.kvp", "d.kvp", "R&D.kvp"}) {
            paths.prepend(fixture.path(QLatin1String(name)));
            document().SaveFileAs(paths.first());
            file.AddToMRU(paths.first());
        }
        QVERIFY(view().Band(QStringLiteral("mnuRecent"))->Visible());
        QVERIFY(view().Bands().NamedTool(QStringLiteral("miFMRUSep"))->Visible());
        // Four entries on 110 to 113, the fifth on 140; an ampersand of a path is no access key.
        const QList<int> ids{110, 111, 112, 113, 140};
        for (int i = 0; i < ids.size(); ++i) {
            const CommandTool& tool = *view().Tool(ids.at(i));
            const QString shown = QDir::toNativeSeparators(paths.at(i)).replace(QLatin1Char('&'), QLatin1String("&&"));
            QCOMPARE(tool.Caption(), QStringLiteral("&%1 ").arg(i + 1) + shown);
            QVERIFY(tool.Visible() && tool.Enabled());
        }
        QVERIFY(!view().Tool(141)->Visible());
        QVERIFY(!view().Tool(141)->Enabled());

        view().CallToolID(113);
        QCOMPARE(document().Path(), paths.at(3));
        QCOMPARE(file.GetMRU(1), paths.at(3));
        QCOMPARE(view().Tool(110)->ToolTip(), QDir::toNativeSeparators(paths.at(3)));
    }

    void commandRules_data()
    {
        QTest::addColumn<ProjectState>("state");
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("undo, no history") << ProjectState::Empty << 201 << false;
        QTest::newRow("undo, a step back") << ProjectState::UndoHistory << 201 << true;
        QTest::newRow("redo, only a step back") << ProjectState::UndoHistory << 202 << false;
        QTest::newRow("redo, a step forward") << ProjectState::RedoHistory << 202 << true;
        // Without the Designer's windows no window carries out the selector commands.
        QTest::newRow("edit selector, no window") << ProjectState::Selector << 902 << false;
        QTest::newRow("view picture, none") << ProjectState::Selector << 1305 << false;
        QTest::newRow("view picture, one") << ProjectState::Picture << 1305 << true;
        QTest::newRow("remove picture, one") << ProjectState::Picture << 1306 << true;
    }
    void commandRules()
    {
        QFETCH(ProjectState, state);
        QFETCH(int, id);
        QFETCH(bool, allowed);
        ProjectFixture fixture;
        History history;
        view().setUndoCounts(&history);
        switch (state) {
        case ProjectState::Empty: break;
        case ProjectState::Selector: view().Project().AddCriteriaList(QStringLiteral("Cars")); break;
        case ProjectState::Picture: view().Project().AddPicture(QStringLiteral("Logo")); break;
        case ProjectState::UndoHistory: history.undo = 1; break;
        case ProjectState::RedoHistory: history.redo = 2; break;
        }
        view().RefreshProjectCommands();
        view().UpdateAllBands();
        QCOMPARE(view().ToolAllowed(id), allowed);
        // Undo, Redo and the picture commands have their operations; the others arrive with later
        // work, and until then the state does not enable them.
        const bool built = id == 201 || id == 202 || id == 1305 || id == 1306;
        QCOMPARE(view().Tool(id)->Enabled(), allowed && built);
        view().setUndoCounts(nullptr);
    }

    void undoAndRedoFollowTheHistory()
    {
        ProjectFixture fixture;
        CmDecisionManager& decisions = gApp->Model().Decisions();
        decisions.add(decision(1, QStringLiteral("Start")));
        QVERIFY(!view().Tool(201)->Enabled());
        decisions.Item(1)->setOptsAndActs({QStringLiteral("^Yes")});
        QVERIFY(view().Tool(201)->Enabled());
        QVERIFY(!view().Tool(202)->Enabled());
        view().CallToolID(201);
        QVERIFY(decisions.Item(1)->OptsAndActs().isEmpty());
        QVERIFY(!view().Tool(201)->Enabled());
        QVERIFY(view().Tool(202)->Enabled());
        view().CallToolID(202);
        QCOMPARE(decisions.Item(1)->OptsAndActs(), QStringList{QStringLiteral("^Yes")});
        // A save ends what undo reaches back to.
        QVERIFY(document().SaveFileAs(fixture.path(QStringLiteral("saved.kvp"))).done());
        QVERIFY(!view().Tool(201)->Enabled());
        QVERIFY(!view().Tool(202)->Enabled());
    }

    void finishLinkIsRemoved_data()
    {
        QTest::addColumn<bool>("held");
        QTest::newRow("held") << true;
        QTest::newRow("not held") << false;
    }
    void finishLinkIsRemoved()
    {
        QFETCH(bool, held);
        ProjectFixture fixture;
        CmDecisionManager& decisions = gApp->Model().Decisions();
        decisions.add(decision(1, QStringLiteral("Start")));
        if (held)
            decisions.add(decision(2, QStringLiteral("FinishLink")));
        document().setDirty(false);
        view().CallToolID(182);
        QVERIFY(!decisions.Exists(QStringLiteral("FinishLink")));
        QVERIFY(decisions.Exists(QStringLiteral("Start")));
        QCOMPARE(document().Dirty(), held);
        const QStringList expected = held ? QStringList{QStringLiteral("The FinishLink has been removed from the Model")}
                                          : QStringList();
        QCOMPARE(fixture.prompt.shownTexts(), expected);
    }

    void menusFollowTheActiveWindow()
    {
        ProjectFixture fixture;
        const CommandBand& diagram = *view().Band(QStringLiteral("mnuDecisionTree"));
        const CommandBand& selector = *view().Band(QStringLiteral("mnuCriteriaListMain"));
        view().RegisterMenu(QStringLiteral("frmDecisionTree"), diagram.Name());
        view().RegisterMenu(QStringLiteral("frmCriteriaList"), selector.Name());
        view().RegisterMenu(QStringLiteral("frmCriteriaList"), QStringLiteral("mnuNoSuchMenu"));
        const struct {
            const char* active;
            bool diagramShown;
            bool selectorShown;
        } steps[] = {{"", false, false}, {"frmDecisionTree", true, false}, {"frmCriteriaList", false, true}, {"", false, false}};
        for (const auto& step : steps) {
            view().SetActiveWindow(QLatin1String(step.active));
            QCOMPARE(diagram.Visible(), step.diagramShown);
            QCOMPARE(selector.Visible(), step.selectorShown);
        }
    }

    void disabledToolsIgnoreClicks()
    {
        ProjectFixture fixture;
        view().DisableTools();
        QVERIFY(!view().Tool(101)->Enabled());
        view().CallToolID(123);
        QVERIFY(fixture.prompt.shown().isEmpty());
        view().EnableTools();
        QVERIFY(view().Tool(101)->Enabled());
        view().CallToolID(123);
        QCOMPARE(fixture.prompt.shownTexts(), QStringList{QStringLiteral("not implemented yet")});
    }
};

KV_REGISTER_TEST(TestDispatch)
#include "tst_Dispatch.moc"
