#include "common/TestRegistry.h"
#include "tests/views/RunningDesigner.h"

#include "app/CController.h"
#include "project/CModel.h"
#include "project/Project.h"
#include "app/CView.h"
#include "project/CvProject.h"
#include "base/ResourceStrings.h"
#include "edit/CanvasModel.h"
#include "edit/CcDecisionTree.h"
#include "edit/CcEdit.h"
#include "edit/CcUndo.h"
#include "edit/CvDecisionTree.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/DecisionProperties.h"
#include "model/RulesText.h"
#include "views/HeadingEditor.h"
#include "views/MainWindow.h"
#include "views/frmProperties.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTextEdit>

using namespace MDecisionDataUtil;

namespace {

// Age displays nothing yet; Pet sends its first answer to Age.
const QString Rules = QStringLiteral("BEGIN\r\n"
                                     "1\t\tAge\t\t\t\"How old?\"\tNumBox\t\r\n"
                                     "2\t\tPet\t\t\t\"\"\tRadio\t^Cat\t!GO Age\t^Dog\t!IF [[Age]] > 3\t!ENDIF\t\r\n"
                                     "3\t\tDone\t\t\t\"\"\tDone\t\r\n");

struct Designer : RunningDesigner {
    Designer()
    {
        RulesText::Read(Rules, decisions());
        main().show();
    }
    MainWindow& main() const { return *windows.mainWindow(); }
    frmProperties& window() const { return *main().findChild<frmProperties*>(); }
    CmDecisionManager& decisions() const { return gApp->Model().Decisions(); }
    CmDecisionItem& control(const QString& name) const { return *decisions().Item(name); }
    CcUndo& undo() const { return gApp->Controller().Edit().Undo(); }
    void select(const QString& name) const { gApp->Controller().DecisionTree().SelectDecision(name); }
    // The stored record of the control, as the records command writes it.
    QString record(const CmDecisionItem& decision) const
    {
        const QString start = QString::number(decision.intID()) + QLatin1Char('\t');
        for (const QString& each : RulesText::Records(decisions())) {
            if (each.startsWith(start))
                return each;
        }
        return {};
    }

    // As the author does it: types the value and presses Return, or picks it from the list.
    void enter(int labelId, const QString& value) const
    {
        QWidget* editor = window().editor(labelId);
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            const int index = combo->findText(value);
            QVERIFY2(index >= 0, qPrintable(value));
            combo->setCurrentIndex(index);
            emit combo->activated(index);
            return;
        }
        auto* line = qobject_cast<QLineEdit*>(editor) ? qobject_cast<QLineEdit*>(editor) : editor->findChild<QLineEdit*>();
        QVERIFY(line);
        line->setFocus();
        line->selectAll();
        QTest::keyClick(line, Qt::Key_Delete);
        QTest::keyClicks(line, value);
        QTest::keyClick(line, Qt::Key_Return);
    }
    QString shown(int labelId) const
    {
        QWidget* editor = window().editor(labelId);
        if (auto* combo = qobject_cast<QComboBox*>(editor))
            return combo->currentText();
        auto* line = qobject_cast<QLineEdit*>(editor) ? qobject_cast<QLineEdit*>(editor) : editor->findChild<QLineEdit*>();
        return line->text();
    }
};

} // namespace

// The properties window: each property written from its row reaches the stored record, the
// diagram or the rename with its references; refusals leave the control as it was; every change
// is one undo step; the window follows changes made elsewhere.
class TestPropertiesWindow : public QObject {
    Q_OBJECT

private slots:
    void eachPropertyReachesTheControl_data();
    void eachPropertyReachesTheControl();
    void refusedValuesLeaveTheControl_data();
    void refusedValuesLeaveTheControl();
    void eachChangeIsOneUndoStep_data();
    void eachChangeIsOneUndoStep();
    void renameUpdatesReferences();
    void headerKeepsItsFormats();
    void followsChangesMadeElsewhere();
};

