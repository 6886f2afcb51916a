#pragma once

#include <QDialog>

class CmDecisionItem;
class QComboBox;
class QLineEdit;

// Asks for the value of a control the running tree references: a choice among its options, TRUE
// or FALSE, or a text, as the control's interface takes it. "Default" takes the control's default.
class frmDecisionValue : public QDialog {
    Q_OBJECT
public:
    explicit frmDecisionValue(const CmDecisionItem& control, QWidget* parent = nullptr);

    QString value() const;

private:
    void takeDefault();

    QString m_default;
    QComboBox* m_choices = nullptr;
    QLineEdit* m_text = nullptr;
};
