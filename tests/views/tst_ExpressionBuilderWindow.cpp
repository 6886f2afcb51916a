#include "common/ScriptedPrompt.h"
#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"
#include "lang/ISelectorCatalog.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/MDecisionDataUtil.h"
#include "views/StatementPanel.h"
#include "views/frmAddLink.h"
#include "views/frmDecisionValue.h"
#include "views/frmExpressionBuilder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace MDecisionDataUtil;

namespace {

class Catalog final : public ISelectorCatalog {
public:
    bool Exists(const QString& name) const override { return name.compare(QLatin1String("Cars"), Qt::CaseInsensitive) == 0; }
    std::optional<QStringList> Properties(const QString& name) const override
    {
        return Exists(name) ? QStringList{"Item", "Price", "Top speed"} : QStringList();
    }
    std::optional<QStringList> Items(const QString& name) const override
    {
        return Exists(name) ? QStringList{"Mini", "Van"} : QStringList();
    }
};

void add(CmDecisionManager& decisions, qint16 id, const QString& name, qint16 type, const QStringList& lines)
{
    auto item = std::make_unique<CmDecisionItem>();
    item->setIntID(id);
    item->setStrID(name);
    item->setIntControl(type);
    item->setOptsAndActsAsRead(lines);
    decisions.add(std::move(item));
}

struct Builder {
    CmDecisionManager decisions;
    Catalog catalog;
    ScriptedPrompt prompt;
    frmExpressionBuilder window;