void TestPropertiesWindow::eachPropertyReachesTheControl_data()
{
    QTest::addColumn<int>("label");
    QTest::addColumn<QString>("value");
    // A field the stored record must hold afterwards; empty where the record keeps no such field.
    QTest::addColumn<QString>("field");

    QTest::newRow("name") << +ControlNameLabel << "Years" << "\tYears\t";
    QTest::newRow("interface") << +InputInterfaceLabel << "NumSlide" << "\tNumSlide\t";
    QTest::newRow("displayed") << +DisplayedControlsLabel << "Done, Pet" << "1\t\"3,2\"\t";
    QTest::newRow("picture") << +PictureLabel << "Portrait" << "\tAge\tPortrait\t";
    QTest::newRow("caption") << +CaptionLabel << "Your age, in years" << "\t\"$Your age, in years\"\t";
    QTest::newRow("limits") << +MaximumLabel << "120" << "\t^0-120\t";
    QTest::newRow("default") << +DefaultValueLabel << "30" << "\t&30\t";
    QTest::newRow("help id") << +HelpIdLabel << "42" << "\tAge\t\t42\t";
    QTest::newRow("help url") << +HelpUrlLabel << "help/age.html" << "";
    QTest::newRow("top") << +TopLabel << "240" << "";
    QTest::newRow("left") << +LeftLabel << "80" << "";
    QTest::newRow("top at the origin") << +TopLabel << "0" << "";
    QTest::newRow("size") << +SizeLabel << "Large" << "";
}

void TestPropertiesWindow::eachPropertyReachesTheControl()
{
    QFETCH(int, label);
    QFETCH(QString, value);
    QFETCH(QString, field);
    Designer designer;
    gApp->View().Project().AddPicture(QStringLiteral("Portrait"));
    CmDecisionItem& age = designer.control(QStringLiteral("Age"));
    age.setMin(QStringLiteral("0"));
    designer.select(QStringLiteral("Age"));
    QCOMPARE(designer.window().decision(), &age);

    designer.enter(label, value);
    QVERIFY2(designer.prompt.shown().isEmpty(), qPrintable(designer.prompt.shownTexts().join(QLatin1Char('|'))));
    // The displayed controls come back without the blank typed after the comma.
    const QString expected = label == DisplayedControlsLabel ? QStringLiteral("Done,Pet") : value;
    QCOMPARE(GetProperty(age, label, &designer.decisions(), gApp->OpenProject().Owners()), expected);
    QCOMPARE(designer.shown(label), expected);
    if (!field.isEmpty())
        QVERIFY2(designer.record(age).contains(field), qPrintable(designer.record(age)));
}

void TestPropertiesWindow::refusedValuesLeaveTheControl_data()
{
    QTest::addColumn<QString>("interface");
    QTest::addColumn<int>("label");
    QTest::addColumn<QString>("value");
    // The start of the message the author reads.
    QTest::addColumn<QString>("message");

    const QString pleaseEnter = LoadResString(33403);
    QTest::newRow("NumBox minimum not a number") << "NumBox" << +MinimumLabel << "ten" << LoadResString(33400) + pleaseEnter;
    QTest::newRow("NumBox default with decimals") << "NumBox" << +DefaultValueLabel << "1.5" << LoadResString(33400) + pleaseEnter;
    QTest::newRow("NumBox maximum beyond 32 bits") << "NumBox" << +MaximumLabel << "2147483648" << LoadResString(33400) + pleaseEnter;
    QTest::newRow("NumSlide maximum beyond 16 bits") << "NumSlide" << +MaximumLabel << "40000" << LoadResString(33402) + pleaseEnter;
    QTest::newRow("RealNumBox beyond a float") << "RealNumBox" << +MinimumLabel << "-1e39" << LoadResString(33401) + pleaseEnter;
    QTest::newRow("RealNumBox below a float's least") << "RealNumBox" << +MaximumLabel << "1e-46" << LoadResString(33401) + pleaseEnter;
    QTest::newRow("unknown displayed control") << "NumBox" << +DisplayedControlsLabel << "Pet,Nobody" << LoadResString(33405).arg(QStringLiteral("Nobody"));
    QTest::newRow("itself displayed") << "NumBox" << +DisplayedControlsLabel << "Age" << LoadResString(33405).arg(QStringLiteral("Age"));
    QTest::newRow("displayed by number") << "NumBox" << +DisplayedControlsLabel << "2" << LoadResString(33405).arg(QStringLiteral("2"));
    QTest::newRow("name taken") << "NumBox" << +ControlNameLabel << "pet" << "";
    QTest::newRow("name not a name") << "NumBox" << +ControlNameLabel << "2nd" << "";
    QTest::newRow("top not a number") << "NumBox" << +TopLabel << "north" << LoadResString(33406).arg(LoadResString(TopLabel), QStringLiteral("north"));
    // No box stands above or left of the origin.
    QTest::newRow("left negative") << "NumBox" << +LeftLabel << "-80" << LoadResString(33406).arg(LoadResString(LeftLabel), QStringLiteral("-80"));
    QTest::newRow("top just above the origin") << "NumBox" << +TopLabel << "-0.5" << LoadResString(33406).arg(LoadResString(TopLabel), QStringLiteral("-0.5"));
    QTest::newRow("help id too large") << "NumBox" << +HelpIdLabel << "70000" << LoadResString(33406).arg(LoadResString(HelpIdLabel), QStringLiteral("70000"));
}

