#include "app/CommandDispatcher.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "app/CModel.h"
#include "app/CView.h"
#include "app/CcFile.h"
#include "app/CcGettingStarted.h"
#include "app/CommandBand.h"
#include "app/CommandTable.h"
#include "base/IPrompt.h"
#include "base/ResourceStrings.h"
#include "lang/BlockLine.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <array>

namespace CommandDispatcher {
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

using Operation = void (*)(CView& view, int id);

struct Route {
    int first;
    int last;
    // Null while the operation belongs to later work.
    Operation operation;
};

CcFile& file()
{
    return gApp->Controller().File();
}

void message(int textId, PromptIcon icon = PromptIcon::Information)
{
    gApp->Prompt().MessageBox(LoadResString(textId), LoadResString(ProgramNameId), PromptButtons::Ok, icon);
}

void toggleBand(CView& view, int id)
{
    const QString name = CommandTable::ToggledBand(id);
    const CommandBand* band = view.Band(name);
    if (band && band->Visible())
        view.HideToolBar(name);
    else
        view.ShowToolBar(name);
}

void toggleLog(CView& view, int)
{
    const CommandBand* log = view.Band(QStringLiteral("barLog"));
    if (log && log->Visible())
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
    view.ArrangeWindows(arrangements.at(static_cast<std::size_t>(id - 601)));
}

void showHelp(CView& view, int id)
{
    const QString page = id == 701 ? QStringLiteral("index.html") : QStringLiteral("keywords.html");
    const QString path = QDir(HelpFolder()).filePath(page);
    if (!QFileInfo::exists(path)) {
        gApp->Prompt().MessageBox(LoadResString(HelpPageMissingId).arg(page, QDir::toNativeSeparators(HelpFolder())),
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

// In id order. Ids that share an operation share a row.
constexpr std::array Routes{
    Route{101, 101, [](CView&, int) { file().FileNew(); }},
    Route{102, 102, [](CView&, int) { file().FileOpen(); }},
    Route{103, 103, [](CView&, int) { file().FileClose(); }},
    Route{104, 104, [](CView&, int) { file().FileSave(); }},
    Route{105, 105, [](CView&, int) { file().FileSaveAs(); }},
    Route{106, 108, nullptr}, // printing, print preview, page setup
    Route{109, 109, [](CView&, int) { file().FileExit(); }},
    Route{110, 113, [](CView&, int id) { file().MRUFile(CommandTable::RecentFileIndex(id)); }},
    Route{114, 114, [](CView&, int) { file().ShowPropertiesForm(); }},
    Route{121, 122, nullptr}, // picture import, selector import
    Route{123, 123, [](CView&, int) { message(NotImplementedId); }},
    Route{131, 132, nullptr}, // picture export, selector export
    Route{133, 133, [](CView&, int) { message(NotImplementedId); }},
    Route{140, 155, [](CView&, int id) { file().MRUFile(CommandTable::RecentFileIndex(id)); }},
    Route{180, 181, nullptr}, // updating old Check and Command controls
    Route{182, 182, &removeFinishLink},
    Route{183, 183, nullptr}, // updating old !SORT actions
    Route{201, 211, nullptr}, // undo, clipboard, selection, find and replace
    Route{212, 214, nullptr}, // preferences, spell check
    Route{301, 304, &toggleBand},
    Route{305, 307, nullptr}, // project explorer, properties and thumbnail windows
    Route{308, 308, &toggleLog},
    Route{309, 314, nullptr}, // preview window, canvas tools, restore view, interface preview
    Route{320, 323, nullptr}, // zoom to a percentage
    Route{350, 351, nullptr}, // values windows of a test run
    Route{601, 604, &arrangeWindows},
    Route{701, 702, &showHelp},
    Route{703, 703, [](CView&, int) { message(HelpSearchNotProvidedId); }},
    Route{704, 704, [](CView&, int) { message(WhatsThisNotProvidedId); }},
    Route{705, 705, &showAbout},
    Route{901, 914, nullptr}, // selectors and their grid
    Route{1001, 1024, nullptr}, // diagram canvas tools and diagram commands
    Route{1101, 1155, nullptr}, // diagram grid, control type, link lines, control size
    Route{1301, 1301, nullptr}, // the decision-tree window
    Route{1302, 1303, nullptr}, // test run
    Route{1304, 1308, nullptr}, // pictures
    Route{1309, 1309, nullptr}, // test options
    Route{1320, 1324, nullptr}, // compilers, web and desktop settings, file type
    Route{1400, 1401, nullptr}, // action and control wizards
    Route{1402, 1402, [](CView&, int) { gApp->Controller().GettingStarted().StartWizard(); }},
};

const Route* routeOf(int id)
{
    const auto* route = std::find_if(Routes.cbegin(), Routes.cend(),
                                     [id](const Route& each) { return id >= each.first && id <= each.last; });
    return route == Routes.cend() ? nullptr : route;
}

} // namespace

bool Implemented(int id)
{
    const Route* route = routeOf(id);
    return route && route->operation;
}

void Run(CView& view, int id)
{
    const Route* route = routeOf(id);
    if (route && route->operation && gApp)
        route->operation(view, id);
}

QString HelpFolder()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/kestrova/help"));
}

} // namespace CommandDispatcher
