#include "views/DocumentArea.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QMenu>

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

void DocumentArea::listWindowsIn(QMenu& menu)
{
    connect(&menu, &QMenu::aboutToShow, this, [this, &menu] { fillWindowList(menu); });
}

void DocumentArea::fillWindowList(QMenu& menu)
{
    for (const QPointer<QAction>& entry : std::as_const(m_windowEntries))
        delete entry.data();
    m_windowEntries.clear();
    const QList<QMdiSubWindow*> windows = subWindowList();
    if (windows.isEmpty())
        return;
    m_windowEntries.append(menu.addSeparator());
    int number = 0;
    for (QMdiSubWindow* window : windows) {
        ++number;
        // The first nine are reached by their number as access key.
        QString title = window->windowTitle();
        title.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction* entry = menu.addAction(number <= 9 ? QStringLiteral("&%1 %2").arg(number).arg(title) : title);
        entry->setCheckable(true);
        entry->setChecked(window == activeSubWindow());
        connect(entry, &QAction::triggered, this, [this, target = QPointer<QMdiSubWindow>(window)] {
            if (target)
                setActiveSubWindow(target);
        });
        m_windowEntries.append(entry);
    }
}
