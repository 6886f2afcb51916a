#pragma once

#include "testmode/TestModeOptions.h"

#include <QDialog>

class QListWidget;
class QRadioButton;

// Asked before a test run: normal mode, or step-through from a chosen control; and whether the
// controls the run references take their defaults or are asked for.
class frmTestMode : public QDialog {
    Q_OBJECT
public:
    frmTestMode(const TestModeOptions& options, const QStringList& controlNames, QWidget* parent = nullptr);

    // The options with the choices made here.
    TestModeOptions options() const;

private:
    TestModeOptions m_options;
    QRadioButton* m_normal = nullptr;
    QRadioButton* m_stepThrough = nullptr;
    QListWidget* m_controls = nullptr;
    QRadioButton* m_defaults = nullptr;
    QRadioButton* m_prompt = nullptr;
};
