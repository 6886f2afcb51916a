#pragma once

#include "testmode/TestModeOptions.h"

#include <QTabWidget>

class QCheckBox;
class QComboBox;
class QRadioButton;

// The test options on three tabs: the mode, where a step-through starts and how referenced
// controls get their values, and which debug windows a run opens. The test options dialog
// and the preferences show it.
class TestModeOptionsPage : public QTabWidget {
    Q_OBJECT
public:
    TestModeOptionsPage(const TestModeOptions& options, const QStringList& controlNames, QWidget* parent = nullptr);

    // The options as the fields say, over those given.
    TestModeOptions options() const;

private:
    QWidget* modePage();
    QWidget* stepThroughPage(const QStringList& controlNames);
    QWidget* debugWindowPage();

    TestModeOptions m_options;
    QRadioButton* m_normal = nullptr;
    QRadioButton* m_stepThrough = nullptr;
    QCheckBox* m_askEveryTime = nullptr;
    QRadioButton* m_startControl = nullptr;
    QRadioButton* m_selectedControl = nullptr;
    QRadioButton* m_controlBelow = nullptr;
    QComboBox* m_controls = nullptr;
    QRadioButton* m_defaultValue = nullptr;
    QRadioButton* m_promptForValue = nullptr;
    QCheckBox* m_decisionValues = nullptr;
    QCheckBox* m_selectorValues = nullptr;
};
