#include "views/TextSelection.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace TextSelection {

QWidget* Focused()
{
    QWidget* focus = QApplication::focusWidget();
    if (qobject_cast<QLineEdit*>(focus) || qobject_cast<QPlainTextEdit*>(focus) || qobject_cast<QTextEdit*>(focus)
        || qobject_cast<QAbstractSpinBox*>(focus))
        return focus;
    return nullptr;
}

void SelectAll(QWidget& text)
{
    if (auto* line = qobject_cast<QLineEdit*>(&text))
        line->selectAll();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(&text))
        plain->selectAll();
    else if (auto* rich = qobject_cast<QTextEdit*>(&text))
        rich->selectAll();
    else if (auto* spin = qobject_cast<QAbstractSpinBox*>(&text))
        spin->selectAll();
}

void Deselect(QWidget& text)
{
    if (auto* line = qobject_cast<QLineEdit*>(&text)) {
        line->deselect();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(&text)) {
        QTextCursor cursor = plain->textCursor();
        cursor.clearSelection();
        plain->setTextCursor(cursor);
    } else if (auto* rich = qobject_cast<QTextEdit*>(&text)) {
        QTextCursor cursor = rich->textCursor();
        cursor.clearSelection();
        rich->setTextCursor(cursor);
    }
}

} // namespace TextSelection
