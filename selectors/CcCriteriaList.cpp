#include "selectors/CcCriteriaList.h"

#include "base/ErrorLog.h"
#include "base/IPrompt.h"
#include "base/ProcedureBoundary.h"
#include "base/ResourceStrings.h"
#include "model/CmDocument.h"
#include "selectors/ISelectorExplorer.h"
#include "selectors/SelectorNames.h"
#include "selectors/SelectorStore.h"

#include <QFileInfo>

namespace {
constexpr int NamePromptId = 10901;
constexpr int NameTitleId = 10902;
constexpr int RenamePromptId = 10903;
constexpr int RenameTitleId = 10904;
constexpr int CsvFilterId = 12021;
constexpr int EditCaptionId = 13007;
constexpr int ExportCaptionId = 13010;
constexpr int DeleteCaptionId = 13013;
constexpr int RenameCaptionId = 13014;
constexpr int WarningTitleId = 13019;
constexpr int InvalidNameId = 32204;
constexpr int NameTakenId = 32205;
const QString FirstProposal = QStringLiteral("SSS1");
} // namespace

CcCriteriaList::CcCriteriaList(CmDocument& document, IPrompt& prompt, ISelectorExplorer& explorer,
                               ISelectorDialogs* dialogs)
    : m_document(document), m_prompt(prompt), m_explorer(explorer), m_dialogs(dialogs), m_manager(document, prompt)
{
}

CcCriteriaList::~CcCriteriaList() = default;

void CcCriteriaList::setUndoRecorder(ISelectorUndoRecorder* recorder)
{
    m_recorder = recorder;
    m_manager.setUndoRecorder(recorder);
}

SelectorStore CcCriteriaList::store() const
{
    return SelectorStore(m_document.Storage());
}

bool CcCriteriaList::nameTaken(const QString& name) const
{
    return m_explorer.CLExists(name) || m_explorer.ExternalCLExists(name);
}

void CcCriteriaList::warn(const QString& text)
{
    m_prompt.MessageBox(text, LoadResString(WarningTitleId), PromptButtons::Ok, PromptIcon::Exclamation);
}

bool CcCriteriaList::acceptName(const QString& name, const QString& except)
{
    if (!SelectorNames::IsValid(name)) {
        warn(LoadResString(InvalidNameId).arg(name));
        return false;
    }
    if (nameTaken(name) && name.compare(except, Qt::CaseInsensitive) != 0) {
        warn(LoadResString(NameTakenId).arg(name));
        return false;
    }
    return true;
}

void CcCriteriaList::fail(const StorageResult& result, const char* procedure)
{
    ReportError(result, QString::fromLatin1(procedure));
    warn(result.message);
}

void CcCriteriaList::changed()
{
    m_document.setDirty(true);
}

void CcCriteriaList::record(int kind, const QString& name, const QString& oldText, const QString& newText,
                            bool external)
{
    if (!m_recorder)
        return;
    SelectorUndoRecord entry = SelectorUndoRecord::Of(kind, -1, -1, oldText, newText);
    entry.selector = name;
    entry.external = external;
    m_recorder->AddCommand(entry);
}

QStringList CcCriteriaList::pick(int captionId, bool several, bool withExternal)
{
    if (!m_dialogs)
        return {};
    QStringList names = m_explorer.CriteriaListNames();
    if (withExternal)
        names += m_explorer.ExternalCLNames();
    return m_dialogs->PickSelectors(LoadResString(captionId), names, several);
}

void CcCriteriaList::SaveList()
{
    ProcedureBoundary::run("CcCriteriaList.SaveList", [&] {
        CvCriteriaList* editor = m_manager.ActiveList();
        if (editor && editor->Dirty()) {
            editor->Save();
            changed();
        }
    });
}

void CcCriteriaList::CloseList()
{
    ProcedureBoundary::run("CcCriteriaList.CloseList", [&] {
        CvCriteriaList* editor = m_manager.ActiveList();
        if (!editor)
            return;
        if (editor->Dirty())
            editor->Save();
        m_manager.Remove(editor->Name());
    });
}

