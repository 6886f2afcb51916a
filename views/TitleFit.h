#pragma once

class QWidget;

// A dialog at least as wide as its title needs: window managers cut a title that does not fit
// ("Rena… ontrol"), and the title bar's font and buttons take more room than the title's own
// width in the dialog's font.
namespace TitleFit {

int MinimumWidth(const QWidget& window);
// Raises the window's minimum width to that, never lowering it.
void Fit(QWidget& window);

} // namespace TitleFit
