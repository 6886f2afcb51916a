#pragma once

#include "app/CommandBand.h"

#include <QString>

#include <vector>

// Which bands the program has and which tools each one shows, in order: the one place that says
// where a command appears. What a command does is the dispatcher's business.
namespace CommandTable {

struct EntryDefinition {
    enum class Kind { Tool, ToolRange, Separator, NamedSeparator, Submenu, StatusText, Progress };
    Kind kind = Kind::Tool;
    int first = 0;
    int last = 0;
    const char* name = nullptr;

    // A plain number in a band's list is the tool of that id.
    constexpr EntryDefinition(int id) : first(id), last(id) {}
    constexpr EntryDefinition(Kind entryKind, int firstId, int lastId, const char* entryName)
        : kind(entryKind), first(firstId), last(lastId), name(entryName)
    {
    }
};

struct BandDefinition {
    const char* name;
    CommandBand::Kind kind;
    int captionId;
    bool visible;
    std::vector<EntryDefinition> entries;
};

// Menus first, in menu-bar order, then submenus, popups, toolbars, docked windows, status bar.
const std::vector<BandDefinition>& Bands();

// The band a View-menu toggle shows and hides; empty for any other tool.
QString ToggledBand(int toolId);

// The recent-files list is shown by tools 110 to 113 and, past the fourth entry, 140 onwards.
inline constexpr int RecentFileToolCount = 20;
// Counted from 1; 0 outside the list.
int RecentFileToolId(int index);
// 0 when the tool does not show a recent file.
int RecentFileIndex(int toolId);

} // namespace CommandTable
