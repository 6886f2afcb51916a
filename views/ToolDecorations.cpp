#include "views/ToolDecorations.h"

#include "app/ToolId.h"

#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <array>

namespace {

using T = ToolId;

struct Look {
    ToolId toolId;
    // The freedesktop name; null when the theme has no name for the command.
    const char* themeName;
    // Our drawing under :/icons/; null for tools that appear in menus only.
    const char* bundled;
};

constexpr std::array Looks{
    Look{T::FileNew, "document-new", "new"},
    Look{T::FileOpen, "document-open", "open"},
    Look{T::FileSave, "document-save", "save"},
    Look{T::FileSaveAs, "document-save-as", nullptr},
    Look{T::Print, "document-print", "print"},
    Look{T::PrintPreview, "document-print-preview", nullptr},
    Look{T::PageSetup, "document-page-setup", nullptr},
    Look{T::Exit, "application-exit", nullptr},
    Look{T::FileProperties, "document-properties", nullptr},
    Look{T::Undo, "edit-undo", "undo"},
    Look{T::Redo, "edit-redo", "redo"},
    Look{T::Cut, "edit-cut", "cut"},
    Look{T::Copy, "edit-copy", "copy"},
    Look{T::Paste, "edit-paste", "paste"},
    Look{T::Clear, "edit-delete", nullptr},
    Look{T::SelectAll, "edit-select-all", nullptr},
    Look{T::Find, "edit-find", "find"},
    Look{T::Replace, "edit-find-replace", nullptr},
    Look{T::Preferences, "preferences-system", nullptr},
    Look{T::SpellCheck, "tools-check-spelling", nullptr},
    Look{T::PanScreen, nullptr, "pan"},
    Look{T::ViewZoomIn, "zoom-in", "zoom-in"},
    Look{T::ViewZoomOut, "zoom-out", "zoom-out"},
    Look{T::RestoreView, nullptr, "restore-view"},
    Look{T::Zoom100, "zoom-original", nullptr},
    Look{T::HelpContents, "help-contents", "help"},
    Look{T::About, "help-about", nullptr},
    Look{T::NewSelector, nullptr, "selector-new"},
    Look{T::EditSelector, nullptr, "selector-edit"},
    Look{T::DeleteSelector, nullptr, "selector-delete"},
    Look{T::InsertProperty, nullptr, "property-insert"},
    Look{T::DeleteProperty, nullptr, "property-delete"},
    Look{T::InsertItem, nullptr, "item-insert"},
    Look{T::DeleteItem, nullptr, "item-delete"},
    Look{T::ImportSelectorIntoGrid, nullptr, "import"},
    Look{T::ExportSelectorFromGrid, nullptr, "export"},
    Look{T::SelectControl, nullptr, "select"},
    Look{T::Pan, nullptr, "pan"},
    Look{T::ZoomIn, "zoom-in", "zoom-in"},
    Look{T::ZoomOut, "zoom-out", "zoom-out"},
    Look{T::ZoomWindow, nullptr, "zoom-window"},
    Look{T::DrawControl, nullptr, "draw-control"},
    Look{T::DrawGroup, nullptr, "draw-group"},
    Look{T::RemoveLink, nullptr, "remove-link"},
    Look{T::AddLink, nullptr, "add-link"},
    Look{T::MultiSelect, nullptr, "multiselect"},
    Look{T::RestorePreviousView, nullptr, "restore-view"},
    Look{T::ZoomExtents, "zoom-fit-best", "zoom-extents"},
    Look{T::DeleteControl, "edit-delete", nullptr},
    Look{T::ShowGridLines, nullptr, "grid"},
    Look{T::SnapToGrid, nullptr, "snap"},
    Look{T::Stop, "media-playback-stop", "stop"},
    Look{T::Run, "media-playback-start", "run"},
    Look{T::ImportPictureIntoProject, "insert-image", nullptr},
};

struct Keys {
    ToolId toolId;
    QKeySequence::StandardKey standard;
    // Given first, so the menu shows it whatever the desktop's own binding is.
    QKeyCombination preferred;
};

constexpr QKeyCombination NoKey{};

const std::array KeyTable{
    Keys{T::FileNew, QKeySequence::New, NoKey},
    Keys{T::FileOpen, QKeySequence::Open, NoKey},
    Keys{T::FileSave, QKeySequence::Save, NoKey},
    Keys{T::FileSaveAs, QKeySequence::SaveAs, NoKey},
    Keys{T::Print, QKeySequence::Print, NoKey},
    Keys{T::Exit, QKeySequence::Quit, NoKey},
    Keys{T::Undo, QKeySequence::Undo, Qt::CTRL | Qt::Key_Z},
    Keys{T::Redo, QKeySequence::Redo, Qt::CTRL | Qt::Key_Y},
    Keys{T::Cut, QKeySequence::Cut, Qt::CTRL | Qt::Key_X},
    Keys{T::Copy, QKeySequence::Copy, Qt::CTRL | Qt::Key_C},
    Keys{T::Paste, QKeySequence::Paste, Qt::CTRL | Qt::Key_V},
    Keys{T::Clear, QKeySequence::Delete, Qt::Key_Delete},
    Keys{T::SelectAll, QKeySequence::SelectAll, NoKey},
    Keys{T::Find, QKeySequence::Find, Qt::CTRL | Qt::Key_F},
    Keys{T::FindNext, QKeySequence::FindNext, Qt::Key_F3},
    Keys{T::Replace, QKeySequence::Replace, Qt::CTRL | Qt::Key_H},
    Keys{T::HelpContents, QKeySequence::HelpContents, NoKey},
    Keys{T::Stop, QKeySequence::UnknownKey, Qt::SHIFT | Qt::Key_F5},
    Keys{T::Run, QKeySequence::UnknownKey, Qt::Key_F5},
    Keys{T::GoToControl, QKeySequence::UnknownKey, Qt::CTRL | Qt::SHIFT | Qt::Key_O},
    Keys{T::CheckTree, QKeySequence::UnknownKey, Qt::Key_F7},
};

} // namespace

