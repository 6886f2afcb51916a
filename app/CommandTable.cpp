#include "app/CommandTable.h"

#include "app/ToolId.h"

#include <algorithm>
#include <array>

namespace CommandTable {
namespace {

using K = CommandBand::Kind;
using E = EntryDefinition::Kind;

constexpr EntryDefinition Sep{E::Separator, 0, 0, nullptr};

constexpr EntryDefinition range(int first, int last)
{
    return {E::ToolRange, first, last, nullptr};
}

constexpr EntryDefinition submenu(const char* band)
{
    return {E::Submenu, 0, 0, band};
}

// The first entries of the recent-files list have tools 110 to 113; 114 is taken, so the rest
// go on at 140.
constexpr int FirstRecentTool = +ToolId::RecentFileFirst;
constexpr int EarlyRecentTools = +ToolId::RecentFileEarlyLast - FirstRecentTool + 1;
constexpr int LaterRecentTool = +ToolId::RecentFileLater;
constexpr int LastRecentTool = LaterRecentTool + RecentFileToolCount - EarlyRecentTools - 1;
static_assert(LastRecentTool == +ToolId::RecentFileLast);

struct Toggle {
    int toolId;
    const char* band;
};

constexpr std::array Toggles{
    Toggle{301, "barStandard"}, Toggle{302, "barDecisionTree"}, Toggle{303, "barCriteriaList"},
    Toggle{304, "sb"}, Toggle{305, "barProject"}, Toggle{306, "barProperties"},
    Toggle{307, "barThumbNail"}, Toggle{308, "barLog"}, Toggle{309, "barPreview"},
    Toggle{314, "barCtlPreview"}, Toggle{350, "barDecisionValues"}, Toggle{351, "barCLValues"},
    Toggle{+ToolId::ShowJourneys, "barJourneys"},
    Toggle{+ToolId::ShowOptionsEditor, "barOptions"},
    Toggle{+ToolId::ShowOutline, "barOutline"},
};

} // namespace

const std::vector<BandDefinition>& Bands()
{
    static const std::vector<BandDefinition> bands{
        {"mnuFile", K::Menu, 30201, true,
         {101, 102, 103, Sep, 104, 105, Sep, submenu("mnuImport"), submenu("mnuExport"), submenu("mnuUpdate"), Sep,
          106, 107, 108, Sep, 114, {E::NamedSeparator, 0, 0, "miFMRUSep"}, submenu("mnuRecent"), Sep, 109}},
        {"mnuEdit", K::Menu, 30202, true,
         {201, 202, Sep, 203, 204, 205, 206, Sep, 207, 208, Sep, 209, 210, 211, Sep, 213, 214, Sep, 212}},
        {"mnuView", K::Menu, 30203, true,
         {301, 302, 303, 304, Sep, 305, 306, +ToolId::ShowOptionsEditor, 307, 308, 309, 314,
          +ToolId::ShowOutline, +ToolId::GoToControl, Sep, 350, 351,
          +ToolId::ShowJourneys, Sep, 310, 311, 312, 313,
          submenu("mnuZoom")}},
        {"mnuProject", K::Menu, 30205, true,
         {1301, Sep, 901, 902, 903, 912, Sep, range(1304, 1308), Sep, 1303, 1302, 1309, +ToolId::RecordJourney, +ToolId::RunAllJourneys, Sep, submenu("mnuCompile"),
          Sep, 1400, 1401, 1402}},
        // The menus of the decision-tree and selector windows join the bar while their window is active.
        {"mnuDecisionTree", K::Menu, 30206, false,
         {range(1001, 1010), Sep, 1020, 1021, 1022, 1023, 1024, +ToolId::EditOptionsAndActions, Sep, 1101, 1102, Sep,
          submenu("mnuControls"),
          submenu("mnuDTSize"), Sep, 1150, 1151, 1152}},
        {"mnuCriteriaListMain", K::Menu, 30211, false, {904, 905, 906, Sep, 907, 908, Sep, 912, 913, 914}},
        {"mnuWindow", K::Menu, 30214, true, {601, 602, 603, 604}},
        {"mnuHelp", K::Menu, 30215, true, {701, 702, 703, 704, Sep, 705}},

        {"mnuImport", K::Submenu, 30217, true, {121, 122, 123}},
        {"mnuExport", K::Submenu, 30218, true, {131, 132, 133}},
        {"mnuUpdate", K::Submenu, 30219, true, {180, 181, 182, 183}},
        // Shown once the list has an entry.
        {"mnuRecent", K::Submenu, 30216, false,
         {range(FirstRecentTool, FirstRecentTool + EarlyRecentTools - 1), range(LaterRecentTool, LastRecentTool)}},
        {"mnuZoom", K::Submenu, 30204, true, {320, 321, 322, 323}},
        {"mnuCompile", K::Submenu, 30209, true, {1320, 1321, Sep, 1323, 1322, 1324}},
        {"mnuControls", K::Submenu, 30208, true, {range(1130, 1145)}},
        {"mnuDTSize", K::Submenu, 30210, true, {1153, 1154, 1155}},

        {"mnuCriteria", K::Popup, 30207, true, {904, 905, 906, Sep, 907, 908}},
        {"mnuProjCLPopup", K::Popup, 30212, true, {901, 902, 903, 912, Sep, 913, 914}},
        {"mnuDTEntityPopup", K::Popup, 30213, true,
         {+ToolId::EditOptionsAndActions, Sep, 203, 204, 205, Sep, 1022, Sep, 1023, 1024}},

        {"barStandard", K::ToolBar, 30230, true,
         {101, 102, 104, Sep, 106, Sep, 203, 204, 205, Sep, 201, 202, Sep, 209, Sep, 1303, 1302, Sep, 701}},
        // Their windows show these; they are not part of a saved arrangement.
        {"barDecisionTree", K::ToolBar, 30231, false, {range(1001, 1010), Sep, 1020, 1021, Sep, 1101, 1102}},
        {"barCriteriaList", K::ToolBar, 30232, false, {901, 902, 903, Sep, 905, 906, 907, 908, Sep, 913, 914}},

        {"barProject", K::DockWindow, 30238, false, {}},
        {"barProperties", K::DockWindow, 30239, false, {}},
        {"barThumbNail", K::DockWindow, 30233, false, {}},
        {"barPreview", K::DockWindow, 30234, false, {}},
        {"barCtlPreview", K::DockWindow, 30240, false, {}},
        {"barLog", K::DockWindow, 30235, true, {}},
        {"barFind", K::DockWindow, 30236, false, {}},
        {"barDecisionValues", K::DockWindow, 30241, false, {}},
        {"barCLValues", K::DockWindow, 30242, false, {}},
        {"barJourneys", K::DockWindow, 33004, false, {}},
        {"barOptions", K::DockWindow, 33551, false, {}},
        {"barOutline", K::DockWindow, 34202, false, {}},

        {"sb", K::StatusBar, 30237, true,
         {{E::StatusText, 0, 0, "miStatus"}, {E::Progress, 0, 0, "ccrpProgress1"}}},
    };
    return bands;
}

QString ToggledBand(int toolId)
{
    const auto* toggle = std::find_if(Toggles.cbegin(), Toggles.cend(),
                                      [toolId](const Toggle& each) { return each.toolId == toolId; });
    return toggle == Toggles.cend() ? QString() : QLatin1String(toggle->band);
}

int RecentFileToolId(int index)
{
    if (index < 1 || index > RecentFileToolCount)
        return 0;
    if (index <= EarlyRecentTools)
        return FirstRecentTool + index - 1;
    return LaterRecentTool + index - EarlyRecentTools - 1;
}

int RecentFileIndex(int toolId)
{
    if (toolId >= FirstRecentTool && toolId < FirstRecentTool + EarlyRecentTools)
        return toolId - FirstRecentTool + 1;
    if (toolId >= LaterRecentTool && toolId <= LastRecentTool)
        return toolId - LaterRecentTool + EarlyRecentTools + 1;
    return 0;
}

} // namespace CommandTable
