#include "app/CommandBand.h"

#include "app/CommandTool.h"
#include "base/ResourceStrings.h"

#include <algorithm>
#include <utility>

CommandBand::CommandBand(QString name, Kind kind, int captionId, bool visible)
    : m_name(std::move(name)), m_kind(kind), m_captionId(captionId), m_visible(visible)
{
}

void CommandBand::setVisible(bool visible)
{
    if (m_visible == visible)
        return;
    m_visible = visible;
    emit visibleChanged(visible);
}

bool CommandBand::Contains(int toolId) const
{
    return std::any_of(m_entries.cbegin(), m_entries.cend(), [toolId](const Entry& entry) {
        return entry.kind == Entry::Kind::Tool && entry.tool->Id() == toolId;
    });
}

std::vector<CommandTool*> CommandBand::Tools() const
{
    std::vector<CommandTool*> tools;
    for (const Entry& entry : m_entries) {
        if (entry.tool)
            tools.push_back(entry.tool);
    }
    return tools;
}

void CommandBand::LoadResources()
{
    m_caption = LoadResString(m_captionId);
}