CcCriteriaList::ImportOutcome CcCriteriaList::Import(const QStringList& paths)
{
    ImportOutcome outcome;
    ProcedureBoundary::run("CcCriteriaList.Import", [&] {
        QStringList files = paths;
        if (files.isEmpty() && m_dialogs)
            files = m_dialogs->OpenSelectorFiles(LoadResString(CsvFilterId), m_document.CurrentPath());
        if (files.isEmpty())
            return;
        m_document.setCurrentPath(QFileInfo(files.first()).absolutePath());
        SelectorStore selectors = store();
        for (const QString& file : std::as_const(files)) {
            const QString name = SelectorNames::FirstFree(SelectorNames::FromFile(file),
                                                          [&](const QString& candidate) { return nameTaken(candidate); });
            // Stored first: a file that cannot be read leaves no name behind.
            if (StorageResult imported = selectors.Import(file, name); !imported) {
                outcome.result = imported;
                fail(imported, "CcCriteriaList.Import");
                return;
            }
            m_explorer.AddCriteriaList(name);
            changed();
            outcome.names.append(name);
        }
    });
    return outcome;
}

StorageResult CcCriteriaList::Export(const QString& name, const QString& path)
{
    return ProcedureBoundary::runOr("CcCriteriaList.Export", StorageResult(), [&] {
        QString selector = name;
        if (selector.isEmpty())
            selector = pick(ExportCaptionId, false, false).value(0);
        if (selector.isEmpty())
            return StorageResult();
        QString target = path;
        if (target.isEmpty()) {
            const QString suggested = m_document.CurrentPath() + QStringLiteral("/*.csv");
            target = m_prompt.SaveFileDialog(LoadResString(ExportCaptionId), LoadResString(CsvFilterId), suggested)
                         .value_or(QString());
        }
        if (target.isEmpty())
            return StorageResult();
        FileBytes::WriteOptions options;
        options.inputs = m_document.OpenFiles();
        StorageResult exported = store().Export(selector, target, options);
        if (!exported) {
            fail(exported, "CcCriteriaList.Export");
            return exported;
        }
        m_document.setCurrentPath(QFileInfo(target).absolutePath());
        return exported;
    });
}

CvCriteriaList* CcCriteriaList::NewList(std::optional<SelectorKind> kind)
{
    return ProcedureBoundary::runOr("CcCriteriaList.NewList", static_cast<CvCriteriaList*>(nullptr),
                                    [&]() -> CvCriteriaList* {
        if (!kind && m_dialogs)
            kind = m_dialogs->ChooseSelectorType();
        if (!kind)
            return nullptr;
        if (*kind == SelectorKind::External) {
            editExternal(QString());
            return nullptr;
        }
        const QString proposal = SelectorNames::FirstFree(FirstProposal, [&](const QString& n) { return nameTaken(n); });
        const QString name =
            m_prompt.InputBox(LoadResString(NamePromptId), LoadResString(NameTitleId), proposal).value_or(QString());
        if (name.isEmpty() || !acceptName(name))
            return nullptr;
        CvCriteriaList& editor = m_manager.NewList(name);
        m_explorer.AddCriteriaList(name);
        changed();
        record(SelectorUndoRecord::Created, name);
        if (m_dialogs)
            m_dialogs->ShowEditor(editor);
        return &editor;
    });
}

void CcCriteriaList::EditList(const QString& name)
{
    ProcedureBoundary::run("CcCriteriaList.EditList", [&] {
        const QString selector = name.isEmpty() ? pick(EditCaptionId, false, true).value(0) : name;
        if (selector.isEmpty())
            return;
        if (m_explorer.ExternalCLExists(selector)) {
            editExternal(selector);
            return;
        }
        if (!m_explorer.CLExists(selector))
            return;
        CvCriteriaList* editor = m_manager.Item(selector);
        if (editor) {
            m_manager.SetActiveList(selector);
        } else {
            editor = &m_manager.NewList(selector);
            editor->Load();
        }
        if (m_dialogs)
            m_dialogs->ShowEditor(*editor);
    });
}

void CcCriteriaList::RenameList(const QString& oldName, const QString& newName)
{
    ProcedureBoundary::run("CcCriteriaList.RenameList", [&] {
        QString from = oldName;
        QString to = newName;
        if (to.isEmpty()) {
            if (from.isEmpty())
                from = pick(RenameCaptionId, false, false).value(0);
            if (from.isEmpty())
                return;
            to = m_prompt.InputBox(LoadResString(RenamePromptId), LoadResString(RenameTitleId), from).value_or(QString());
        }
        if (to.isEmpty() || to == from || !m_explorer.CLExists(from) || !acceptName(to, from))
            return;
        SelectorStore selectors = store();
        if (selectors.Exists(from)) {
            if (StorageResult moved = selectors.Rename(from, to); !moved) {
                fail(moved, "CcCriteriaList.RenameList");
                return;
            }
        }
        m_manager.Rename(from, to);
        m_explorer.RenameNode(from, to);
        changed();
        record(SelectorUndoRecord::Renamed, to, from, to);
    });
}

