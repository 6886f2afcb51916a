#include "views/DocumentArea.h"

#include <QMdiSubWindow>

DocumentArea::DocumentArea(QWidget* parent) : QMdiArea(parent)
{
    setObjectName(QStringLiteral("mdiDocuments"));
}

void DocumentArea::arrange(CView::WindowArrangement arrangement)
{
    switch (arrangement) {
    case CView::WindowArrangement::TileHorizontally: tile(Qt::Vertical); break;
    case CView::WindowArrangement::TileVertically: tile(Qt::Horizontal); break;
    case CView::WindowArrangement::Cascade: cascadeSubWindows(); break;
    case CView::WindowArrangement::ArrangeIcons: arrangeIcons(); break;
    }
}

void DocumentArea::tile(Qt::Orientation stacking)
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : subWindowList()) {
        if (window->isVisible() && !window->isMinimized())
            windows.append(window);
    }
    if (windows.isEmpty())
        return;
    const QRect area = viewport()->rect();
    const int count = static_cast<int>(windows.size());
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* window = windows.at(i);
        if (window->isMaximized())
            window->showNormal();
        if (stacking == Qt::Vertical) {
            const int top = area.height() * i / count;
            window->setGeometry(0, top, area.width(), area.height() * (i + 1) / count - top);
        } else {
            const int left = area.width() * i / count;
            window->setGeometry(left, 0, area.width() * (i + 1) / count - left, area.height());
        }
    }
}

void DocumentArea::arrangeIcons()
{
    // Minimised windows in a row along the bottom, left to right.
    int left = 0;
    for (QMdiSubWindow* window : subWindowList()) {
        if (!window->isMinimized())
            continue;
        const QSize size = window->size();
        window->move(left, viewport()->height() - size.height());
        left += size.width();
    }
}