void TestPropertiesWindow::refusedValuesLeaveTheControl()
{
    QFETCH(QString, interface);
    QFETCH(int, label);
    QFETCH(QString, value);
    QFETCH(QString, message);
    Designer designer;
    CmDecisionItem& age = designer.control(QStringLiteral("Age"));
    QVERIFY(SetProperty(age, InputInterfaceLabel, interface));
    designer.select(QStringLiteral("Age"));
    const QString before = GetProperty(age, label, &designer.decisions(), gApp->OpenProject().Owners());
    const QString recordBefore = designer.record(age);
    const int undoBefore = designer.undo().UndoCount();

    designer.enter(label, value);
    QCOMPARE(designer.prompt.shown().size(), 1);
    if (!message.isEmpty())
        QCOMPARE(designer.prompt.shown().first().text, message);
    QCOMPARE(GetProperty(age, label, &designer.decisions(), gApp->OpenProject().Owners()), before);
    QCOMPARE(designer.record(age), recordBefore);
    QCOMPARE(designer.shown(label), before);
    QCOMPARE(designer.undo().UndoCount(), undoBefore);
}

void TestPropertiesWindow::eachChangeIsOneUndoStep_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("label");
    QTest::addColumn<QString>("value");

    // Pet's options go aside and its default is dropped: several records, one step.
    QTest::newRow("interface") << "Pet" << +InputInterfaceLabel << "NumBox";
    // Pet's lines name Age: they change with it.
    QTest::newRow("rename") << "Age" << +ControlNameLabel << "Years";
    QTest::newRow("caption") << "Pet" << +CaptionLabel << "Which pet?";
    QTest::newRow("displayed") << "Pet" << +DisplayedControlsLabel << "Age";
    QTest::newRow("moved") << "Pet" << +LeftLabel << "300";
}

void TestPropertiesWindow::eachChangeIsOneUndoStep()
{
    QFETCH(QString, control);
    QFETCH(int, label);
    QFETCH(QString, value);
    Designer designer;
    CmDecisionItem& decision = designer.control(control);
    decision.setDefaultValue(QStringLiteral("Cat"));
    designer.select(control);
    const QString records = RulesText::Records(designer.decisions()).join(QLatin1Char('\n'));
    const QString before = GetProperty(decision, label, &designer.decisions(), gApp->OpenProject().Owners());
    const int undoBefore = designer.undo().UndoCount();

    designer.enter(label, value);
    QCOMPARE(GetProperty(decision, label, &designer.decisions(), gApp->OpenProject().Owners()), value);
    QCOMPARE(designer.undo().UndoCount(), undoBefore + 1);
    designer.undo().UndoCommand();
    QCOMPARE(GetProperty(decision, label, &designer.decisions(), gApp->OpenProject().Owners()), before);
    QCOMPARE(RulesText::Records(designer.decisions()).join(QLatin1Char('\n')), records);
    QCOMPARE(designer.shown(label), before);
}

