#pragma once

#include <QComboBox>

class CmDecisionManager;

// The Control Selector of the decision-tree toolbar: every control by name, the selected one
// current. It shows the decision manager's selector list, so adds, removals and renames reach
// it without help; choosing an entry asks for that control.
class ControlSelectorBox : public QComboBox {
    Q_OBJECT

public:
    static constexpr int ToolId = 1060;

    explicit ControlSelectorBox(CmDecisionManager& decisions, QWidget* parent = nullptr);

signals:
    // The author chose the control with this key.
    void controlChosen(qint16 key);

private:
    void choose(int row);

    CmDecisionManager& m_decisions;
};
