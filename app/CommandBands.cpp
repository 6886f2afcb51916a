#include "app/CommandBands.h"

#include "app/CommandBand.h"
#include "app/CommandTable.h"
#include "app/ToolRegistry.h"
#include "app/CommandTool.h"

#include <QLatin1String>

namespace {

CommandTool::Kind namedToolKind(CommandTable::EntryDefinition::Kind kind)
{
    switch (kind) {
    case CommandTable::EntryDefinition::Kind::StatusText: return CommandTool::Kind::StatusText;
    case CommandTable::EntryDefinition::Kind::Progress: return CommandTool::Kind::Progress;
    default: return CommandTool::Kind::Separator;
    }
}

} // namespace

CommandBands::CommandBands()
{
    for (const CommandTable::BandDefinition& definition : CommandTable::Bands())
        addBand(definition);
}

CommandBands::~CommandBands() = default;

CommandTool& CommandBands::toolFor(int id)
{
    std::unique_ptr<CommandTool>& tool = m_tools[id];
    if (!tool)
        tool = std::make_unique<CommandTool>(id, QString(), CommandTool::Kind::Command, ToolRegistry::Checkable(id));
    return *tool;
}

void CommandBands::addBand(const CommandTable::BandDefinition& definition)
{
    using Kind = CommandTable::EntryDefinition::Kind;
    using Entry = CommandBand::Entry;
    auto band = std::make_unique<CommandBand>(QLatin1String(definition.name), definition.kind, definition.captionId, definition.visible);
    for (const CommandTable::EntryDefinition& entry : definition.entries) {
        switch (entry.kind) {
        case Kind::Tool:
        case Kind::ToolRange:
            for (int id = entry.first; id <= entry.last; ++id)
                band->AddEntry({Entry::Kind::Tool, &toolFor(id), QString()});
            break;
        case Kind::Separator: band->AddEntry({Entry::Kind::Separator, nullptr, QString()}); break;
        case Kind::Submenu: band->AddEntry({Entry::Kind::Submenu, nullptr, QLatin1String(entry.name)}); break;
        case Kind::NamedSeparator:
        case Kind::StatusText:
        case Kind::Progress: {
            auto& tool = m_namedTools.emplace_back(
                std::make_unique<CommandTool>(0, QLatin1String(entry.name), namedToolKind(entry.kind), false));
            const auto entryKind = entry.kind == Kind::NamedSeparator ? Entry::Kind::Separator : Entry::Kind::Tool;
            band->AddEntry({entryKind, tool.get(), QString()});
            break;
        }
        }
    }
    m_bands.push_back(std::move(band));
}

CommandBand* CommandBands::Band(const QString& name) const
{
    for (const auto& band : m_bands) {
        if (band->Name().compare(name, Qt::CaseInsensitive) == 0)
            return band.get();
    }
    return nullptr;
}

CommandTool* CommandBands::Tool(int id) const
{
    const auto found = m_tools.find(id);
    return found == m_tools.end() ? nullptr : found->second.get();
}

CommandTool* CommandBands::NamedTool(const QString& name) const
{
    for (const auto& tool : m_namedTools) {
        if (tool->Name() == name)
            return tool.get();
    }
    return nullptr;
}

std::vector<CommandBand*> CommandBands::Bands() const
{
    std::vector<CommandBand*> bands;
    for (const auto& band : m_bands)
        bands.push_back(band.get());
    return bands;
}

std::vector<CommandTool*> CommandBands::Tools() const
{
    std::vector<CommandTool*> tools;
    for (const auto& [id, tool] : m_tools)
        tools.push_back(tool.get());
    return tools;
}

void CommandBands::LoadResources()
{
    for (const auto& band : m_bands)
        band->LoadResources();
    for (const auto& [id, tool] : m_tools)
        tool->LoadResources();
}
