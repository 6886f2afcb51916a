#pragma once

#include "printing/PrintSelections.h"

#include <QDialog>

#include <vector>

class QCheckBox;

// What to print: the parts of the project, and what the summary shows of each control.
class PrintOptionsDialog final : public QDialog {
    Q_OBJECT
public:
    explicit PrintOptionsDialog(const PrintSelections& selections, QWidget* parent = nullptr);

    PrintSelections selections() const;

private:
    struct Choice {
        bool PrintSelections::*field;
        QCheckBox* box;
    };
    QCheckBox* add(int textId, bool PrintSelections::*field, const PrintSelections& selections);

    std::vector<Choice> m_choices;
};
