#include "views/DockFirstHeight.h"

#include <QDockWidget>
#include <QEvent>
#include <QMainWindow>

#include <algorithm>

void DockFirstHeight::watch(QMainWindow& main, QDockWidget& dock)
{
    // A child of the dock: it goes with it.
    dock.installEventFilter(new DockFirstHeight(main, dock));
}

DockFirstHeight::DockFirstHeight(QMainWindow& main, QDockWidget& dock) : QObject(&dock), m_main(main), m_dock(dock)
{
}

bool DockFirstHeight::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_dock && event->type() == QEvent::Show) {
        // The area lays the dock out after it shows; its height is known only then.
        QMetaObject::invokeMethod(this, &DockFirstHeight::giveHeight, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

int DockFirstHeight::shownHeight(const QMainWindow& main, const QDockWidget& dock)
{
    // Docks whose least heights add up to more than the window's are cut off at its bottom.
    const QRect inside = main.rect().intersected(dock.geometry());
    return dock.isVisible() ? std::max(0, inside.height()) : 0;
}

bool DockFirstHeight::squeezed() const
{
    return !m_dock.isHidden() && !m_dock.isFloating() && m_main.dockWidgetArea(&m_dock) != Qt::NoDockWidgetArea
           && shownHeight(m_main, m_dock) < SqueezedBelow;
}

void DockFirstHeight::giveHeight()
{
    if (m_dock.isHidden() || m_dock.isFloating() || m_main.dockWidgetArea(&m_dock) == Qt::NoDockWidgetArea)
        return;
    // Once laid out at a usable height, the author's own sizing is left alone from then on.
    m_dock.removeEventFilter(this);
    if (!squeezed()) {
        deleteLater();
        return;
    }
    const int content = m_dock.widget() ? m_dock.widget()->sizeHint().height() : 0;
    m_main.resizeDocks({&m_dock}, {std::min(std::max(FirstHeight, content), m_main.height() / 2)}, Qt::Vertical);
    QMetaObject::invokeMethod(this, &DockFirstHeight::tabIfStillSqueezed, Qt::QueuedConnection);
}

void DockFirstHeight::tabIfStillSqueezed()
{
    deleteLater();
    if (!squeezed())
        return;
    QDockWidget* tallest = nullptr;
    for (QDockWidget* other : m_main.findChildren<QDockWidget*>()) {
        if (other != &m_dock && other->isVisible() && !other->isFloating()
            && m_main.dockWidgetArea(other) == m_main.dockWidgetArea(&m_dock)
            && (!tallest || shownHeight(m_main, *other) > shownHeight(m_main, *tallest)))
            tallest = other;
    }
    if (!tallest)
        return;
    m_main.tabifyDockWidget(tallest, &m_dock);
    m_dock.raise();
}
