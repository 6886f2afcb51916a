#pragma once

#include "selectors/ExternalSelectorSettings.h"

#include <QStringList>

#include <functional>
#include <optional>

class CvCriteriaList;

enum class SelectorKind { Internal, External };

// An external selector's settings as its dialog edits them. apply writes them (refusing
// incomplete or clashing settings with a message) and is true when they were written; name
// follows the written settings.
struct ExternalSelectorSession {
    QString name;
    ExternalSelectorSettings settings;
    std::function<bool(const ExternalSelectorSettings&)> apply;
    // The saved project's folder, where a relative SQLite file is found (as run and serve find
    // it); empty for a project never saved.
    QString baseFolder;
};

// The selector commands' own windows and dialogs. The Designer shows real ones; tests answer
// from a script.
class ISelectorDialogs {
public:
    virtual ~ISelectorDialogs() = default;

    // Nothing on Cancel.
    virtual std::optional<SelectorKind> ChooseSelectorType() = 0;
    // The chosen names; empty when nothing was chosen.
    virtual QStringList PickSelectors(const QString& caption, const QStringList& names, bool several) = 0;
    // filter uses the "Description|*.ext" form; empty when cancelled.
    virtual QStringList OpenSelectorFiles(const QString& filter, const QString& folder) = 0;
    virtual void EditExternalSelector(ExternalSelectorSession& session) = 0;
    // Shows the editor's window, opening one when it has none.
    virtual void ShowEditor(CvCriteriaList& editor) = 0;

protected:
    ISelectorDialogs() = default;
    ISelectorDialogs(const ISelectorDialogs&) = default;
    ISelectorDialogs& operator=(const ISelectorDialogs&) = default;
};
