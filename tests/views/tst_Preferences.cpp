#include "common/TestRegistry.h"
#include "tests/views/RunningDesigner.h"

#include "app/CController.h"
#include "project/CModel.h"
#include "app/CRegistry.h"
#include "app/CView.h"
#include "app/ToolId.h"
#include "app/ViewSettings.h"
#include "base/ResourceStrings.h"
#include "edit/CvDecisionTree.h"
#include "views/CommandBars.h"
#include "views/DiagramWindow.h"
#include "views/MainWindow.h"
#include "views/TestModeOptionsPage.h"
#include "views/frmOptions.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

namespace {

// Every value away from the built-in one.
ViewSettings changedSettings()
{
    ViewSettings settings;
    DiagramSettings& d = settings.Diagram;
    d.LineStyle = DiagramSettings::OrthogonalVertical;
    d.EntitySize = DiagramSettings::Large;
    d.CurrentCTL = 15;
    d.LeftClickCommand = 1;
    d.GridLines = false;
    d.SnapToGrid = false;
    d.GridSpacing = 24;
    d.SnapDistance = 5;
    d.BackColor = 0x101010;
    d.EntityColor = 0x202020;
    d.TextColor = 0x303030;
    d.GroupColor = 0x404040;
    d.GridColor = 0x505050;
    d.LinkColor = 0x606060;
    d.LinkAlways = false;
    d.LinkExpr = QStringLiteral("[[A]] = 1");
    d.ToolTip = false;
    EditingOptions& e = settings.Editing;
    e.AutoSpellCheckProperties = e.AutoSpellCheckCL = e.AutoSpellCheckCompile = true;
    e.ImagePath = QStringLiteral("/pictures");
    e.StartDecisionBuilderOnNew = true;
    e.StartDTEditorOnOpen = false;
    e.AnalyzePathsOnValidate = true;
    settings.TestMode.StepThrough = true;
    settings.TestMode.ShowCLValues = false;
    PrintSelections& p = settings.Print;
    for (bool* field : {&p.Print_strID, &p.Print_intID, &p.Print_Caption, &p.Print_Control, &p.Print_Default,
                        &p.Print_Group, &p.Print_Heading, &p.Print_HelpID, &p.Print_HelpURL, &p.Print_Max, &p.Print_Min,
                        &p.Print_Options, &p.Print_Picture, &p.Print_DTSummary, &p.Print_DTThumbnail})
        *field = false;
    return settings;
}

QPushButton* buttonWithText(const QWidget& window, int id)
{
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        if (button->text() == LoadResString(id))
            return button;
    }
    return nullptr;
}

QCheckBox* checkBoxWithText(const QWidget& window, int id)
{
    for (QCheckBox* box : window.findChildren<QCheckBox*>()) {
        if (box->text() == LoadResString(id))
            return box;
    }
    return nullptr;
}

} // namespace

// The preferences: every value of the settings store's View sections through the dialog,
// and back to the diagram and the store.
class TestPreferences : public QObject {
    Q_OBJECT

private slots:
    void everyValueRoundTrips();
    void fieldsWriteTheirValues();
    void unbuiltFeaturesStayAsStored();
    void preferencesReachTheDiagramAndTheStore();
};

void TestPreferences::everyValueRoundTrips()
{
    ScriptedPrompt prompt;
    const frmOptions::Features all{true, true, true, true};
    for (const ViewSettings& settings : {ViewSettings(), changedSettings()}) {
        frmOptions dialog(settings, {}, all, prompt, {});
        QVERIFY(dialog.settings() == settings);
    }
}

