#include "app/CcFile.h"
#include "project/Project.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "project/CModel.h"
#include "app/CRegistry.h"
#include "app/CView.h"
#include "project/CvProject.h"
#include "base/StringId.h"
#include "base/ErrorLog.h"
#include "base/KvError.h"
#include "app/MStartUp.h"
#include "base/ProcedureBoundary.h"
#include "persist/ProjectLock.h"
#include "persist/ProjectNodes.h"
#include "base/ResourceStrings.h"
#include "edit/CvDecisionTree.h"
#include "edit/CanvasModel.h"
#include "edit/DiagramStore.h"
#include "model/CmDocument.h"
#include "persist/StorageNode.h"

#include <QFileInfo>

namespace {

constexpr int CannotOpenTitleId = 12006;
constexpr int CompiledFileId = 12010;
constexpr int ControlsCorruptId = 12011;
constexpr int SaveFailedId = 15000;
constexpr int LoadingFileId = 14001;
constexpr int ClosingFileId = 14007;
constexpr int SavingFileId = 14008;
constexpr int RecoverTitleId = 30030;
constexpr int RecoverQuestionId = 30031;
constexpr int OfferReadOnlyId = 33209;

const QString MruSection = QStringLiteral("MRU");

CmDocument& document()
{
    return gApp->Model().Document();
}

void setStatus(int textId)
{
    gApp->View().SetStatus(textId ? LoadResString(textId) : QString());
}

PromptAnswer message(int textId, PromptIcon icon, int titleId = CannotOpenTitleId)
{
    return gApp->Prompt().MessageBox(LoadResString(textId), LoadResString(titleId), PromptButtons::Ok, icon);
}

} // namespace

CcFile::CcFile() : m_recent(RecentFileCount)
{
    m_workingCopyTimer.setInterval(WorkingCopyInterval);
    connect(&m_workingCopyTimer, &QTimer::timeout, this, &CcFile::SaveWorkingCopy);
    m_workingCopyTimer.start();
}

PromptAnswer CcFile::FileSaveDlg()
{
    const PromptAnswer answer = document().AskSaveDlg();
    if (answer == PromptAnswer::No)
        document().setDirty(false);
    return answer;
}

bool CcFile::askToSaveChanges()
{
    if (!document().Dirty())
        return true;
    switch (FileSaveDlg()) {
    case PromptAnswer::Cancel: return false;
    case PromptAnswer::Yes: return FileSave();
    default: return true;
    }
}

bool CcFile::FileClose()
{
    return ProcedureBoundary::runOr("CcFile.FileClose", false, [&] {
        setStatus(ClosingFileId);
        if (!askToSaveChanges()) {
            setStatus(0);
            return true;
        }
        document().CloseDocument();
        gApp->View().Project().Clear();
        gApp->Model().Clear();
        setStatus(0);
        emit projectChanged();
        return false;
    });
}

void CcFile::FileNew()
{
    ProcedureBoundary::run("CcFile.FileNew", [&] {
        if (!askToSaveChanges())
            return;
        if (!m_startUp) {
            const NewOrOpenChoice choice = gApp->Prompt().NewOrOpenDialog(RecentFiles(), document().CurrentPath());
            if (choice.kind == NewOrOpenChoice::Kind::Cancelled)
                return;
            if (choice.kind != NewOrOpenChoice::Kind::NewProject) {
                FileOpen(choice.path);
                return;
            }
        }
        createEmptyProject();
    });
}

void CcFile::createEmptyProject()
{
    gApp->OpenProject().Reset();
    gApp->View().HideProgressBar();
    emit projectChanged();
    emit projectCreated();
}

bool CcFile::FileOpen(const QString& path)
{
    const auto open = [&] {
        if (!askToSaveChanges())
            return false;
        QString chosen = path;
        if (chosen.isEmpty()) {
            const std::optional<QString> picked = gApp->Prompt().OpenFileDialog(
                LoadResString(13012), LoadResString(12020), document().CurrentPath());
            if (!picked)
                return false;
            chosen = *picked;
        }
        return openProject(QFileInfo(chosen).absoluteFilePath());
    };
    return ProcedureBoundary::runOrElse("CcFile.FileOpen", open, [this](const std::exception&) {
        setLoading(false);
        return false;
    });
}

