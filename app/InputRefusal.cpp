#include "app/InputRefusal.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

// A release or a lasting key is no action of its own: refused quietly.
bool startsAnAction(QEvent::Type type)
{
    return type != QEvent::KeyRelease && type != QEvent::MouseButtonRelease && type != QEvent::ShortcutOverride
           && type != QEvent::DragMove;
}

} // namespace

InputRefusal::InputRefusal()
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
}

InputRefusal::~InputRefusal()
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

bool InputRefusal::eventFilter(QObject* /*watched*/, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (!isUserInput(type))
        return false;
    if (startsAnAction(type))
        m_refused = true;
    event->ignore();
    return true;
}
