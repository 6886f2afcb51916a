#include "app/ToolRegistry.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "app/CcFile.h"
#include "app/CcGettingStarted.h"
#include "app/CommandBand.h"
#include "app/CommandDispatcher.h"
#include "app/CommandTable.h"
#include "project/CvProject.h"
#include "base/IPrompt.h"
#include "base/ResourceStrings.h"
#include "lang/BlockLine.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/MDecisionDataUtil.h"
#include "edit/CcEdit.h"
#include "edit/MUpdateUtil.h"
#include "pictures/CcPictures.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <array>

namespace ToolRegistry {
namespace {

constexpr int ProgramNameId = 30000;
constexpr int MakerNameId = 44;
constexpr int VersionCaptionId = 49;
constexpr int NotImplementedId = 30260;
constexpr int HelpSearchNotProvidedId = 30261;
constexpr int WhatsThisNotProvidedId = 30262;
constexpr int AboutTextId = 30263;
constexpr int AboutTitleId = 30264;
constexpr int HelpPageMissingId = 30265;
constexpr int FinishLinkRemovedId = 30267;

using T = ToolId;

CcFile& file()
{
    return gApp->Controller().File();
}

void message(int textId, PromptIcon icon = PromptIcon::Information)
{
    gApp->Prompt().MessageBox(LoadResString(textId), LoadResString(ProgramNameId), PromptButtons::Ok, icon);
}

bool bandShown(const CView& view, int id)
{
    const CommandBand* band = view.Band(CommandTable::ToggledBand(id));
    return band && band->Visible();
}

void toggleBand(CView& view, int id)
{
    const QString name = CommandTable::ToggledBand(id);
    if (bandShown(view, id))
        view.HideToolBar(name);
    else
        view.ShowToolBar(name);
}

void toggleLog(CView& view, int id)
{
    if (bandShown(view, id))
        view.HideLog();
    else
        view.ShowLog();
}

void removeFinishLink(CView&, int)
{
    // An absent FinishLink is a failure of the removal, reported there; nothing is announced.
    if (gApp->Model().Decisions().Remove(QString(BlockLine::FinishLink)))
        message(FinishLinkRemovedId);
}

void arrangeWindows(CView& view, int id)
{
    using Arrangement = CView::WindowArrangement;
    constexpr std::array arrangements{Arrangement::TileHorizontally, Arrangement::TileVertically,
                                      Arrangement::Cascade, Arrangement::ArrangeIcons};
    view.ArrangeWindows(arrangements.at(static_cast<std::size_t>(id - +T::TileHorizontally)));
}

void showHelp(CView& view, int id)
{
    const QString page = id == +T::HelpContents ? QStringLiteral("index.html") : QStringLiteral("keywords.html");
    const QString folder = CommandDispatcher::HelpFolder();
    const QString path = QDir(folder).filePath(page);
    if (!QFileInfo::exists(path)) {
        gApp->Prompt().MessageBox(LoadResString(HelpPageMissingId).arg(page, QDir::toNativeSeparators(folder)),
                                  LoadResString(ProgramNameId), PromptButtons::Ok, PromptIcon::Exclamation);
        return;
    }
    view.ShowHelpPage(path);
}

void showAbout(CView&, int)
{
    const QString version = QStringLiteral("%1.%2.%3").arg(KV_VERSION_MAJOR).arg(KV_VERSION_MINOR).arg(KV_VERSION_PATCH);
    const QString text = LoadResString(AboutTextId)
                             .arg(LoadResString(ProgramNameId), LoadResString(VersionCaptionId), version,
                                  LoadResString(MakerNameId));
    gApp->Prompt().MessageBox(text, LoadResString(AboutTitleId), PromptButtons::Ok, PromptIcon::Information);
}

void openRecentFile(CView&, int id)
{
    file().MRUFile(CommandTable::RecentFileIndex(id));
}

bool recentFileListed(const CView& view, int id)
{
    return CommandTable::RecentFileIndex(id) <= view.RecentFileCount();
}

bool canUndo(const CView& view, int)
{
    return view.UndoCount() >= 1;
}

bool canRedo(const CView& view, int)
{
    return view.RedoCount() >= 1;
}

bool hasPictures(const CView& view, int)
{
    return view.Project().PicturesCount() != 0;
}

const QString DiagramWindowName = QStringLiteral("frmDecisionTree");

bool windowAllows(const CView& view, int id)
{
    return view.WindowToolAllowed(id);
}

void runInWindow(CView& view, int id)
{
    view.RunWindowTool(id);
}

// A command that a window carries out (the diagram, the selector grid), enabled while one allows it.
Row window(T first, T last, bool checkable = false)
{
    return {first, last, &runInWindow, &windowAllows, nullptr, checkable};
}

void updateControls(CView&, int id)
{
    using namespace MDecisionDataUtil;
    const qint16 type = id == +T::UpdateCheckControls ? qint16(Check) : qint16(Command);
    MUpdateUtil::UpdateControlsCommand(gApp->Model().Decisions(), type, gApp->Prompt());
}

CcPictures& pictures()
{
    return gApp->Controller().Pictures();
}

CcEdit& edit()
{
    return gApp->Controller().Edit();
}

void showFindBar(CView& view, int)
{
    view.ShowToolBar(QStringLiteral("barFind"));
    edit().Find();
}

Row runs(T first, T last, Operation operation)
{
    return {first, last, operation, nullptr, nullptr, false};
}

Row toggles(T first, T last, Operation operation)
{
    return {first, last, operation, nullptr, &bandShown, true};
}

std::vector<Row> buildRows()
{
    return {
        runs(T::FileNew, T::FileNew, [](CView&, int) { file().FileNew(); }),
        runs(T::FileOpen, T::FileOpen, [](CView&, int) { file().FileOpen(); }),
        runs(T::FileClose, T::FileClose, [](CView&, int) { file().FileClose(); }),
        runs(T::FileSave, T::FileSave, [](CView&, int) { file().FileSave(); }),
        runs(T::FileSaveAs, T::FileSaveAs, [](CView&, int) { file().FileSaveAs(); }),
        window(T::Print, T::PageSetup),
        runs(T::Exit, T::Exit, [](CView&, int) { file().FileExit(); }),
        {T::RecentFileFirst, T::RecentFileEarlyLast, &openRecentFile, &recentFileListed},
        runs(T::FileProperties, T::FileProperties, [](CView&, int) { file().ShowPropertiesForm(); }),
        runs(T::ImportPicture, T::ImportPicture, [](CView&, int) { pictures().ImportPicture(); }),
        window(T::ImportSelector, T::ImportSelector),
        runs(T::ImportDecisionTree, T::ImportDecisionTree, [](CView&, int) { message(NotImplementedId); }),
        {T::ExportPicture, T::ExportPicture, [](CView&, int) { pictures().ExportPicture(); }, &hasPictures},
        window(T::ExportSelector, T::ExportSelector),
        runs(T::ExportDecisionTree, T::ExportDecisionTree, [](CView&, int) { message(NotImplementedId); }),
        {T::RecentFileLater, T::RecentFileLast, &openRecentFile, &recentFileListed},
        runs(T::UpdateCheckControls, T::UpdateCommandControls, &updateControls),
        runs(T::DeleteFinishLink, T::DeleteFinishLink, &removeFinishLink),
        runs(T::UpdateSortOrder, T::UpdateSortOrder,
             [](CView&, int) { MUpdateUtil::UpdateSortOrder(gApp->Model().Decisions(), gApp->Prompt()); }),
        {T::Undo, T::Undo, [](CView&, int) { edit().UndoCommand(); }, &canUndo},
        {T::Redo, T::Redo, [](CView&, int) { edit().RedoCommand(); }, &canRedo},
        window(T::Cut, T::Clear),
        window(T::SelectAll, T::DeselectAll),
        runs(T::Find, T::Find, &showFindBar),
        runs(T::FindNext, T::FindNext, [](CView&, int) { edit().FindNext(); }),
        runs(T::Replace, T::Replace, &showFindBar),
        window(T::Preferences, T::Preferences),
        window(T::SpellCheck, T::SpellCheckSelected),
        toggles(T::ShowStandardBar, T::ShowStatusBar, &toggleBand),
        toggles(T::ShowProjectExplorer, T::ShowProperties, &toggleBand),
        toggles(T::ShowThumbNail, T::ShowThumbNail, &toggleBand),
        toggles(T::ShowLog, T::ShowLog, &toggleLog),
        toggles(T::ShowPreview, T::ShowPreview, &toggleBand),
        window(T::PanScreen, T::ViewZoomOut, true),
        window(T::RestoreView, T::RestoreView),
        toggles(T::ShowControlPreview, T::ShowControlPreview, &toggleBand),
        window(T::Zoom25, T::Zoom100),
        toggles(T::ShowDecisionValues, T::ShowSelectorValues, &toggleBand),
        runs(T::TileHorizontally, T::ArrangeIcons, &arrangeWindows),
        runs(T::HelpContents, T::HelpIndex, &showHelp),
        runs(T::HelpSearch, T::HelpSearch, [](CView&, int) { message(HelpSearchNotProvidedId); }),
        runs(T::WhatsThis, T::WhatsThis, [](CView&, int) { message(WhatsThisNotProvidedId); }),
        runs(T::About, T::About, &showAbout),
        window(T::NewSelector, T::ExportSelectorFromGrid),
        window(T::SelectControl, T::DrawControl, true),
        // Draw Group has no operation: it is not registered, so no menu or bar shows it dead.
        window(T::RemoveLink, T::RemoveLink),
        window(T::AddLink, T::MultiSelect, true),
        window(T::RestorePreviousView, T::DeleteControl),
        window(T::RunFromControl, T::RunFromControl),
        window(T::AddNewControl, T::AddNewControl),
        window(T::ShowGridLines, T::SnapToGrid, true),
        window(T::ControlTypeFirst, T::ControlTypeLast, true),
        window(T::StraightLines, T::SizeLarge, true),
        runs(T::OpenDecisionTree, T::OpenDecisionTree, [](CView& view, int) { view.RequestWindow(DiagramWindowName); }),
        window(T::Stop, T::Stop),
        window(T::Run, T::Run),
        runs(T::ImportPictureIntoProject, T::ImportPictureIntoProject, [](CView&, int) { pictures().ImportPicture(); }),
        // The picture's window is the Designer's; the project decides when there is one to show.
        {T::ViewPicture, T::ViewPicture, &runInWindow, &hasPictures},
        {T::RemovePicture, T::RemovePicture, [](CView&, int) { pictures().RemovePicture(); }, &hasPictures},
        {T::ExportPictureFromProject, T::ExportPictureFromProject, [](CView&, int) { pictures().ExportPicture(); },
         &hasPictures},
        {T::RenamePicture, T::RenamePicture, [](CView&, int) { pictures().RenamePicture(); }, &hasPictures},
        window(T::TestOptions, T::TestOptions),
        window(T::CompileDesktop, T::DesktopSettings),
        window(T::ActionWizard, T::ControlWizard),
        runs(T::GettingStartedWizard, T::GettingStartedWizard,
             [](CView&, int) { gApp->Controller().GettingStarted().StartWizard(); }),
        window(T::RecordJourney, T::RecordJourney),
        toggles(T::ShowJourneys, T::ShowJourneys, &toggleBand),
        window(T::RunAllJourneys, T::RunAllJourneys),
        window(T::EditOptionsAndActions, T::EditOptionsAndActions),
        toggles(T::ShowOptionsEditor, T::ShowOptionsEditor, &toggleBand),
        toggles(T::ShowOutline, T::ShowOutline, &toggleBand),
        window(T::GoToControl, T::GoToControl),
        toggles(T::ShowProblems, T::ShowProblems, &toggleBand),
        window(T::CheckTree, T::CheckTree),
        window(T::CompareWith, T::PreviewInBrowser),
    };
}

} // namespace

const std::vector<Row>& Rows()
{
    static const std::vector<Row> rows = buildRows();
    return rows;
}

const Row* Find(int id)
{
    const std::vector<Row>& rows = Rows();
    const auto row = std::lower_bound(rows.cbegin(), rows.cend(), id,
                                      [](const Row& each, int wanted) { return +each.last < wanted; });
    return row != rows.cend() && row->holds(id) ? &*row : nullptr;
}

bool Implemented(int id)
{
    const Row* row = Find(id);
    return row && row->run;
}

bool Checkable(int id)
{
    const Row* row = Find(id);
    return row && row->checkable;
}

int CaptionId(int id)
{
    constexpr int FirstControlTypeCaptionId = 33300;
    if (id >= +ToolId::ControlTypeFirst && id <= +ToolId::ControlTypeLast)
        return FirstControlTypeCaptionId + id - +ToolId::ControlTypeFirst;
    return id;
}

} // namespace ToolRegistry
