#pragma once

class QWidget;

// Select All and DeSelect All for the text field that has the keyboard: a line, a text editor
// or a spin box's text.
namespace TextSelection {

// The editable text widget with the focus; null when the focus is elsewhere.
QWidget* Focused();
// Selects the whole text, or leaves the caret where it is without a selection.
void SelectAll(QWidget& text);
void Deselect(QWidget& text);

} // namespace TextSelection