    explicit Builder(const QStringList& selectors = {"Cars"})
        : window({decisions, selectors, catalog, prompt}, nullptr)
    {
    }
    static QStringList names(const QListWidget& list)
    {
        QStringList texts;
        for (int i = 0; i < list.count(); ++i)
            texts.append(list.item(i)->text());
        return texts;
    }
};

CmDecisionManager& withControls(CmDecisionManager& decisions)
{
    add(decisions, 1, QStringLiteral("Age"), NumBox, {"^1-17", "^18-"});
    add(decisions, 2, QStringLiteral("Member"), Check, {"^Checked", "!GO Age"});
    add(decisions, 3, QStringLiteral("Colour"), Radio, {"^Red, dark", "^12"});
    return decisions;
}

QPushButton* buttonWithText(const QWidget& window, const QString& text)
{
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

} // namespace

// The expression builder's window: its buttons and panels write at the caret, Validate and OK
// refuse a reference to what does not exist, and the other windows open it on their text.
class TestExpressionBuilderWindow : public QObject {
    Q_OBJECT

private slots:
    void buttonsInsertAtTheCaret();
    void referencePanels();
    void validateAndOkRefuse_data();
    void validateAndOkRefuse();
    void keyboardComposes();
    void statementPanelOpensTheBuilder();
    void linkDialogOpensTheBuilder();
    void valueDialogOffersWhatTheRuntimeGives_data();
    void valueDialogOffersWhatTheRuntimeGives();
};

void TestExpressionBuilderWindow::buttonsInsertAtTheCaret()
{
    Builder b;
    QLineEdit& box = *b.window.expressionBox();
    b.window.setExpression(QStringLiteral("[[A]] "));
    QTest::mouseClick(buttonWithText(b.window, LoadResString(11206)), Qt::LeftButton);
    b.window.inverseBox()->setChecked(true);
    QTest::mouseClick(buttonWithText(b.window, LoadResString(33661)), Qt::LeftButton);
    QCOMPARE(box.text(), QStringLiteral("[[A]] & ASIN(  ) "));
    QCOMPARE(box.cursorPosition(), 14);
    // The caret stays where the last insertion left it.
    QTest::mouseClick(buttonWithText(b.window, LoadResString(33665)), Qt::LeftButton);
    QCOMPARE(box.text(), QStringLiteral("[[A]] & ASIN( 3.141592653589793  ) "));
    // Sqrt's inverse is the power operator, the caret after it.
    QTest::mouseClick(buttonWithText(b.window, LoadResString(33664)), Qt::LeftButton);
    QCOMPARE(box.text(), QStringLiteral("[[A]] & ASIN( 3.141592653589793 ^2  ) "));
    QCOMPARE(box.cursorPosition(), 35);
    QTest::mouseClick(buttonWithText(b.window, LoadResString(11201)), Qt::LeftButton);
    QVERIFY(box.text().isEmpty());
}

void TestExpressionBuilderWindow::referencePanels()
{
    Builder b;
    withControls(b.decisions);
    frmExpressionBuilder window({b.decisions, {"Cars"}, b.catalog, b.prompt});
    QCOMPARE(Builder::names(*window.controlList()), (QStringList{"Age", "Member", "Colour"}));
    window.controlList()->setCurrentRow(1);
    window.insertControlReference();
    window.optionControlBox()->setCurrentText(QStringLiteral("Member"));
    QCOMPARE(Builder::names(*window.optionList()), (QStringList{"Checked", "Not Checked"}));
    window.press(ExpressionBuilder::Button::Equal);
    window.optionList()->setCurrentRow(1);
    window.insertOptionReference();
    QCOMPARE(window.Expression(), QStringLiteral("[[Member]] = \"Not Checked\""));
    window.optionControlBox()->setCurrentText(QStringLiteral("Colour"));
    QCOMPARE(Builder::names(*window.optionList()), (QStringList{"Red, dark", "12"}));
    window.setExpression(QString());
    window.optionList()->setCurrentRow(1);
    window.insertOptionReference();
    QCOMPARE(window.Expression(), QStringLiteral("12"));

    window.setExpression(QString());
    window.selectorList()->setCurrentRow(0);
    QCOMPARE(Builder::names(*window.propertyList()), (QStringList{"Item", "Price", "Top speed"}));
    window.propertyList()->setCurrentRow(1);
    window.itemList()->setCurrentRow(0);
    window.insertSelectorReference();
    QCOMPARE(window.Expression(), QStringLiteral("<<Cars:Price;Mini>> "));
    // The property alone means the item under test: only for the selector being tested, and
    // only for a name the expression reads as one.
    auto* alone = buttonWithText(window, LoadResString(33643));
    QVERIFY(alone->isHidden());
    window.setItemSelector(QStringLiteral("cars"));
    QVERIFY(alone->isEnabled());
    window.propertyList()->setCurrentRow(2);
    QVERIFY(!alone->isEnabled());

    // Without selectors the selector panel is closed.
    Builder none{QStringList()};
    QVERIFY(!none.window.referencePanels()->isTabEnabled(2));
}

void TestExpressionBuilderWindow::validateAndOkRefuse_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("refusal"); // empty: passes
    QTest::addColumn<bool>("keepUnread"); // the answer when it does not read
    QTest::addColumn<bool>("accepted");
    QTest::newRow("known references") << "[[age]] > 18 & [[ MEMBER ]] = \"Checked\" | <<Cars:Price;Van>> < 3" << ""
                                      << false << true;
    QTest::newRow("unknown control") << "[[Age]] > 18 & [[Nobody]] = 1" << "Control: Nobody does not exist." << true
                                     << false;
    QTest::newRow("unknown selector") << "<<Bikes:Price>> > 1" << "Solution Set Selector reference: Bikes:Price does not exist."
                                      << true << false;
    QTest::newRow("open reference ends at the operator") << "[[Gone > 1" << "Control: Gone does not exist." << true
                                                         << false;
    QTest::newRow("does not read, kept") << "[[Age]] >" << "" << true << true;
    QTest::newRow("does not read, not kept") << "[[Age]] >" << "" << false << false;
}