bool CcFile::offerRecovery(const QString& path, bool& recover)
{
    recover = false;
    const QFileInfo workingCopy(document().WorkingCopyFor(path));
    const QFileInfo project(path);
    // A link at the working copy's name is no work of ours: what it names is not offered.
    if (workingCopy.isSymLink() || !workingCopy.isFile() || !project.isFile()
        || workingCopy.lastModified() <= project.lastModified())
        return true;
    // A working copy held by another Designer is its live work, not a leftover; opening
    // will report the project as in use.
    if (ProjectLock::isTaken(workingCopy.filePath() + QStringLiteral(".lock")))
        return true;
    const PromptAnswer answer = gApp->Prompt().MessageBox(
        LoadResString(RecoverQuestionId).arg(project.fileName()), LoadResString(RecoverTitleId),
        PromptButtons::YesNoCancel, PromptIcon::Question);
    if (answer == PromptAnswer::Cancel)
        return false;
    recover = answer == PromptAnswer::Yes;
    return true;
}

bool CcFile::openProject(const QString& path)
{
    FileClose();
    setStatus(LoadingFileId);
    AddToMRU(path);
    document().setCurrentPath(QFileInfo(path).absolutePath());

    bool recover = false;
    if (!offerRecovery(path, recover)) {
        createEmptyProject();
        return false;
    }
    setLoading(true);
    const CmDocument::Result opened = document().OpenDocument(path, recover);
    if (!opened.done()) {
        setLoading(false);
        const bool mismatch = opened.storage.kind == StorageErrorKind::ChecksumMismatch;
        if (mismatch && offerReadOnly(recover ? document().WorkingCopyFor(path) : path, opened.storage))
            return loadProject(false);
        if (opened.outcome == CmDocument::Outcome::Failed && !mismatch)
            showOpenFailure(opened.storage);
        createEmptyProject();
        return false;
    }
    return loadProject(recover);
}

bool CcFile::offerReadOnly(const QString& path, const StorageResult& mismatch)
{
    const PromptAnswer answer = gApp->Prompt().MessageBox(LoadResString(OfferReadOnlyId).arg(mismatch.message),
                                                          LoadResString(CannotOpenTitleId), PromptButtons::YesNo,
                                                          PromptIcon::Exclamation);
    if (answer != PromptAnswer::Yes)
        return false;
    setLoading(true);
    const CmDocument::Result opened = document().InspectDocument(path, StorageDocument::Checksum::Accept);
    if (opened.done())
        return true;
    setLoading(false);
    showOpenFailure(opened.storage);
    return false;
}

bool CcFile::loadProject(bool recovered)
{
    bool hasModel = false;
    StorageNode root = document().Storage().rootNode();
    root.exists(ProjectNodes::DevFile, hasModel);
    if (!hasModel) {
        setLoading(false);
        message(CompiledFileId, PromptIcon::Critical);
        createEmptyProject();
        return false;
    }
    StorageResult loaded;
    {
        // Reading reports progress, which lets timers run: they see the project busy.
        const BusyScope busy(gApp->Busy());
        const CanvasModel::Batch quietDiagram(gApp->Controller().DiagramView().Canvas());
        loaded = gApp->OpenProject().ReadModel();
        if (loaded.kind != StorageErrorKind::Refused) {
            if (!loaded)
                message(ControlsCorruptId, PromptIcon::Critical, 12006);
            LoadProjectExplorer();
            document().setDirty(recovered);
            gApp->View().HideProgressBar();
            LoadCustomBlock();
        }
    }
    // What may not be loaded is not shown in part: the file stays closed.
    if (loaded.kind == StorageErrorKind::Refused) {
        setLoading(false);
        showOpenFailure(loaded);
        createEmptyProject();
        return false;
    }
    setLoading(false);
    setStatus(0);
    emit projectChanged();
    return true;
}

