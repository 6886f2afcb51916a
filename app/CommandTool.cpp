#include "app/CommandTool.h"

#include "app/ToolRegistry.h"
#include "base/AccessKey.h"
#include "base/ResourceStrings.h"

#include <utility>

CommandTool::CommandTool(int id, QString name, Kind kind, bool checkable)
    : m_id(id), m_name(std::move(name)), m_kind(kind), m_checkable(checkable)
{
}

template <typename T>
void CommandTool::assign(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    emit changed();
}

void CommandTool::setCaption(const QString& caption)
{
    assign(m_caption, caption);
}

void CommandTool::setToolTip(const QString& toolTip)
{
    assign(m_toolTip, toolTip);
}

void CommandTool::setStatusHelp(const QString& statusHelp)
{
    assign(m_statusHelp, statusHelp);
}

void CommandTool::setEnabled(bool enabled)
{
    assign(m_enabled, enabled);
}

void CommandTool::setChecked(bool checked)
{
    assign(m_checked, checked && m_checkable);
}

void CommandTool::setVisible(bool visible)
{
    assign(m_visible, visible);
}

void CommandTool::LoadResources()
{
    if (m_kind != Kind::Command || m_id <= 0)
        return;
    setCaption(LoadResString(ToolRegistry::CaptionId(m_id)));
    const QString toolTip = LoadResString(m_id + ToolTipOffset);
    setToolTip(toolTip.isEmpty() ? WithoutAccessKey(m_caption) : toolTip);
    setStatusHelp(LoadResString(m_id + StatusHelpOffset));
}
