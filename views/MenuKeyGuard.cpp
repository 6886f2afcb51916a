#include "views/MenuKeyGuard.h"

#include <QAbstractButton>
#include <QAction>
#include <QChildEvent>
#include <QDockWidget>
#include <QKeySequence>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QSet>
#include <QShortcut>
#include <QTabBar>

#include <functional>

namespace {

// Where the single "&" of a caption stands ("&&" is a plain ampersand); -1 without one.
qsizetype mnemonicAt(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&'))
            continue;
        if (caption.at(i + 1) != QLatin1Char('&'))
            return i;
        ++i;
    }
    return -1;
}

QChar keyOf(const QString& caption)
{
    const qsizetype at = mnemonicAt(caption);
    return at < 0 ? QChar() : caption.at(at + 1).toUpper();
}

// The caption with its key moved to the first letter that neither the menus nor the dock's
// other captions have; without a key when there is none.
QString moved(const QString& caption, const QSet<QChar>& taken)
{
    QString plain = caption;
    plain.remove(mnemonicAt(caption), 1);
    for (qsizetype i = 0; i < plain.size(); ++i) {
        if (plain.at(i) == QLatin1Char('&')) {
            ++i;
            continue;
        }
        if (plain.at(i).isLetterOrNumber() && !taken.contains(plain.at(i).toUpper()))
            return plain.left(i) + QLatin1Char('&') + plain.mid(i);
    }
    return plain;
}

// Each caption of the dock that carries an access key: labels, buttons and tabs.
struct Caption {
    std::function<QString()> get;
    std::function<void(const QString&)> set;
};

QList<Caption> captionsOf(QWidget& dock)
{
    QList<Caption> captions;
    for (QLabel* label : dock.findChildren<QLabel*>())
        captions.append({[label] { return label->text(); }, [label](const QString& text) { label->setText(text); }});
    for (QAbstractButton* button : dock.findChildren<QAbstractButton*>())
        captions.append({[button] { return button->text(); }, [button](const QString& text) { button->setText(text); }});
    for (QTabBar* bar : dock.findChildren<QTabBar*>()) {
        for (int i = 0; i < bar->count(); ++i)
            captions.append({[bar, i] { return bar->tabText(i); }, [bar, i](const QString& text) { bar->setTabText(i, text); }});
    }
    return captions;
}

} // namespace

MenuKeyGuard::MenuKeyGuard(QMainWindow& window) : QObject(&window), m_window(window)
{
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), &window);
    connect(f10, &QShortcut::activated, this, [this] {
        QMenuBar* bar = m_window.menuBar();
        for (QAction* menu : bar->actions()) {
            if (menu->isVisible() && menu->isEnabled()) {
                bar->setActiveAction(menu);
                return;
            }
        }
    });
    for (QDockWidget* dock : window.findChildren<QDockWidget*>())
        follow(*dock);
    window.installEventFilter(this);
}

void MenuKeyGuard::follow(QWidget& dock)
{
    if (dock.property("kvMenuKeysGuarded").toBool())
        return;
    dock.setProperty("kvMenuKeysGuarded", true);
    dock.installEventFilter(this);
    guard(dock);
}

bool MenuKeyGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window && event->type() == QEvent::ChildPolished) {
        if (auto* dock = qobject_cast<QDockWidget*>(static_cast<QChildEvent*>(event)->child()))
            follow(*dock);
    } else if (event->type() == QEvent::Show && watched != &m_window) {
        if (auto* dock = qobject_cast<QDockWidget*>(watched))
            guard(*dock);
    }
    return QObject::eventFilter(watched, event);
}

void MenuKeyGuard::guard(QWidget& dock) const
{
    QSet<QChar> menus;
    for (const QAction* menu : m_window.menuBar()->actions()) {
        if (const QChar key = keyOf(menu->text()); !key.isNull())
            menus.insert(key);
    }
    const QList<Caption> captions = captionsOf(dock);
    QSet<QChar> taken = menus;
    QList<Caption> clashing;
    for (const Caption& caption : captions) {
        const QChar key = keyOf(caption.get());
        if (key.isNull())
            continue;
        if (menus.contains(key))
            clashing.append(caption);
        else
            taken.insert(key);
    }
    for (const Caption& caption : clashing) {
        const QString text = moved(caption.get(), taken);
        if (const QChar key = keyOf(text); !key.isNull())
            taken.insert(key);
        caption.set(text);
    }
}