void CcFile::showOpenFailure(const StorageResult& failure)
{
    // The two messages of the product where they say what happened; the storage's own
    // message where they would not (a file that cannot be read is not corrupt).
    switch (failure.kind) {
    case StorageErrorKind::InUse:
        message(StringId::ProjectInUse, PromptIcon::Critical);
        return;
    case StorageErrorKind::Corrupt:
        message(StringId::ProjectCorrupt, PromptIcon::Critical);
        return;
    default:
        gApp->Prompt().MessageBox(failure.message, LoadResString(CannotOpenTitleId), PromptButtons::Ok,
                                  PromptIcon::Critical);
        return;
    }
}

void CcFile::LoadProjectExplorer()
{
    gApp->OpenProject().LoadExplorer();
}

void CcFile::LoadCustomBlock()
{
    gApp->OpenProject().LoadLayout();
    gApp->View().HideProgressBar();
}

bool CcFile::FileSave()
{
    // A project that cannot be saved where it is gets a new place, as Save As gives it.
    if (document().ReadOnly())
        return FileSaveAs();
    return ProcedureBoundary::runOr("CcFile.FileSave", false, [&] {
        setStatus(SavingFileId);
        const CmDocument::Result saved = document().SaveFile();
        gApp->View().HideProgressBar();
        setStatus(0);
        if (saved.outcome == CmDocument::Outcome::Failed)
            message(SaveFailedId, PromptIcon::Critical, 12000);
        return saved.done();
    });
}

bool CcFile::FileSaveAs()
{
    return ProcedureBoundary::runOr("CcFile.FileSaveAs", false, [&] {
        setStatus(SavingFileId);
        const CmDocument::Result saved = document().SaveFileAs();
        gApp->View().HideProgressBar();
        setStatus(0);
        if (saved.outcome == CmDocument::Outcome::Failed)
            message(SaveFailedId, PromptIcon::Critical, 12000);
        if (!saved.done())
            return false;
        AddToMRU(document().Path());
        emit projectChanged();
        return true;
    });
}

void CcFile::FileExit()
{
    // Exit asks again when this close was cancelled.
    FileClose();
    MStartUp::ExitProgram(gApp->Windows());
}

void CcFile::ShowPropertiesForm()
{
    document().ShowPropertiesForm();
}

void CcFile::SaveWorkingCopy()
{
    if (!gApp || !document().Dirty() || gApp->IsBusy() || m_loading)
        return;
    const StorageResult saved = document().SaveWorkingCopy();
    ReportError(saved, QStringLiteral("CcFile.SaveWorkingCopy"));
}

void CcFile::MRUFile(int index)
{
    const QString path = GetMRU(index);
    if (!path.isEmpty())
        FileOpen(path);
}

QString CcFile::GetMRU(int index) const
{
    return m_recent.value(index - 1);
}

QStringList CcFile::RecentFiles() const
{
    QStringList files;
    for (const QString& path : m_recent) {
        if (!path.isEmpty())
            files.append(path);
    }
    return files;
}

void CcFile::LoadMRUFromReg()
{
    ProcedureBoundary::run("CcFile.LoadMRUFromReg", [&] {
        for (int i = 1; i <= RecentFileCount; ++i)
            m_recent[i - 1] = CRegistry::Read(MruSection, QStringLiteral("File%1").arg(i));
        document().setCurrentPath(CRegistry::Read(MruSection, QStringLiteral("Path")));
    });
}

void CcFile::AddToMRU(const QString& path)
{
    const QString entry = path.isEmpty() ? document().Path() : path;
    if (entry.isEmpty())
        return;
    qsizetype at = m_recent.indexOf(entry);
    if (at < 0)
        at = m_recent.size() - 1;
    m_recent.remove(at);
    m_recent.prepend(entry);
    LoadMRU();
}

void CcFile::LoadMRU()
{
    emit recentFilesChanged(RecentFiles());
}
