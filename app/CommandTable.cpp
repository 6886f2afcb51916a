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
    Toggle{+ToolId::ShowStandardBar, "barStandard"}, Toggle{+ToolId::ShowDecisionTreeBar, "barDecisionTree"},
    Toggle{+ToolId::ShowSelectorBar, "barCriteriaList"},
    Toggle{+ToolId::ShowStatusBar, "sb"}, Toggle{+ToolId::ShowProjectExplorer, "barProject"},
    Toggle{+ToolId::ShowProperties, "barProperties"},
    Toggle{+ToolId::ShowThumbNail, "barThumbNail"}, Toggle{+ToolId::ShowLog, "barLog"}, Toggle{+ToolId::ShowPreview,
    "barPreview"},
    Toggle{+ToolId::ShowControlPreview, "barCtlPreview"}, Toggle{+ToolId::ShowDecisionValues, "barDecisionValues"},
    Toggle{+ToolId::ShowSelectorValues, "barCLValues"},
    Toggle{+ToolId::ShowJourneys, "barJourneys"},
    Toggle{+ToolId::ShowOptionsEditor, "barOptions"},
    Toggle{+ToolId::ShowOutline, "barOutline"},
    Toggle{+ToolId::ShowProblems, "barProblems"},
};

} // namespace

const std::vector<BandDefinition>& Bands()
{
    static const std::vector<BandDefinition> bands{
        {"mnuFile", K::Menu, 30201, true,
         {+ToolId::FileNew, +ToolId::FileOpen, +ToolId::FileClose, Sep, +ToolId::FileSave, +ToolId::FileSaveAs,
          +ToolId::CompareWith, Sep,
          submenu("mnuImport"), submenu("mnuExport"), submenu("mnuUpdate"), Sep,
          +ToolId::Print, +ToolId::PrintPreview, +ToolId::PageSetup, Sep, +ToolId::FileProperties, {E::NamedSeparator,
          0, 0, "miFMRUSep"}, submenu("mnuRecent"), Sep, +ToolId::Exit}},
        {"mnuEdit", K::Menu, 30202, true,
         {+ToolId::Undo, +ToolId::Redo, Sep, +ToolId::Cut, +ToolId::Copy, +ToolId::Paste, +ToolId::Clear, Sep,
          +ToolId::SelectAll, +ToolId::DeselectAll, Sep, +ToolId::Find, +ToolId::FindNext, +ToolId::Replace, Sep,
          +ToolId::SpellCheck, +ToolId::SpellCheckSelected, Sep, +ToolId::Preferences}},
        {"mnuView", K::Menu, 30203, true,
         {+ToolId::ShowStandardBar, +ToolId::ShowDecisionTreeBar, +ToolId::ShowSelectorBar, +ToolId::ShowStatusBar,
          Sep, +ToolId::ShowProjectExplorer, +ToolId::ShowProperties, +ToolId::ShowOptionsEditor,
          +ToolId::ShowThumbNail, +ToolId::ShowLog, +ToolId::ShowPreview, +ToolId::ShowControlPreview,
          +ToolId::ShowOutline, +ToolId::GoToControl, +ToolId::ShowProblems, Sep, +ToolId::ShowDecisionValues, +ToolId::ShowSelectorValues,
          +ToolId::ShowJourneys, Sep, +ToolId::PanScreen, +ToolId::ViewZoomIn, +ToolId::ViewZoomOut,
          +ToolId::RestoreView,
          submenu("mnuZoom")}},
        {"mnuProject", K::Menu, 30205, true,
         {+ToolId::OpenDecisionTree, Sep, +ToolId::NewSelector, +ToolId::EditSelector, +ToolId::DeleteSelector,
          +ToolId::RenameSelector, Sep, range(+ToolId::ImportPictureIntoProject, +ToolId::RenamePicture), Sep,
          +ToolId::Run, +ToolId::Stop, +ToolId::TestOptions, +ToolId::RecordJourney, +ToolId::RunAllJourneys,
          +ToolId::PreviewInBrowser, Sep,
          +ToolId::CheckTree, submenu("mnuCompile"),
          Sep, +ToolId::ActionWizard, +ToolId::ControlWizard, +ToolId::GettingStartedWizard}},
        // The menus of the decision-tree and selector windows join the bar while their window is active.
        {"mnuDecisionTree", K::Menu, 30206, false,
         {range(+ToolId::SelectControl, +ToolId::DrawControl), +ToolId::RemoveLink, +ToolId::AddLink, +ToolId::MultiSelect,
          Sep, +ToolId::RestorePreviousView, +ToolId::ZoomExtents,
          +ToolId::DeleteControl, +ToolId::RunFromControl, +ToolId::AddNewControl, +ToolId::EditOptionsAndActions, Sep,
          +ToolId::ShowGridLines, +ToolId::SnapToGrid, Sep,
          submenu("mnuControls"),
          submenu("mnuDTSize"), Sep, +ToolId::StraightLines, +ToolId::OrthogonalHorizontalLines,
          +ToolId::OrthogonalVerticalLines}},
        {"mnuCriteriaListMain", K::Menu, 30211, false, {+ToolId::RenameProperty, +ToolId::InsertProperty,
         +ToolId::DeleteProperty, Sep, +ToolId::InsertItem, +ToolId::DeleteItem, Sep, +ToolId::RenameSelector,
         +ToolId::ImportSelectorIntoGrid, +ToolId::ExportSelectorFromGrid}},
        {"mnuWindow", K::Menu, 30214, true, {+ToolId::TileHorizontally, +ToolId::TileVertically, +ToolId::Cascade,
         +ToolId::ArrangeIcons}},
        {"mnuHelp", K::Menu, 30215, true, {+ToolId::HelpContents, +ToolId::HelpIndex, +ToolId::HelpSearch,
         +ToolId::WhatsThis, Sep, +ToolId::About}},

        {"mnuImport", K::Submenu, 30217, true, {+ToolId::ImportPicture, +ToolId::ImportSelector,
         +ToolId::ImportDecisionTree}},
        {"mnuExport", K::Submenu, 30218, true, {+ToolId::ExportPicture, +ToolId::ExportSelector,
         +ToolId::ExportDecisionTree}},
        {"mnuUpdate", K::Submenu, 30219, true, {+ToolId::UpdateCheckControls, +ToolId::UpdateCommandControls,
         +ToolId::DeleteFinishLink, +ToolId::UpdateSortOrder}},
        // Shown once the list has an entry.
        {"mnuRecent", K::Submenu, 30216, false,
         {range(FirstRecentTool, FirstRecentTool + EarlyRecentTools - 1), range(LaterRecentTool, LastRecentTool)}},
        {"mnuZoom", K::Submenu, 30204, true, {+ToolId::Zoom25, +ToolId::Zoom50, +ToolId::Zoom75, +ToolId::Zoom100}},
        {"mnuCompile", K::Submenu, 30209, true, {+ToolId::CompileDesktop, +ToolId::CompileWeb, Sep, +ToolId::FileType,
         +ToolId::WebSettings, +ToolId::DesktopSettings}},
        {"mnuControls", K::Submenu, 30208, true, {range(+ToolId::ControlTypeFirst, +ToolId::ControlTypeLast)}},
        {"mnuDTSize", K::Submenu, 30210, true, {+ToolId::SizeSmall, +ToolId::SizeMedium, +ToolId::SizeLarge}},

        {"mnuCriteria", K::Popup, 30207, true, {+ToolId::RenameProperty, +ToolId::InsertProperty,
         +ToolId::DeleteProperty, Sep, +ToolId::InsertItem, +ToolId::DeleteItem}},
        {"mnuProjCLPopup", K::Popup, 30212, true, {+ToolId::NewSelector, +ToolId::EditSelector,
         +ToolId::DeleteSelector, +ToolId::RenameSelector, Sep, +ToolId::ImportSelectorIntoGrid,
         +ToolId::ExportSelectorFromGrid}},
        {"mnuDTEntityPopup", K::Popup, 30213, true,
         {+ToolId::EditOptionsAndActions, Sep, +ToolId::Cut, +ToolId::Copy, +ToolId::Paste, Sep,
          +ToolId::DeleteControl, Sep, +ToolId::RunFromControl, +ToolId::AddNewControl}},

        {"barStandard", K::ToolBar, 30230, true,
         {+ToolId::FileNew, +ToolId::FileOpen, +ToolId::FileSave, Sep, +ToolId::Print, Sep, +ToolId::Cut,
          +ToolId::Copy, +ToolId::Paste, Sep, +ToolId::Undo, +ToolId::Redo, Sep, +ToolId::Find, Sep, +ToolId::Run,
          +ToolId::Stop, Sep, +ToolId::HelpContents}},
        // Their windows show these; they are not part of a saved arrangement.
        // Draw Group has no operation: it is left out rather than shown dead.
        {"barDecisionTree", K::ToolBar, 30231, false, {range(+ToolId::SelectControl, +ToolId::DrawControl),
         +ToolId::RemoveLink, +ToolId::AddLink, +ToolId::MultiSelect, Sep,
         +ToolId::RestorePreviousView, +ToolId::ZoomExtents, Sep, +ToolId::ShowGridLines, +ToolId::SnapToGrid}},
        {"barCriteriaList", K::ToolBar, 30232, false, {+ToolId::NewSelector, +ToolId::EditSelector,
         +ToolId::DeleteSelector, Sep, +ToolId::InsertProperty, +ToolId::DeleteProperty, +ToolId::InsertItem,
         +ToolId::DeleteItem, Sep, +ToolId::ImportSelectorIntoGrid, +ToolId::ExportSelectorFromGrid}},

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
        {"barProblems", K::DockWindow, 34602, false, {}},

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
