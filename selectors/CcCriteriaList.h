#pragma once

#include "base/StorageResult.h"
#include "selectors/CvCriteriaListManager.h"
#include "selectors/ISelectorDialogs.h"

#include <QStringList>

#include <optional>

class CmDocument;
class IPrompt;
class ISelectorExplorer;
class SelectorStore;

// The selector commands: create, open, rename, delete, import and export selectors, and the
// grid commands of the active editor. Holds no selector data: it works on the open editors,
// the document's storage and the project explorer's lists.
class CcCriteriaList {
public:
    struct ImportOutcome {
        QStringList names;  // the selectors created, in the order of the files
        StorageResult result;
    };

    // Without dialogs, only the commands that are given every answer can run.
    CcCriteriaList(CmDocument& document, IPrompt& prompt, ISelectorExplorer& explorer,
                   ISelectorDialogs* dialogs = nullptr);
    ~CcCriteriaList();
    CcCriteriaList(const CcCriteriaList&) = delete;
    CcCriteriaList& operator=(const CcCriteriaList&) = delete;

    CvCriteriaListManager& Manager() { return m_manager; }
    const CvCriteriaListManager& Manager() const { return m_manager; }
    void setDialogs(ISelectorDialogs* dialogs) { m_dialogs = dialogs; }
    void setUndoRecorder(ISelectorUndoRecorder* recorder);

    void SaveList();
    void CloseList();
    // Paths empty: asked for. Stops at the first file that cannot be imported.
    ImportOutcome Import(const QStringList& paths = {});
    // Name or path empty: asked for.
    StorageResult Export(const QString& name = {}, const QString& path = {});
    // Kind not given: asked for. The new editor, or null (also for an external selector).
    CvCriteriaList* NewList(std::optional<SelectorKind> kind = std::nullopt);
    // Name empty: picked from the list.
    void EditList(const QString& name = {});
    void RenameList(const QString& oldName = {}, const QString& newName = {});
    // Names empty: picked from the list.
    void DeleteList(const QStringList& names = {});

    // The active editor's commands; nothing happens while no editor is open.
    void RenameColumn();
    void InsertColumn();
    void DeleteColumn();
    void InsertRow();
    void DeleteRow();
    void CopyCells();
    void CutCells();
    void PasteCells();
    void Clear();

    // Writes external settings as their dialog's Apply does; false when nothing was written.
    bool ApplyExternal(ExternalSelectorSession& session, const ExternalSelectorSettings& settings);

private:
    SelectorStore store() const;
    bool nameTaken(const QString& name) const;
    // Refuses a name that is invalid or taken (except by the selector called `except`).
    bool acceptName(const QString& name, const QString& except = {});
    void warn(const QString& text);
    void fail(const StorageResult& result, const char* procedure);
    QStringList pick(int captionId, bool several, bool withExternal);
    void editExternal(const QString& name);
    void record(int kind, const QString& name, const QString& oldText = {}, const QString& newText = {},
                bool external = false);
    void deleteOne(const QString& name);
    void changed();
    void onActive(void (CvCriteriaList::*operation)());

    CmDocument& m_document;
    IPrompt& m_prompt;
    ISelectorExplorer& m_explorer;
    ISelectorDialogs* m_dialogs = nullptr;
    ISelectorUndoRecorder* m_recorder = nullptr;
    CvCriteriaListManager m_manager;
};