void TestExpressionBuilderWindow::validateAndOkRefuse()
{
    QFETCH(QString, expression);
    QFETCH(QString, refusal);
    QFETCH(bool, keepUnread);
    QFETCH(bool, accepted);
    Builder b;
    withControls(b.decisions);
    b.window.setExpression(expression);
    QCOMPARE(b.window.validate(), refusal.isEmpty());
    if (!refusal.isEmpty()) {
        QCOMPARE(b.prompt.shown().size(), 1);
        QCOMPARE(b.prompt.shown().first().text, refusal);
        QCOMPARE(b.prompt.shown().first().title, LoadResString(11211));
    }
    b.prompt.clearShown();
    b.prompt.QueueAnswer(keepUnread ? PromptAnswer::Yes : PromptAnswer::No);
    b.window.show();
    b.window.accept();
    QCOMPARE(b.window.result() == QDialog::Accepted, accepted);
    QCOMPARE(b.window.isVisible(), !accepted);
    // The text is never changed by a refusal.
    QCOMPARE(b.window.Expression(), expression);
}

void TestExpressionBuilderWindow::keyboardComposes()
{
    Builder b;
    withControls(b.decisions);
    frmExpressionBuilder window({b.decisions, {"Cars"}, b.catalog, b.prompt});
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    // Tab goes from the expression to the operator buttons before the panels.
    window.expressionBox()->setFocus();
    QTest::keyClick(window.expressionBox(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), buttonWithText(window, LoadResString(11206)));

    // Return in a list inserts its reference and leaves the builder open.
    window.controlList()->setFocus();
    window.controlList()->setCurrentRow(1);
    QTest::keyClick(window.controlList(), Qt::Key_Return);
    QCOMPARE(window.Expression(), QStringLiteral("[[Member]] "));
    QVERIFY(window.isVisible());
    QCOMPARE(QApplication::focusWidget(), window.expressionBox());
    QTest::keyClicks(window.expressionBox(), QStringLiteral("< "));
    // Through the selector, its properties and its items; the panels open by their keys.
    QTest::keyClick(window.expressionBox(), Qt::Key_L, Qt::AltModifier);
    QCOMPARE(window.referencePanels()->currentIndex(), 2);
    window.selectorList()->setFocus();
    window.selectorList()->setCurrentRow(0);
    QTest::keyClick(window.selectorList(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), window.propertyList());
    window.propertyList()->setCurrentRow(1);
    QTest::keyClick(window.propertyList(), Qt::Key_Enter);
    QCOMPARE(QApplication::focusWidget(), window.itemList());
    window.itemList()->setCurrentRow(1);
    QTest::keyClick(window.itemList(), Qt::Key_Return);
    QCOMPARE(window.Expression(), QStringLiteral("[[Member]] < <<Cars:Price;Van>> "));
    QVERIFY(window.isVisible());
    // The control box of the option panel hands Return on to its options.
    QTest::keyClick(window.itemList(), Qt::Key_F, Qt::AltModifier);
    QCOMPARE(window.referencePanels()->currentIndex(), 1);
    window.optionControlBox()->setFocus();
    QTest::keyClick(window.optionControlBox(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), window.optionList());
    QVERIFY(window.isVisible());

    // In the expression, Return is OK.
    window.expressionBox()->setFocus();
    QTest::keyClick(window.expressionBox(), Qt::Key_Return);
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QVERIFY(b.prompt.shown().isEmpty());
}