void TestPropertiesWindow::renameUpdatesReferences()
{
    Designer designer;
    designer.select(QStringLiteral("Age"));
    designer.enter(ControlNameLabel, QStringLiteral("Years"));
    const CmDecisionItem& pet = designer.control(QStringLiteral("Pet"));
    QVERIFY(pet.OptsAndActs().contains(QStringLiteral("!GO Years")));
    QVERIFY(pet.OptsAndActs().contains(QStringLiteral("!IF [[Years]] > 3")));
    const CanvasEntity* box = gApp->Controller().DiagramView().Canvas().Entity(1);
    QCOMPARE(box->caption, QStringLiteral("Years"));
    // Another control's rename shows in the displayed controls at once.
    designer.enter(DisplayedControlsLabel, QStringLiteral("Pet"));
    QVERIFY(gApp->Controller().DecisionTree().Rename(QStringLiteral("Pet"), QStringLiteral("Animal"), 2));
    QCOMPARE(designer.shown(DisplayedControlsLabel), QStringLiteral("Animal"));
}

void TestPropertiesWindow::headerKeepsItsFormats()
{
    Designer designer;
    designer.select(QStringLiteral("Age"));
    HeadingEditor& header = *designer.window().headingEditor();
    QCOMPARE(header.textEdit()->toPlainText(), QStringLiteral("How old?"));
    header.textEdit()->setFocus();
    header.textEdit()->moveCursor(QTextCursor::End);
    QTest::keyClick(header.textEdit(), Qt::Key_Space);
    header.action(HeadingEditor::Format::Bold)->trigger();
    QTest::keyClicks(header.textEdit(), QStringLiteral("Really"));
    QVERIFY(header.action(HeadingEditor::Format::Bold)->isChecked());
    const int undoBefore = designer.undo().UndoCount();
    // Any command takes the typing first.
    emit gApp->View().toolAboutToRun(201);
    const CmDecisionItem& age = designer.control(QStringLiteral("Age"));
    QCOMPARE(age.Heading(), QStringLiteral("How old? <B>Really</B>"));
    QVERIFY(designer.record(age).contains(QStringLiteral("\t\"How old? <B>Really</B>\"\t")));
    QCOMPARE(designer.undo().UndoCount(), undoBefore + 1);
    designer.undo().UndoCommand();
    QCOMPARE(header.textEdit()->toPlainText(), QStringLiteral("How old?"));
    QVERIFY(!header.action(HeadingEditor::Format::Bold)->isChecked());
}

void TestPropertiesWindow::followsChangesMadeElsewhere()
{
    Designer designer;
    designer.select(QStringLiteral("Pet"));
    QCOMPARE(designer.shown(ControlNameLabel), QStringLiteral("Pet"));
    CanvasModel& canvas = gApp->Controller().DiagramView().Canvas();
    const CanvasEntity* box = canvas.Entity(2);
    canvas.MoveEntity(2, QPointF(100 + box->size.width() / 2, -50 - box->size.height() / 2));
    QCOMPARE(designer.shown(LeftLabel), QStringLiteral("100"));
    QCOMPARE(designer.shown(TopLabel), QStringLiteral("50"));
    QVERIFY(SetProperty(designer.control(QStringLiteral("Pet")), CaptionLabel, QStringLiteral("Pick one")));
    designer.control(QStringLiteral("Pet")).EditHeading(QStringLiteral("<I>Pets</I>"));
    QCOMPARE(designer.shown(CaptionLabel), QStringLiteral("Pick one"));
    QCOMPARE(designer.window().headingEditor()->textEdit()->toPlainText(), QStringLiteral("Pets"));
    designer.select(QStringLiteral("Done"));
    QCOMPARE(designer.shown(InputInterfaceLabel), QStringLiteral("Done"));
    QVERIFY(canvas.DeleteEntity(3));
    QCOMPARE(designer.window().decision(), nullptr);
    QVERIFY(!designer.window().editor(CaptionLabel)->isEnabled());
}

KV_REGISTER_TEST(TestPropertiesWindow)
#include "tst_PropertiesWindow.moc"
