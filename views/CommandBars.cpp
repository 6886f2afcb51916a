#include "views/CommandBars.h"

#include "app/CView.h"
#include "app/CommandBand.h"
#include "app/CommandBands.h"
#include "app/CommandTool.h"
#include "views/ToolDecorations.h"

#include <QAction>
#include <QEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <algorithm>

namespace {

void showTool(QAction& action, const CommandTool& tool)
{
    action.setText(tool.Caption());
    action.setToolTip(tool.ToolTip().isEmpty() ? tool.Caption() : tool.ToolTip());
    action.setStatusTip(tool.StatusHelp());
    action.setEnabled(tool.Enabled());
    action.setChecked(tool.Checked());
    action.setVisible(tool.Visible());
}

bool isMenuBand(const CommandBand& band)
{
    return band.kind() == CommandBand::Kind::Menu || band.kind() == CommandBand::Kind::Submenu
           || band.kind() == CommandBand::Kind::Popup;
}

} // namespace

CommandBars::CommandBars(QMainWindow& window) : QObject(&window), m_window(window) {}

void CommandBars::clear()
{
    for (const QPointer<QObject>& built : m_built)
        delete built.data();
    m_built.clear();
    m_actions.clear();
    m_menus.clear();
    m_toolBars.clear();
}

void CommandBars::build(CView& view)
{
    clear();
    m_view = &view;
    const std::vector<CommandBand*> bands = view.Bands().Bands();
    // Every menu exists before any is filled: a menu may hold one defined after it.
    for (CommandBand* band : bands) {
        if (!isMenuBand(*band))
            continue;
        auto* menu = new QMenu(band->Caption(), &m_window);
        menu->setObjectName(band->Name());
        m_built.emplace_back(menu);
        m_menus.emplace(band->Name(), menu);
        menu->menuAction()->setVisible(band->Visible());
        connect(band, &CommandBand::visibleChanged, menu->menuAction(), &QAction::setVisible);
    }
    for (CommandBand* band : bands) {
        if (isMenuBand(*band))
            fillMenu(*m_menus.at(band->Name()), *band);
        if (band->kind() == CommandBand::Kind::Submenu)
            followSubmenuTools(*band, *m_menus.at(band->Name()));
        if (band->kind() == CommandBand::Kind::Menu)
            m_window.menuBar()->addMenu(m_menus.at(band->Name()));
        if (band->kind() != CommandBand::Kind::ToolBar)
            continue;
        auto* bar = new QToolBar(band->Caption(), &m_window);
        // The saved arrangement knows a bar by its band's name.
        bar->setObjectName(band->Name());
        m_built.emplace_back(bar);
        m_toolBars.emplace(band->Name(), bar);
        fillToolBar(*bar, *band);
        m_window.addToolBar(Qt::TopToolBarArea, bar);
        followBand(*band, *bar);
    }
}

QAction* CommandBars::actionFor(CommandTool& tool)
{
    const auto found = m_actions.find(tool.Id());
    if (found != m_actions.end())
        return found->second;
    auto* action = new QAction(&m_window);
    m_built.emplace_back(action);
    action->setObjectName(QStringLiteral("tool%1").arg(tool.Id()));
    action->setCheckable(tool.Checkable());
    action->setIcon(ToolDecorations::Icon(tool.Id()));
    action->setShortcuts(ToolDecorations::Shortcuts(tool.Id()));
    showTool(*action, tool);
    connect(&tool, &CommandTool::changed, action, [action, &tool] { showTool(*action, tool); });
    const int id = tool.Id();
    QPointer<CView> view = m_view;
    // A checkable action flips itself on a click; the tool's state, set by the command, decides.
    connect(action, &QAction::triggered, this, [view, action, &tool, id] {
        // The tool goes with its view; an action left behind by an ended run does nothing.
        if (!view)
            return;
        view->mAB_ToolClick(id);
        if (view)
            action->setChecked(tool.Checked());
    });
    m_actions.emplace(id, action);
    return action;
}

QAction* CommandBars::separatorFor(CommandTool* tool)
{
    auto* separator = new QAction(&m_window);
    m_built.emplace_back(separator);
    separator->setSeparator(true);
    if (tool) {
        separator->setObjectName(tool->Name());
        separator->setVisible(tool->Visible());
        connect(tool, &CommandTool::changed, separator, [separator, tool] { separator->setVisible(tool->Visible()); });
    }
    return separator;
}

void CommandBars::fillMenu(QMenu& menu, const CommandBand& band)
{
    for (const CommandBand::Entry& entry : band.Entries()) {
        switch (entry.kind) {
        case CommandBand::Entry::Kind::Tool: menu.addAction(actionFor(*entry.tool)); break;
        case CommandBand::Entry::Kind::Separator: menu.addAction(separatorFor(entry.tool)); break;
        case CommandBand::Entry::Kind::Submenu: menu.addMenu(m_menus.at(entry.submenu)); break;
        }
    }
}

void CommandBars::followSubmenuTools(const CommandBand& band, QMenu& menu)
{
    // A submenu offers itself only when it has a command to offer.
    const std::vector<CommandTool*> tools = band.Tools();
    const auto refresh = [&menu, tools] {
        menu.menuAction()->setEnabled(std::any_of(tools.cbegin(), tools.cend(), [](const CommandTool* tool) {
            return tool->kind() == CommandTool::Kind::Command && tool->Visible() && tool->Enabled();
        }));
    };
    for (const CommandTool* tool : tools)
        connect(tool, &CommandTool::changed, &menu, refresh);
    refresh();
}

void CommandBars::fillToolBar(QToolBar& bar, const CommandBand& band)
{
    for (const CommandBand::Entry& entry : band.Entries()) {
        if (entry.kind == CommandBand::Entry::Kind::Tool)
            bar.addAction(actionFor(*entry.tool));
        else if (entry.kind == CommandBand::Entry::Kind::Separator)
            bar.addSeparator();
    }
}

QAction* CommandBars::action(int toolId) const
{
    const auto found = m_actions.find(toolId);
    return found == m_actions.end() ? nullptr : found->second;
}

QMenu* CommandBars::menu(const QString& band) const
{
    const auto found = m_menus.find(band);
    return found == m_menus.end() ? nullptr : found->second;
}

QToolBar* CommandBars::toolBar(const QString& band) const
{
    const auto found = m_toolBars.find(band);
    return found == m_toolBars.end() ? nullptr : found->second;
}

void CommandBars::followBand(CommandBand& band, QWidget& widget)
{
    widget.setVisible(band.Visible());
    connect(&band, &CommandBand::visibleChanged, &widget, &QWidget::setVisible);
    m_followed[&widget] = &band;
    connect(&widget, &QObject::destroyed, this, [this, &widget] { m_followed.erase(&widget); });
    widget.installEventFilter(this);
}

void CommandBars::takeStateFromWidgets()
{
    for (const auto& [widget, band] : m_followed) {
        if (band)
            band->setVisible(!widget->isHidden());
    }
}

bool CommandBars::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
        auto* widget = static_cast<QWidget*>(watched);
        const auto followed = m_followed.find(widget);
        // Hidden with its window is not hidden by the author: isHidden tells the two apart.
        if (followed != m_followed.end() && followed->second)
            followed->second->setVisible(!widget->isHidden());
    }
    return QObject::eventFilter(watched, event);
}
