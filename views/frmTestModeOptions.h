#pragma once

#include "testmode/TestModeOptions.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QRadioButton;

// The test options on three tabs: the mode, where a step-through starts and how referenced
// controls get their values, and which debug windows a run opens. Apply and OK hand the
// options to whoever keeps them.
class frmTestModeOptions : public QDialog {
    Q_OBJECT
public:
    using Apply = std::function<void(const TestModeOptions&)>;

    frmTestModeOptions(const TestModeOptions& options, const QStringList& controlNames, Apply onApply,
                       QWidget* parent = nullptr);

    TestModeOptions options() const;

private:
    QWidget* modePage();
    QWidget* stepThroughPage(const QStringList& controlNames);
    QWidget* debugWindowPage();
    void apply();

    TestModeOptions m_options;
    Apply m_apply;
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