QIcon ToolDecorations::Icon(int toolId)
{
    const auto* look = std::find_if(Looks.cbegin(), Looks.cend(), [toolId](const Look& each) { return +each.toolId == toolId; });
    if (look == Looks.cend())
        return {};
    // Without Qt's SVG plugin our drawings would show as empty buttons; the caption is better.
    static const bool svgReadable = QImageReader::supportedImageFormats().contains("svg");
    QIcon bundled;
    if (look->bundled && svgReadable) {
        const QString path = QStringLiteral(":/icons/%1.svg").arg(QLatin1String(look->bundled));
        if (QFile::exists(path))
            bundled = QIcon(path);
    }
    if (!look->themeName)
        return bundled;
    return QIcon::fromTheme(QLatin1String(look->themeName), bundled);
}

QIcon ToolDecorations::ProgramIcon()
{
    return QIcon::fromTheme(QStringLiteral("kestrova-designer"), QIcon(QStringLiteral(":/desktop/kestrova-designer.svg")));
}

QList<QKeySequence> ToolDecorations::Shortcuts(int toolId)
{
    const auto* keys = std::find_if(KeyTable.cbegin(), KeyTable.cend(), [toolId](const Keys& each) { return +each.toolId == toolId; });
    if (keys == KeyTable.cend())
        return {};
    QList<QKeySequence> sequences;
    if (keys->preferred != NoKey)
        sequences.append(QKeySequence(keys->preferred));
    if (keys->standard != QKeySequence::UnknownKey) {
        for (const QKeySequence& sequence : QKeySequence::keyBindings(keys->standard)) {
            if (!sequences.contains(sequence))
                sequences.append(sequence);
        }
    }
    return sequences;
}
