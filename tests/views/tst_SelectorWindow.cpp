#include "common/ScriptedPrompt.h"
#include "common/TestRegistry.h"

#include "app/ToolId.h"
#include "project/CvProject.h"
#include "model/CmDocument.h"
#include "selectors/SelectorStore.h"
#include "views/SelectorWorkspace.h"
#include "views/PropertyHeaderView.h"
#include "views/frmCriteriaList.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTest>

namespace {

struct Desk {
    CmDocument document;
    ScriptedPrompt prompt;
    CvProject explorer;
    QMdiArea area;
    SelectorWorkspace workspace{area, document, prompt, explorer, nullptr};

    Desk()
    {
        area.resize(900, 600);
        area.show();
    }

    frmCriteriaList* window() const
    {
        QMdiSubWindow* active = area.activeSubWindow();
        return active ? qobject_cast<frmCriteriaList*>(active->widget()) : nullptr;
    }

    QString stored(const QString& name)
    {
        QString text;
        SelectorStore(document.Storage()).ReadText(name, text);
        return text;
    }
};

} // namespace

class TestSelectorWindow : public QObject {
    Q_OBJECT

private slots:
    // The commands that pick a selector are offered only when the project has one.
    void selectorCommandsNeedASelector()
    {
        Desk desk;
        const QList<ToolId> picking{ToolId::EditSelector, ToolId::DeleteSelector, ToolId::RenameSelector,
                                    ToolId::ExportSelector, ToolId::ExportSelectorFromGrid};
        for (const ToolId id : picking)
            QVERIFY2(!desk.workspace.ToolAllowed(+id), qPrintable(QString::number(+id)));
        QVERIFY(desk.workspace.ToolAllowed(+ToolId::NewSelector));
        desk.prompt.QueueText(QStringLiteral("Fruit"));
        QVERIFY(desk.workspace.Commands().NewList(SelectorKind::Internal));
        for (const ToolId id : picking)
            QVERIFY2(desk.workspace.ToolAllowed(+id), qPrintable(QString::number(+id)));
    }