void CcCriteriaList::deleteOne(const QString& name)
{
    m_manager.Remove(name);
    SelectorStore selectors = store();
    const bool external = !m_explorer.CLExists(name) && m_explorer.ExternalCLExists(name);
    QString kept;
    StorageResult done;
    if (external) {
        ExternalSelectorSettings settings;
        done = selectors.ReadExternal(name, settings);
        kept = settings.ToText();
        if (done)
            done = selectors.RemoveExternal(name);
    } else {
        done = selectors.ReadText(name, kept);
        if (done)
            done = selectors.Remove(name);
    }
    if (!done)
        throw KvError(0, QStringLiteral("CcCriteriaList"), done.message);
    m_explorer.RemoveNode(name);
    record(SelectorUndoRecord::Deleted, name, kept, QString(), external);
}

void CcCriteriaList::DeleteList(const QStringList& names)
{
    ProcedureBoundary::run("CcCriteriaList.DeleteList", [&] {
        const QStringList chosen = names.isEmpty() ? pick(DeleteCaptionId, true, true) : names;
        bool any = false;
        for (const QString& name : chosen) {
            if (!nameTaken(name))
                continue;
            any = true;
            // Marked before a failure can end the loop: what was deleted stays deleted.
            changed();
            deleteOne(name);
        }
        if (any)
            changed();
    });
}

void CcCriteriaList::editExternal(const QString& name)
{
    if (!m_dialogs)
        return;
    ExternalSelectorSession session;
    session.name = name;
    if (!name.isEmpty())
        store().ReadExternal(name, session.settings);
    if (!m_document.Path().isEmpty())
        session.baseFolder = QFileInfo(m_document.Path()).absolutePath();
    session.apply = [this, &session](const ExternalSelectorSettings& settings) {
        return ApplyExternal(session, settings);
    };
    m_dialogs->EditExternalSelector(session);
}

bool CcCriteriaList::ApplyExternal(ExternalSelectorSession& session, const ExternalSelectorSettings& settings)
{
    return ProcedureBoundary::runOr("frmExternalSelector.Apply", false, [&] {
        if (!settings.Complete())
            return false;
        const QString newName = settings.Name();
        if (!acceptName(newName, session.name))
            return false;
        SelectorStore selectors = store();
        if (StorageResult written = selectors.WriteExternal(settings); !written) {
            fail(written, "frmExternalSelector.Apply");
            return false;
        }
        const bool listed = !session.name.isEmpty() && m_explorer.ExternalCLExists(session.name);
        // A record left under the old name would come back as a selector of its own.
        if (listed && session.name.compare(newName, Qt::CaseInsensitive) != 0)
            selectors.RemoveExternal(session.name);
        changed();
        if (listed)
            m_explorer.RenameNode(session.name, newName);
        else
            m_explorer.AddExternalCL(newName);
        session.name = newName;
        session.settings = settings;
        return true;
    });
}

void CcCriteriaList::onActive(void (CvCriteriaList::*operation)())
{
    if (CvCriteriaList* editor = m_manager.ActiveList())
        (editor->*operation)();
}

void CcCriteriaList::RenameColumn()
{
    if (CvCriteriaList* editor = m_manager.ActiveList())
        editor->RenameColumn();
}

void CcCriteriaList::InsertColumn() { onActive(&CvCriteriaList::InsertColumn); }
void CcCriteriaList::DeleteColumn() { onActive(&CvCriteriaList::DeleteColumn); }
void CcCriteriaList::InsertRow() { onActive(&CvCriteriaList::InsertRow); }
void CcCriteriaList::DeleteRow() { onActive(&CvCriteriaList::DeleteRow); }
void CcCriteriaList::CopyCells() { onActive(&CvCriteriaList::Copy); }
void CcCriteriaList::CutCells() { onActive(&CvCriteriaList::Cut); }
void CcCriteriaList::PasteCells() { onActive(&CvCriteriaList::Paste); }
void CcCriteriaList::Clear() { onActive(&CvCriteriaList::Delete); }