void TestPreferences::fieldsWriteTheirValues()
{
    ScriptedPrompt prompt;
    ViewSettings applied;
    int applies = 0;
    frmOptions dialog(ViewSettings(), {}, {true, true, true, true}, prompt,
                      [&](const ViewSettings& chosen) {
                          applied = chosen;
                          ++applies;
                      });
    const ViewSettings wanted = changedSettings();
    const auto combo = [&dialog](const char* name) { return dialog.findChild<QComboBox*>(QLatin1String(name)); };
    combo("LineStyle")->setCurrentIndex(2);
    combo("EntitySize")->setCurrentIndex(2);
    combo("CurrentCTL")->setCurrentIndex(combo("CurrentCTL")->findData(15));
    combo("LeftClickCommand")->setCurrentIndex(1);
    checkBoxWithText(dialog, 33593)->setChecked(false);
    checkBoxWithText(dialog, 1102)->setChecked(false);
    dialog.findChild<QSpinBox*>(QStringLiteral("GridSpacing"))->setValue(24);
    dialog.findChild<QSpinBox*>(QStringLiteral("SnapDistance"))->setValue(5);
    checkBoxWithText(dialog, 33689)->setChecked(false);
    for (const auto& [field, rgb] : {std::pair{"BackColor", 0x101010}, {"EntityColor", 0x202020}, {"TextColor", 0x303030},
                                     {"GroupColor", 0x404040}, {"GridColor", 0x505050}, {"LinkColor", 0x606060}})
        dialog.setColour(QLatin1String(field), rgb);
    for (QRadioButton* radio : dialog.findChildren<QRadioButton*>()) {
        if (radio->text() == LoadResString(33691))
            radio->setChecked(true);
    }
    dialog.findChild<QLineEdit*>(QStringLiteral("linkExpression"))->setText(QStringLiteral("[[A]] = 1"));
    for (int id : {33692, 33693, 33694, 33696, 33676})
        checkBoxWithText(dialog, id)->setChecked(true);
    checkBoxWithText(dialog, 33697)->setChecked(false);
    prompt.QueueText(QStringLiteral("/pictures"));
    QTest::mouseClick(buttonWithText(dialog, 32412), Qt::LeftButton);
    for (int id : {8001, 8002, 8003, 8004, 8005, 8006, 8007, 8008, 8009, 8010, 8014, 32750, 11004, 33698, 33699})
        checkBoxWithText(dialog, id)->setChecked(false);
    TestModeOptionsPage* testMode = dialog.findChild<TestModeOptionsPage*>();
    for (QRadioButton* radio : testMode->findChildren<QRadioButton*>()) {
        if (radio->text() == LoadResString(32836))
            radio->setChecked(true);
    }
    checkBoxWithText(*testMode, 32845)->setChecked(false);

    ViewSettings chosen = dialog.settings();
    // The folder came through the folder dialog.
    QCOMPARE(chosen.Editing.ImagePath, wanted.Editing.ImagePath);
    const DiagramSettings& d = chosen.Diagram;
    const DiagramSettings& w = wanted.Diagram;
    QCOMPARE(d.LineStyle, w.LineStyle);
    QCOMPARE(d.EntitySize, w.EntitySize);
    QCOMPARE(d.CurrentCTL, w.CurrentCTL);
    QCOMPARE(d.LeftClickCommand, w.LeftClickCommand);
    QCOMPARE(d.GridSpacing, w.GridSpacing);
    QCOMPARE(d.SnapDistance, w.SnapDistance);
    QCOMPARE(d.LinkExpr, w.LinkExpr);
    QVERIFY(chosen.Diagram == wanted.Diagram);
    QVERIFY(chosen.Editing == wanted.Editing);
    QVERIFY(chosen.Print == wanted.Print);
    QVERIFY(chosen.TestMode == wanted.TestMode);
    QTest::mouseClick(buttonWithText(dialog, 33598), Qt::LeftButton);
    QCOMPARE(applies, 1);
    QVERIFY(applied == wanted);
}

void TestPreferences::unbuiltFeaturesStayAsStored()
{
    ScriptedPrompt prompt;
    frmOptions dialog(ViewSettings(), {}, {false, false, false, false}, prompt, {});
    for (int id : {33692, 33693, 33694, 33696, 8001, 11004, 33698})
        QVERIFY2(!checkBoxWithText(dialog, id)->isEnabled(), qPrintable(LoadResString(id)));
    QVERIFY(!dialog.colourButton(QStringLiteral("GroupColor"))->isEnabled());
    QVERIFY(dialog.colourButton(QStringLiteral("LinkColor"))->isEnabled());
    QVERIFY(checkBoxWithText(dialog, 33697)->isEnabled());
}

void TestPreferences::preferencesReachTheDiagramAndTheStore()
{
    RunningDesigner designer;
    MainWindow& main = *designer.windows.mainWindow();
    main.show();
    main.commandBars().action(+ToolId::OpenDecisionTree)->trigger();
    auto* diagram = main.findChild<DiagramWindow*>(QStringLiteral("frmDecisionTree"));
    QVERIFY(diagram);
    QAction* preferences = main.commandBars().action(+ToolId::Preferences);
    gApp->View().UpdateBand(QStringLiteral("mnuEdit"));
    QVERIFY(preferences->isEnabled());
    // The compilers' settings, the file type and the document properties are on the menus too.
    for (int id : {+ToolId::WebSettings, +ToolId::DesktopSettings, +ToolId::FileType, +ToolId::FileProperties})
        QVERIFY2(main.commandBars().action(id) && main.commandBars().action(id)->isEnabled(), qPrintable(QString::number(id)));

    bool shown = false;
    QTimer::singleShot(0, this, [&shown] {
        auto* dialog = qobject_cast<frmOptions*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        shown = true;
        dialog->findChild<QSpinBox*>(QStringLiteral("GridSpacing"))->setValue(40);
        auto* type = dialog->findChild<QComboBox*>(QStringLiteral("CurrentCTL"));
        type->setCurrentIndex(type->findData(7));
        dialog->setColour(QStringLiteral("BackColor"), 0x123456);
        for (QRadioButton* radio : dialog->findChildren<QRadioButton*>()) {
            if (radio->text() == LoadResString(33691))
                radio->setChecked(true);
        }
        dialog->findChild<QLineEdit*>(QStringLiteral("linkExpression"))->setText(QStringLiteral("[[X]] = 2"));
        buttonWithText(*dialog, 32602)->click();
    });
    preferences->trigger();
    QVERIFY(shown);
    const ViewSettings& kept = gApp->View().Settings();
    QCOMPARE(kept.Diagram.GridSpacing, 40);
    QCOMPARE(diagram->settings().GridSpacing, 40);
    QCOMPARE(diagram->settings().BackColor, 0x123456);
    QCOMPARE(diagram->backgroundBrush().color(), QColor(0x12, 0x34, 0x56));
    QCOMPARE(gApp->Controller().DiagramView().CurrentCTL(), qint16(7));
    QCOMPARE(gApp->Controller().DiagramView().Preferences().LinkExpr, QStringLiteral("[[X]] = 2"));
    QVERIFY(!gApp->Controller().DiagramView().Preferences().LinkAlways);
    QCOMPARE(CRegistry::Read(QStringLiteral("View"), QStringLiteral("GridSpacing")), QStringLiteral("40"));
}

KV_REGISTER_TEST(TestPreferences)
#include "tst_Preferences.moc"
