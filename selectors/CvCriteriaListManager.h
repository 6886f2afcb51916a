#pragma once

#include "selectors/CvCriteriaList.h"

#include <QObject>
#include <QStringList>

#include <memory>
#include <vector>

class CmDocument;
class IPrompt;

// The selector editors that are open, by name (without regard to case) in the order they
// were opened, and the active one. The data of every other selector is only in storage.
class CvCriteriaListManager : public QObject {
    Q_OBJECT
public:
    CvCriteriaListManager(CmDocument& document, IPrompt& prompt, QObject* parent = nullptr);
    ~CvCriteriaListManager() override;

    // A new editor of the default size under that name, added and made active; an editor
    // already open under the name is made active instead.
    CvCriteriaList& NewList(const QString& name);
    void add(std::unique_ptr<CvCriteriaList> editor);
    void Remove(const QString& name);
    void Remove(int index);
    void Rename(const QString& oldName, const QString& newName);
    void SetActiveList(const QString& name);
    // 1-based, in the order the editors were opened.
    void SetActiveList(int index);
    void RefreshAll();
    // Closes every editor.
    void Clear();
    // Every editor with unsaved changes saves them (before the project is saved or compiled).
    void SaveAll();

    CvCriteriaList* ActiveList() const { return m_active; }
    CvCriteriaList* Item(const QString& name) const;
    CvCriteriaList* Item(int index) const;
    int Count() const { return static_cast<int>(m_editors.size()); }
    bool Exists(const QString& name) const { return Item(name) != nullptr; }
    QStringList Names() const;
    bool IsLoaded() const { return !m_editors.empty(); }
    bool AutoSpellCheck() const { return m_autoSpellCheck; }
    void setAutoSpellCheck(bool on) { m_autoSpellCheck = on; }

    void setUndoRecorder(ISelectorUndoRecorder* recorder);
    void setStatusSink(const CvCriteriaList::StatusSink& sink);

signals:
    void editorAdded(CvCriteriaList* editor);
    // The editor is still alive; its window closes now.
    void editorRemoving(CvCriteriaList* editor);
    void activeChanged(CvCriteriaList* editor);

private:
    std::vector<std::unique_ptr<CvCriteriaList>>::const_iterator find(const QString& name) const;
    void removeAt(std::vector<std::unique_ptr<CvCriteriaList>>::const_iterator position);
    void setActive(CvCriteriaList* editor);

    CmDocument& m_document;
    IPrompt& m_prompt;
    std::vector<std::unique_ptr<CvCriteriaList>> m_editors;
    CvCriteriaList* m_active = nullptr;
    bool m_autoSpellCheck = false;
    ISelectorUndoRecorder* m_recorder = nullptr;
    CvCriteriaList::StatusSink m_status;
};