void TestExpressionBuilderWindow::statementPanelOpensTheBuilder()
{
    StatementPanel panel;
    QStringList asked;
    panel.setBuilder([&asked](const QString& expression, bool isBoolean, const QString& itemSelector) {
        asked << QStringLiteral("%1|%2|%3").arg(expression).arg(int(isBoolean)).arg(itemSelector);
        return std::optional<QString>(QStringLiteral("Price > 3"));
    });
    panel.chooseKeyword(BlockLine::Sort);
    panel.targetBox()->setEditText(QStringLiteral("Cars"));
    panel.valueBox()->setText(QStringLiteral("Price; Descending"));
    panel.buildExpression();
    QCOMPARE(panel.line(), QStringLiteral("!SORT Cars : Price > 3; Descending"));
    panel.chooseKeyword(BlockLine::If);
    panel.buildExpression();
    panel.chooseKeyword(BlockLine::Go);
    QVERIFY(!panel.canBuildExpression());
    panel.buildExpression();
    QCOMPARE(asked, (QStringList{"Price|0|Cars", "Price > 3; Descending|1|"}));
    // A statement loaded is the statement written back.
    panel.load(QStringLiteral("!SET [[Age]]=3"));
    QCOMPARE(panel.line(), QStringLiteral("!SET [[Age]] = 3"));
    panel.load(QStringLiteral("!EARLYFINISH Off"));
    QCOMPARE(panel.switchBox()->currentIndex(), 1);
    QCOMPARE(panel.line(), QStringLiteral("!EARLYFINISH Off"));
    panel.load(QStringLiteral("?Say yes"));
    QCOMPARE(panel.line(), QStringLiteral("?Say yes"));
    // Another kind for a loaded line starts empty; text the author typed goes with the kind.
    panel.load(QStringLiteral("^Laptop"));
    panel.chooseKeyword(BlockLine::Set);
    QVERIFY(panel.valueBox()->text().isEmpty());
    QTest::keyClicks(panel.valueBox(), QStringLiteral("Price"));
    panel.chooseKeyword(BlockLine::If);
    QCOMPARE(panel.line(), QStringLiteral("!IF Price"));
    // A list filled from selectors offers their names as its options, and only as options.
    panel.setOptionChoices({"Cars", "Bikes"});
    panel.chooseOption();
    QVERIFY(panel.valueBox()->completer());
    QCOMPARE(panel.valueBox()->completer()->model()->rowCount(), 2);
    panel.chooseKeyword(BlockLine::Go);
    QVERIFY(!panel.valueBox()->completer());
    panel.setOptionChoices({});
    panel.chooseOption();
    QVERIFY(!panel.valueBox()->completer());
}

void TestExpressionBuilderWindow::linkDialogOpensTheBuilder()
{
    CmDecisionManager decisions;
    withControls(decisions);
    QStringList opened;
    QtLinkDialog links(nullptr, [&opened](QWidget*, const QString& expression) {
        opened << expression;
        return std::optional<QString>(QStringLiteral("[[Age]] > 18"));
    });
    QTimer::singleShot(0, this, [] {
        auto* dialog = qobject_cast<frmAddLink*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QTest::mouseClick(buttonWithText(*dialog, LoadResString(32604)), Qt::LeftButton);
        QTest::mouseClick(buttonWithText(*dialog, LoadResString(32602)), Qt::LeftButton);
    });
    LinkPreferences preferences;
    preferences.LinkAlways = false;
    preferences.LinkExpr = QStringLiteral("1 = 1");
    const LinkAnswer answer = links.AskLink(*decisions.Item(QStringLiteral("Age")), preferences);
    QCOMPARE(opened, QStringList{"1 = 1"});
    QVERIFY(!answer.Cancelled);
    QCOMPARE(answer.LinkExpr, QStringLiteral("[[Age]] > 18"));
}

void TestExpressionBuilderWindow::valueDialogOffersWhatTheRuntimeGives_data()
{
    QTest::addColumn<qint16>("type");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("offered");
    QTest::newRow("check box") << qint16(Check) << QStringList{"^Checked", "!GO Next"} << QStringList{"True", "False"};
    QTest::newRow("button") << qint16(Command) << QStringList{} << QStringList{"True", "False"};
    QTest::newRow("choices, actions left out") << qint16(Radio) << QStringList{"!SET [[A]] = 1", "^Red", "!GO R", "^Blue"}
                                               << QStringList{"Red", "Blue"};
}

void TestExpressionBuilderWindow::valueDialogOffersWhatTheRuntimeGives()
{
    QFETCH(qint16, type);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, offered);
    CmDecisionItem control;
    control.setStrID(QStringLiteral("Pick"));
    control.setIntControl(type);
    control.setOptsAndActsAsRead(lines);
    frmDecisionValue dialog(control);
    const auto* choices = dialog.findChild<QComboBox*>();
    QVERIFY(choices);
    QStringList shown;
    for (int i = 0; i < choices->count(); ++i)
        shown.append(choices->itemText(i));
    QCOMPARE(shown, offered);
}

KV_REGISTER_TEST(TestExpressionBuilderWindow)
#include "tst_ExpressionBuilderWindow.moc"
