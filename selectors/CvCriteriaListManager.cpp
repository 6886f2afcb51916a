#include "selectors/CvCriteriaListManager.h"

#include "base/ProcedureBoundary.h"
#include "model/CmDocument.h"

#include <algorithm>

CvCriteriaListManager::CvCriteriaListManager(CmDocument& document, IPrompt& prompt, QObject* parent)
    : QObject(parent), m_document(document), m_prompt(prompt)
{
}

CvCriteriaListManager::~CvCriteriaListManager() = default;

std::vector<std::unique_ptr<CvCriteriaList>>::const_iterator CvCriteriaListManager::find(const QString& name) const
{
    return std::find_if(m_editors.cbegin(), m_editors.cend(), [&](const std::unique_ptr<CvCriteriaList>& editor) {
        return editor->Name().compare(name, Qt::CaseInsensitive) == 0;
    });
}

void CvCriteriaListManager::setActive(CvCriteriaList* editor)
{
    if (m_active == editor)
        return;
    m_active = editor;
    emit activeChanged(editor);
}

CvCriteriaList& CvCriteriaListManager::NewList(const QString& name)
{
    if (CvCriteriaList* open = Item(name)) {
        setActive(open);
        return *open;
    }
    auto editor = std::make_unique<CvCriteriaList>(m_document, m_prompt);
    CvCriteriaList& created = *editor;
    editor->setName(name);
    add(std::move(editor));
    setActive(&created);
    return created;
}

void CvCriteriaListManager::add(std::unique_ptr<CvCriteriaList> editor)
{
    if (!editor || Exists(editor->Name()))
        return;
    editor->setUndoRecorder(m_recorder);
    editor->setStatusSink(m_status);
    // Every edit of a grid is a change of the project, saved or not yet handed in.
    CmDocument* document = &m_document;
    connect(editor.get(), &CvCriteriaList::undoRecorded, document, [document] { document->MarkChanged(); });
    connect(editor.get(), &CvCriteriaList::dirtyChanged, document, [document](bool dirty) {
        if (dirty)
            document->MarkChanged();
    });
    CvCriteriaList* added = editor.get();
    m_editors.push_back(std::move(editor));
    emit editorAdded(added);
}

void CvCriteriaListManager::removeAt(std::vector<std::unique_ptr<CvCriteriaList>>::const_iterator position)
{
    std::unique_ptr<CvCriteriaList> editor = std::move(m_editors.at(static_cast<size_t>(position - m_editors.cbegin())));
    m_editors.erase(position);
    if (m_active == editor.get())
        setActive(m_editors.empty() ? nullptr : m_editors.back().get());
    emit editorRemoving(editor.get());
}

void CvCriteriaListManager::Remove(const QString& name)
{
    ProcedureBoundary::run("CvCriteriaListManager.Remove", [&] {
        if (const auto position = find(name); position != m_editors.cend())
            removeAt(position);
    });
}

void CvCriteriaListManager::Remove(int index)
{
    if (CvCriteriaList* editor = Item(index))
        Remove(editor->Name());
}

void CvCriteriaListManager::Rename(const QString& oldName, const QString& newName)
{
    CvCriteriaList* editor = Item(oldName);
    if (!editor || (Exists(newName) && Item(newName) != editor))
        return;
    editor->setName(newName);
}

void CvCriteriaListManager::SetActiveList(const QString& name)
{
    ProcedureBoundary::run("CvCriteriaListManager.SetActiveList", [&] {
        if (CvCriteriaList* editor = Item(name))
            setActive(editor);
    });
}

void CvCriteriaListManager::SetActiveList(int index)
{
    if (CvCriteriaList* editor = Item(index))
        setActive(editor);
}

void CvCriteriaListManager::RefreshAll()
{
    for (const auto& editor : m_editors)
        editor->Refresh();
}

void CvCriteriaListManager::Clear()
{
    ProcedureBoundary::run("CvCriteriaListManager.Clear", [&] {
        while (!m_editors.empty())
            removeAt(m_editors.cend() - 1);
    });
}

void CvCriteriaListManager::SaveAll()
{
    for (const auto& editor : m_editors) {
        if (editor->Dirty())
            editor->Save();
    }
}

CvCriteriaList* CvCriteriaListManager::Item(const QString& name) const
{
    return ProcedureBoundary::runOr("CvCriteriaListManager.Item", static_cast<CvCriteriaList*>(nullptr), [&] {
        const auto position = find(name);
        return position == m_editors.cend() ? nullptr : position->get();
    });
}

CvCriteriaList* CvCriteriaListManager::Item(int index) const
{
    if (index < 1 || index > Count())
        return nullptr;
    return m_editors.at(static_cast<size_t>(index - 1)).get();
}

QStringList CvCriteriaListManager::Names() const
{
    QStringList names;
    for (const auto& editor : m_editors)
        names.append(editor->Name());
    return names;
}

void CvCriteriaListManager::setUndoRecorder(ISelectorUndoRecorder* recorder)
{
    m_recorder = recorder;
    for (const auto& editor : m_editors)
        editor->setUndoRecorder(recorder);
}

void CvCriteriaListManager::setStatusSink(const CvCriteriaList::StatusSink& sink)
{
    m_status = sink;
    for (const auto& editor : m_editors)
        editor->setStatusSink(sink);
}
