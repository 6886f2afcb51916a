#include "views/ToolDecorations.h"

#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <array>

namespace {

struct Look {
    int toolId;
    // The freedesktop name; null when the theme has no name for the command.
    const char* themeName;
    // Our drawing under :/icons/; null for tools that appear in menus only.
    const char* bundled;
};

constexpr std::array Looks{
    Look{101, "document-new", "new"},
    Look{102, "document-open", "open"},
    Look{104, "document-save", "save"},
    Look{105, "document-save-as", nullptr},
    Look{106, "document-print", "print"},
    Look{107, "document-print-preview", nullptr},
    Look{108, "document-page-setup", nullptr},
    Look{109, "application-exit", nullptr},
    Look{114, "document-properties", nullptr},
    Look{201, "edit-undo", "undo"},
    Look{202, "edit-redo", "redo"},
    Look{203, "edit-cut", "cut"},
    Look{204, "edit-copy", "copy"},
    Look{205, "edit-paste", "paste"},
    Look{206, "edit-delete", nullptr},
    Look{207, "edit-select-all", nullptr},
    Look{209, "edit-find", "find"},
    Look{211, "edit-find-replace", nullptr},
    Look{212, "preferences-system", nullptr},
    Look{213, "tools-check-spelling", nullptr},
    Look{310, nullptr, "pan"},
    Look{311, "zoom-in", "zoom-in"},
    Look{312, "zoom-out", "zoom-out"},
    Look{313, nullptr, "restore-view"},
    Look{323, "zoom-original", nullptr},
    Look{701, "help-contents", "help"},
    Look{705, "help-about", nullptr},
    Look{901, nullptr, "selector-new"},
    Look{902, nullptr, "selector-edit"},
    Look{903, nullptr, "selector-delete"},
    Look{905, nullptr, "property-insert"},
    Look{906, nullptr, "property-delete"},
    Look{907, nullptr, "item-insert"},
    Look{908, nullptr, "item-delete"},
    Look{913, nullptr, "import"},
    Look{914, nullptr, "export"},
    Look{1001, nullptr, "select"},
    Look{1002, nullptr, "pan"},
    Look{1003, "zoom-in", "zoom-in"},
    Look{1004, "zoom-out", "zoom-out"},
    Look{1005, nullptr, "zoom-window"},
    Look{1006, nullptr, "draw-control"},
    Look{1007, nullptr, "draw-group"},
    Look{1008, nullptr, "remove-link"},
    Look{1009, nullptr, "add-link"},
    Look{1010, nullptr, "multiselect"},
    Look{1020, nullptr, "restore-view"},
    Look{1021, "zoom-fit-best", "zoom-extents"},
    Look{1022, "edit-delete", nullptr},
    Look{1101, nullptr, "grid"},
    Look{1102, nullptr, "snap"},
    Look{1302, "media-playback-stop", "stop"},
    Look{1303, "media-playback-start", "run"},
    Look{1304, "insert-image", nullptr},
};

struct Keys {
    int toolId;
    QKeySequence::StandardKey standard;
    // Given first, so the menu shows it whatever the desktop's own binding is.
    QKeyCombination preferred;
};

constexpr QKeyCombination NoKey{};

const std::array KeyTable{
    Keys{101, QKeySequence::New, NoKey},
    Keys{102, QKeySequence::Open, NoKey},
    Keys{104, QKeySequence::Save, NoKey},
    Keys{105, QKeySequence::SaveAs, NoKey},
    Keys{106, QKeySequence::Print, NoKey},
    Keys{109, QKeySequence::Quit, NoKey},
    Keys{201, QKeySequence::Undo, Qt::CTRL | Qt::Key_Z},
    Keys{202, QKeySequence::Redo, Qt::CTRL | Qt::Key_Y},
    Keys{203, QKeySequence::Cut, Qt::CTRL | Qt::Key_X},
    Keys{204, QKeySequence::Copy, Qt::CTRL | Qt::Key_C},
    Keys{205, QKeySequence::Paste, Qt::CTRL | Qt::Key_V},
    Keys{206, QKeySequence::Delete, Qt::Key_Delete},
    Keys{207, QKeySequence::SelectAll, NoKey},
    Keys{209, QKeySequence::Find, Qt::CTRL | Qt::Key_F},
    Keys{210, QKeySequence::FindNext, Qt::Key_F3},
    Keys{211, QKeySequence::Replace, Qt::CTRL | Qt::Key_H},
    Keys{701, QKeySequence::HelpContents, NoKey},
    Keys{1302, QKeySequence::UnknownKey, Qt::SHIFT | Qt::Key_F5},
    Keys{1303, QKeySequence::UnknownKey, Qt::Key_F5},
};

} // namespace

QIcon ToolDecorations::Icon(int toolId)
{
    const auto* look = std::find_if(Looks.cbegin(), Looks.cend(), [toolId](const Look& each) { return each.toolId == toolId; });
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

QList<QKeySequence> ToolDecorations::Shortcuts(int toolId)
{
    const auto* keys = std::find_if(KeyTable.cbegin(), KeyTable.cend(), [toolId](const Keys& each) { return each.toolId == toolId; });
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
