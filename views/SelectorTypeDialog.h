#pragma once

#include "selectors/ISelectorDialogs.h"

#include <QDialog>

class QRadioButton;

// Internal or external: the choice of a new selector's kind.
class SelectorTypeDialog : public QDialog {
    Q_OBJECT
public:
    explicit SelectorTypeDialog(QWidget* parent = nullptr);

    SelectorKind Choice() const;

private:
    QRadioButton* m_internal;
    QRadioButton* m_external;
};
