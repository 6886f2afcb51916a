#include "views/TitleFit.h"

#include <QLayout>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace TitleFit {

namespace {
// The title bar's buttons and icon, and a bold or larger title font.
constexpr int TitleBarRoom = 80;
} // namespace

int MinimumWidth(const QWidget& window)
{
    return window.fontMetrics().horizontalAdvance(window.windowTitle()) * 3 / 2 + TitleBarRoom;
}

namespace {
void widen(QWidget& window)
{
    // Measured in the font the style gives it; a layout that sets the window's minimum size
    // itself (as QInputDialog's does) would undo the width.
    window.ensurePolished();
    if (QLayout* layout = window.layout(); layout && layout->sizeConstraint() == QLayout::SetMinAndMaxSize)
        layout->setSizeConstraint(QLayout::SetDefaultConstraint);
    window.setMinimumWidth(std::max(window.minimumWidth(), MinimumWidth(window)));
}
} // namespace

void Fit(QWidget& window)
{
    widen(window);
    // Again once it shows: some dialogs make their layout only then.
    if (!window.isVisible())
        QTimer::singleShot(0, &window, [target = &window] { widen(*target); });
}

} // namespace TitleFit
