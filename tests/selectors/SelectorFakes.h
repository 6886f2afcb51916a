#pragma once

#include "selectors/ISelectorDialogs.h"
#include "selectors/ISelectorExplorer.h"
#include "selectors/SelectorUndoRecord.h"

#include <deque>

// The explorer's two lists, without a window.
class FakeExplorer final : public ISelectorExplorer {
public:
    void AddCriteriaList(const QString& name) override { internal.append(name); }
    void AddExternalCL(const QString& name) override { external.append(name); }
    QStringList CriteriaListNames() const override { return internal; }
    QStringList ExternalCLNames() const override { return external; }
    bool CLExists(const QString& name) const override { return internal.contains(name, Qt::CaseInsensitive); }
    bool ExternalCLExists(const QString& name) const override { return external.contains(name, Qt::CaseInsensitive); }
    void RemoveNode(const QString& name) override
    {
        internal.removeAll(name);
        external.removeAll(name);
    }
    void RenameNode(const QString& oldName, const QString& newName) override
    {
        for (QStringList* names : {&internal, &external})
            std::replace(names->begin(), names->end(), oldName, newName);
    }

    QStringList internal;
    QStringList external;
};

// Dialogs answered from a script; the external settings dialog applies the queued settings.
class ScriptedSelectorDialogs final : public ISelectorDialogs {
public:
    std::optional<SelectorKind> ChooseSelectorType() override { return next(kinds); }
    QStringList PickSelectors(const QString& caption, const QStringList& names, bool) override
    {
        pickCaptions.append(caption);
        offered = names;
        return next(picks).value_or(QStringList());
    }
    QStringList OpenSelectorFiles(const QString&, const QString&) override { return next(files).value_or(QStringList()); }
    void EditExternalSelector(ExternalSelectorSession& session) override
    {
        shownSettings.append(session.settings);
        if (const auto settings = next(applied))
            appliedResults.append(session.apply(*settings));
    }
    void ShowEditor(CvCriteriaList& editor) override { shownEditors.append(&editor); }

    std::deque<std::optional<SelectorKind>> kinds;
    std::deque<std::optional<QStringList>> picks;
    std::deque<std::optional<QStringList>> files;
    std::deque<std::optional<ExternalSelectorSettings>> applied;
    QStringList pickCaptions;
    QStringList offered;
    QList<ExternalSelectorSettings> shownSettings;
    QList<bool> appliedResults;
    QList<CvCriteriaList*> shownEditors;

private:
    template <typename T>
    static std::optional<T> next(std::deque<std::optional<T>>& queue)
    {
        if (queue.empty())
            return std::nullopt;
        std::optional<T> value = queue.front();
        queue.pop_front();
        return value;
    }
};

class ListRecorder final : public ISelectorUndoRecorder {
public:
    void AddCommand(const SelectorUndoRecord& record) override { records.append(record); }
    QList<SelectorUndoRecord> records;
};