    // An empty header cell shows where the property names go, and one click there names it.
    void emptyHeaderCellsAreNamedByOneClick()
    {
        Desk desk;
        desk.prompt.QueueText(QStringLiteral("Fruit"));
        QVERIFY(desk.workspace.Commands().NewList(SelectorKind::Internal));
        frmCriteriaList* window = desk.window();
        QVERIFY(window);
        QHeaderView* header = window->Table().horizontalHeader();
        QVERIFY(qobject_cast<PropertyHeaderView*>(header));
        QVERIFY(!PropertyHeaderView::Placeholder().isEmpty());
        desk.prompt.clearShown();
        desk.prompt.QueueText(QStringLiteral("Colour"));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(1) + 10, header->height() / 2));
        QCOMPARE(window->List().Cell(0, 1), QStringLiteral("Colour"));
        // A named one is only selected by a click.
        desk.prompt.clearShown();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(1) + 10, header->height() / 2));
        QVERIFY(desk.prompt.shown().isEmpty());
        QCOMPARE(window->List().Cell(0, 1), QStringLiteral("Colour"));
    }

    void typeInsertDeleteSaveAndReopen()
    {
        Desk desk;
        desk.prompt.QueueText(QStringLiteral("Fruit"));
        QVERIFY(desk.workspace.Commands().NewList(SelectorKind::Internal));
        frmCriteriaList* window = desk.window();
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("Fruit"));
        QCOMPARE(desk.explorer.CriteriaLists(), QStringList{"Fruit"});

        // Typing on the grid opens the edit box with that character; Tab and Enter commit.
        QTableView& table = window->Table();
        table.setFocus();
        QTest::keyClicks(&table, QStringLiteral("A"));
        QVERIFY(window->EditBox().isVisible());
        QTest::keyClicks(&window->EditBox(), QStringLiteral("pple"));
        QTest::keyClick(&window->EditBox(), Qt::Key_Tab);
        QTest::keyClicks(&table, QStringLiteral("3"));
        QTest::keyClick(&window->EditBox(), Qt::Key_Return);
        QTest::keyClicks(&table, QStringLiteral("x"));
        QTest::keyClick(&window->EditBox(), Qt::Key_Escape);
        QVERIFY(!window->EditBox().isVisible());
        CvCriteriaList& list = window->List();
        QCOMPARE(list.Cell(1, 0), QStringLiteral("Apple"));
        QCOMPARE(list.Cell(1, 1), QStringLiteral("3"));
        QCOMPARE(list.Cell(2, 1), QString());
        QCOMPARE(list.CurrentRow(), 2);

        // A property inserted before the second one and deleted again; the first is refused.
        list.setCurrentCell(1, 1);
        list.RenameColumn(QStringLiteral("Price"));
        list.setCurrentCell(1, 0);
        list.RenameColumn(QStringLiteral("Name"));
        list.setCurrentCell(1, 1);
        QVERIFY(desk.workspace.RunTool(905));
        QCOMPARE(list.Cell(0, 2), QStringLiteral("Price"));
        QVERIFY(desk.workspace.RunTool(906));
        list.setCurrentCell(1, 0);
        QVERIFY(desk.workspace.RunTool(906));
        QCOMPARE(desk.prompt.shownTexts().last(), QStringLiteral("Can not delete the first property."));
        QCOMPARE(list.Cell(0, 1), QStringLiteral("Price"));

        // Closing the window saves; opening the selector again shows the same table.
        QVERIFY(desk.area.activeSubWindow()->close());
        QCOMPARE(desk.workspace.Commands().Manager().Count(), 0);
        QCOMPARE(desk.stored(QStringLiteral("Fruit")), QStringLiteral("Name,Price\r\nApple,3\r\n"));
        QVERIFY(desk.document.Dirty());
        desk.workspace.Commands().EditList(QStringLiteral("fruit"));
        QVERIFY(desk.window());
        QCOMPARE(desk.window()->List().Cell(1, 0), QStringLiteral("Apple"));
        QCOMPARE(desk.window()->List().Cell(0, 1), QStringLiteral("Price"));
    }

    void keysGoWhereTheFocusIs()
    {
        Desk desk;
        desk.area.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&desk.area));
        desk.prompt.QueueText(QStringLiteral("Keys"));
        desk.workspace.Commands().NewList(SelectorKind::Internal);
        frmCriteriaList* window = desk.window();
        window->Table().setFocus();
        const auto press = [](Qt::Key key, const QString& text = QString()) {
            QWidget* focus = QApplication::focusWidget();
            QVERIFY(focus);
            QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
            QApplication::sendEvent(focus, &down);
        };
        window->List().setCurrentCell(3, 0);
        press(Qt::Key_X, QStringLiteral("x"));
        press(Qt::Key_Tab, QStringLiteral("\t"));
        press(Qt::Key_Y, QStringLiteral("y"));
        press(Qt::Key_Return, QStringLiteral("\r"));
        QCOMPARE(window->List().Cell(3, 0), QStringLiteral("x"));
        QCOMPARE(window->List().Cell(3, 1), QStringLiteral("y"));
        QCOMPARE(window->List().CurrentRow(), 4);
        QCOMPARE(window->List().CurrentColumn(), 1);
    }

    void deletingTheSelectorClosesItsWindow()
    {
        Desk desk;
        desk.prompt.QueueText(QStringLiteral("Gone"));
        desk.workspace.Commands().NewList(SelectorKind::Internal);
        QCOMPARE(desk.area.subWindowList().size(), 1);
        desk.workspace.Commands().DeleteList({QStringLiteral("Gone")});
        QTRY_COMPARE(desk.area.subWindowList().size(), 0);
        QVERIFY(desk.explorer.CriteriaLists().isEmpty());
        QVERIFY(!desk.workspace.RunTool(905));
    }
};

KV_REGISTER_TEST(TestSelectorWindow)
#include "tst_SelectorWindow.moc"
