#include "model/CmDocument.h"

#include "base/ErrorLog.h"
#include "base/KvError.h"
#include "base/MCommonUtil.h"
#include "base/ProcedureBoundary.h"
#include "base/ResourceStrings.h"
#include "persist/ProjectLock.h"
#include "persist/PropertyBag.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

constexpr int SaveFileTitleId = 12000;
constexpr int SaveQuestionId = 12001;
constexpr int CompileToTitleId = 12004;
constexpr int ProjectFilterId = 12020;
constexpr int SaveAsTitleId = 12022;
constexpr int WebFilterId = 12024;
constexpr int DesktopFilterId = 12025;
constexpr int OpenTitleId = 13012;
constexpr int LoadingFileId = 14001;
constexpr int CallAppRoom = 5;

const QString ProjectExtension = QStringLiteral("kvp");
const QStringList DocumentPropertyNames{QStringLiteral("Title"), QStringLiteral("Subject"),
                                        QStringLiteral("Author"), QStringLiteral("Keywords"),
                                        QStringLiteral("Comments")};

constexpr int NothingToWriteId = 31129;

QString withExtension(const QString& path, const QString& extension)
{
    return QFileInfo(path).suffix().isEmpty() ? path + QLatin1Char('.') + extension : path;
}

} // namespace

CmDocument::CmDocument() : m_storage(std::make_unique<StorageDocument>())
{
    connect(m_storage.get(), &StorageDocument::percentDone, this, &CmDocument::mDocIO_PercentDone);
    connect(m_storage.get(), &StorageDocument::operationFinished, this, &CmDocument::mDocIO_FinishOperation);
    setBusyState(nullptr);
    m_storage->create();
    ClearCallApps();
}

CmDocument::~CmDocument()
{
    // Nobody hears of a close while the document goes away.
    blockSignals(true);
    CloseDocument();
}

PromptAnswer CmDocument::AskSaveDlg()
{
    // Nobody to ask: keep the work rather than throw it away.
    if (!m_prompt)
        return PromptAnswer::Cancel;
    return m_prompt->MessageBox(LoadResString(SaveQuestionId), LoadResString(SaveFileTitleId), PromptButtons::YesNoCancel,
                           PromptIcon::Question);
}

bool CmDocument::NewDocument()
{
    return ProcedureBoundary::runOr("CmDocument.NewDocument", true, [&] {
        if (Dirty()) {
            const PromptAnswer answer = AskSaveDlg();
            if (answer == PromptAnswer::Cancel)
                return false;
            // A save that did not happen must not be followed by throwing the work away.
            if (answer == PromptAnswer::Yes && !SaveFile().done())
                return false;
        }
        setDirty(false);
        CloseDocument();
        const StorageResult created = m_storage->create();
        if (!created)
            throw KvError(0, QStringLiteral("StorageDocument"), created.message);
        setName(DefaultName());
        m_fileTypeSet = false;
        m_fileType = 0;
        m_webSettings = KvwSettings();
        ClearCallApps();
        return true;
    });
}

CmDocument::Result CmDocument::OpenDocument(const QString& path, bool recoverWorkingCopy)
{
    QString chosen = path;
    if (chosen.isEmpty()) {
        const std::optional<QString> picked =
            m_prompt ? m_prompt->OpenFileDialog(LoadResString(OpenTitleId), LoadResString(ProjectFilterId), m_currentPath)
                : std::nullopt;
        if (!picked)
            return {Outcome::Cancelled, {}};
        chosen = *picked;
    }
    // Busy before the status, whose showing lets pending clicks run.
    const BusyScope busy(*m_busyState);
    emit statusChanged(LoadResString(LoadingFileId));
    CloseDocument();
    Result result = startWorkingCopy(QFileInfo(chosen).absoluteFilePath(), recoverWorkingCopy);
    if (result.done())
        emit opened();
    return result;
}

CmDocument::Result CmDocument::startWorkingCopy(const QString& projectPath, bool recoverWorkingCopy)
{
    // The command line writes the project file itself: a folder it cannot write refuses it at the lock.
    const bool beside = !m_keepsWorkingCopy || folderWritable(projectPath);
    StorageResult refusal;
    if (!lockProject(projectPath, beside, refusal))
        return failed(refusal);
    // Reading into memory checks the file and leaves it as it was.
    const QString source = recoverWorkingCopy ? workingCopyOf(projectPath, beside) : projectPath;
    const StorageResult opened = m_storage->open(source);
    if (!opened) {
        m_lock.reset();
        m_storage->create();
        return failed(opened);
    }
    setPath(projectPath);
    setFolderReadOnly(!beside);
    if (!m_keepsWorkingCopy)
        return {};
    // A name of our own beside a shared project: a link found there is replaced, never followed.
    const StorageResult copied = m_storage->saveAs(WorkingCopyPath(), {}, FileBytes::Name::Own);
    if (!copied)
        ReportError(copied, QStringLiteral("CmDocument.OpenDocument"));
    return {};
}

CmDocument::Result CmDocument::InspectDocument(const QString& path, StorageDocument::Checksum checksum)
{
    CloseDocument();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    // Only looking: the saved file is read whoever holds the project for a change.
    const StorageResult opened = m_storage->openReadOnly(absolute, checksum);
    if (!opened) {
        m_storage->create();
        return failed(opened);
    }
    emit this->opened();
    return {};
}

bool CmDocument::lockProject(const QString& path, bool beside, StorageResult& refusal)
{
    const QString lockPath = workingCopyOf(path, beside) + QStringLiteral(".lock");
    if (!beside)
        QDir().mkpath(QFileInfo(lockPath).absolutePath());
    m_lock = std::make_unique<ProjectLock>();
    refusal = m_lock->acquire(lockPath, path);
    if (refusal)
        return true;
    m_lock.reset();
    return false;
}

StorageResult CmDocument::SaveWorkingCopy()
{
    const QString workingCopy = WorkingCopyPath();
    if (workingCopy.isEmpty() || m_storage->path() != workingCopy)
        return StorageResult::success();
    const BusyScope busy(*m_busyState);
    StorageResult result = writeModel();
    if (result)
        result = m_storage->save();
    return result;
}

CmDocument::Result CmDocument::SaveFile()
{
    if (m_path.isEmpty() || m_folderReadOnly)
        return SaveFileAs();
    return writeProject(m_path, true);
}

CmDocument::Result CmDocument::SaveFileAs()
{
    const QString folder = m_folderReadOnly ? DocumentsFolder() : m_currentPath;
    const QString suggested = QDir(folder).filePath(m_name + QLatin1Char('.') + ProjectExtension);
    const std::optional<QString> picked =
        m_prompt ? m_prompt->SaveFileDialog(LoadResString(SaveAsTitleId), LoadResString(ProjectFilterId), suggested)
            : std::nullopt;
    if (!picked)
        return {Outcome::Cancelled, {}};
    return SaveFileAs(withExtension(*picked, ProjectExtension));
}

CmDocument::Result CmDocument::SaveFileAs(const QString& path, const QStringList& inputs)
{
    const QString target = QFileInfo(path).absoluteFilePath();
    if (target == m_path)
        return writeProject(target, !m_folderReadOnly, inputs);
    const bool beside = !m_keepsWorkingCopy || folderWritable(target);
    StorageResult refusal;
    std::unique_ptr<ProjectLock> previousLock = std::move(m_lock);
    if (!lockProject(target, beside, refusal)) {
        m_lock = std::move(previousLock);
        return failed(refusal);
    }
    const QString previousWorkingCopy = WorkingCopyPath();
    const QString previousName = m_name;
    // The name follows the file before writing, so the file and the window agree.
    setName(QFileInfo(target).completeBaseName());
    Result result = writeProject(target, beside, inputs);
    if (!result.done()) {
        setName(previousName);
        m_lock = std::move(previousLock);
        return result;
    }
    previousLock.reset();
    if (!previousWorkingCopy.isEmpty() && m_keepsWorkingCopy && previousWorkingCopy != m_storage->path())
        removeWorkingCopy(previousWorkingCopy, m_folderReadOnly);
    setPath(target);
    setFolderReadOnly(!beside);
    return result;
}

CmDocument::Result CmDocument::writeProject(const QString& path, bool beside, const QStringList& inputs)
{
    const BusyScope busy(*m_busyState);
    const auto write = [&]() -> Result {
        // What is written is this revision; a change made meanwhile keeps the document unsaved.
        const quint64 writing = m_revision;
        DocumentProperties properties = m_storage->properties();
        properties.setValue(QStringLiteral("Title"), m_name);
        const StorageResult written = writeModel();
        if (!written)
            return failed(written);
        // The project file is replaced only by a complete file; then the working copy follows it.
        const StorageResult projectWritten = m_storage->saveAs(path, inputs);
        if (!projectWritten)
            return failed(projectWritten);
        if (m_keepsWorkingCopy) {
            const StorageResult working = m_storage->saveAs(workingCopyOf(path, beside), {}, FileBytes::Name::Own);
            ReportError(working, QStringLiteral("CmDocument.SaveFile"));
        }
        markSaved(writing);
        emit saved();
        return Result{};
    };
    return ProcedureBoundary::runOrElse("CmDocument.SaveFile", write, [](const std::exception& error) {
        return Result{Outcome::Failed, StorageResult::failure(StorageErrorKind::Io, QString::fromUtf8(error.what()))};
    });
}

void CmDocument::CloseDocument()
{
    ProcedureBoundary::run("CmDocument.CloseDocument", [&] {
        if (m_storage->isOpen())
            m_storage->close();
        const QString workingCopy = WorkingCopyPath();
        m_lock.reset();
        if (m_keepsWorkingCopy && !workingCopy.isEmpty() && workingCopy != m_path)
            removeWorkingCopy(workingCopy, m_folderReadOnly);
        setPath(QString());
        setFolderReadOnly(false);
        setDirty(false);
        emit closed();
    });
}

QString CmDocument::SaveKVDDlg()
{
    const std::optional<QString> picked =
        m_prompt ? m_prompt->SaveFileDialog(LoadResString(SaveFileTitleId), LoadResString(DesktopFilterId), m_currentPath)
            : std::nullopt;
    if (!picked)
        return QString();
    m_currentPath = QFileInfo(*picked).absolutePath();
    return withExtension(*picked, QStringLiteral("kvd"));
}

QString CmDocument::SaveKvwDlg()
{
    const std::optional<QString> picked =
        m_prompt ? m_prompt->SaveFileDialog(LoadResString(CompileToTitleId), LoadResString(WebFilterId), m_currentPath)
            : std::nullopt;
    if (!picked)
        return QString();
    m_currentPath = QFileInfo(*picked).absolutePath();
    return withExtension(*picked, QStringLiteral("kvw"));
}

void CmDocument::ShowPropertiesForm()
{
    if (!m_prompt)
        return;
    ProcedureBoundary::run("CmDocument.ShowPropertiesForm", [&] {
        DocumentProperties stored = m_storage->properties();
        QMap<QString, QString> values;
        for (const QString& name : DocumentPropertyNames) {
            QString value;
            stored.value(name, value);
            values.insert(name, value);
        }
        values.insert(QStringLiteral("Title"), m_name);
        const QMap<QString, QString> before = values;
        if (!m_prompt->DocumentPropertiesDialog(values) || values == before)
            return;
        for (auto value = values.cbegin(); value != values.cend(); ++value)
            stored.setValue(value.key(), value.value());
        setName(values.value(QStringLiteral("Title")));
        setDirty(true);
    });
}

void CmDocument::ClearCallApps()
{
    m_callAppNames = QStringList(CallAppRoom + 1);
    m_callAppClasses = QStringList(CallAppRoom + 1);
    m_callAppCount = 0;
}

void CmDocument::growCallApps(int index)
{
    if (index >= m_callAppNames.size()) {
        m_callAppNames.resize(index + 1);
        m_callAppClasses.resize(index + 1);
    }
    if (index > m_callAppCount)
        m_callAppCount = static_cast<qint16>(index);
}

QString CmDocument::CallAppName(int index) const
{
    return m_callAppNames.value(index);
}

void CmDocument::setCallAppName(int index, const QString& name)
{
    if (index < 1)
        return;
    growCallApps(index);
    m_callAppNames[index] = name;
}

QString CmDocument::CallAppClass(int index) const
{
    return m_callAppClasses.value(index);
}

void CmDocument::setCallAppClass(int index, const QString& classId)
{
    if (index < 1)
        return;
    growCallApps(index);
    m_callAppClasses[index] = classId;
}

void CmDocument::setName(const QString& name)
{
    m_name = name;
    if (m_storage->isOpen())
        m_storage->properties().setValue(QStringLiteral("Title"), name);
    emit nameChanged(name);
}

void CmDocument::setDirty(bool dirty)
{
    if (dirty) {
        const bool wasDirty = Dirty();
        ++m_revision;
        emit revisionChanged(m_revision);
        if (!wasDirty)
            emit dirtyChanged(true);
        return;
    }
    markSaved(m_revision);
}

void CmDocument::markSaved(quint64 revision)
{
    const bool wasDirty = Dirty();
    m_savedRevision = revision;
    if (wasDirty != Dirty())
        emit dirtyChanged(Dirty());
}

void CmDocument::setBusyState(BusyState* state)
{
    disconnect(m_busyForward);
    m_busyState = state ? state : &m_ownBusyState;
    m_busyForward = connect(m_busyState, &BusyState::busyChanged, this, &CmDocument::busyChanged);
}

void CmDocument::setPath(const QString& path)
{
    m_path = path;
    m_fileName = path.isEmpty() ? QString() : QFileInfo(path).fileName();
}

QString CmDocument::WorkingCopyPath() const
{
    return m_path.isEmpty() ? QString() : workingCopyOf(m_path, !m_folderReadOnly);
}

QString CmDocument::WorkingCopyFor(const QString& project) const
{
    return workingCopyOf(project, !m_keepsWorkingCopy || folderWritable(project));
}

QString CmDocument::workingCopyOf(const QString& project, bool beside)
{
    if (beside || project.isEmpty())
        return MCommonUtil::GetTempFile(project);
    // One folder per project folder: two projects of one name in different folders keep their own.
    const QFileInfo info(project);
    const QByteArray folderHash =
        QCryptographicHash::hash(QFile::encodeName(info.absolutePath()), QCryptographicHash::Sha1).toHex().left(16);
    return MCommonUtil::GetTempFile(QDir(StateFolder()).filePath(QString::fromLatin1(folderHash) + QLatin1Char('/') + info.fileName()));
}

void CmDocument::removeWorkingCopy(const QString& workingCopy, bool inStateFolder)
{
    QFile::remove(workingCopy);
    // The project's own folder there goes with its last file.
    if (inStateFolder)
        QDir().rmdir(QFileInfo(workingCopy).absolutePath());
}

QString CmDocument::StateFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)).filePath(QStringLiteral("working-copies"));
}

QString CmDocument::DocumentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

void CmDocument::setFolderCheck(FolderCheck check)
{
    m_folderCheck = std::move(check);
}

bool CmDocument::folderWritable(const QString& project) const
{
    const QString folder = QFileInfo(project).absolutePath();
    return m_folderCheck ? m_folderCheck(folder) : QFileInfo(folder).isWritable();
}

void CmDocument::setFolderReadOnly(bool readOnly)
{
    if (readOnly == m_folderReadOnly)
        return;
    m_folderReadOnly = readOnly;
    emit readOnlyChanged(ReadOnly());
}

QStringList CmDocument::OpenFiles() const
{
    QStringList files;
    for (const QString& file : {m_path, m_storage->path()}) {
        if (!file.isEmpty() && !files.contains(file))
            files.append(file);
    }
    return files;
}

StorageResult CmDocument::writeModel()
{
    // Saving with nothing to write would replace the project with an empty one.
    if (!m_modelWriter)
        return StorageResult::failure(StorageErrorKind::Io, LoadResString(NothingToWriteId));
    emit aboutToSave();
    return m_modelWriter();
}

CmDocument::Result CmDocument::failed(const StorageResult& result)
{
    return {Outcome::Failed, result};
}

void CmDocument::mDocIO_PercentDone(int percent)
{
    emit progressChanged(percent);
}

void CmDocument::mDocIO_FinishOperation()
{
    // Work that is over shows no progress, not a bar standing at 0 %.
    emit progressChanged(-1);
}

void CmDocument::IClassPersistable_WriteProperties(PropertyBag& bag) const
{
    bag.WriteProperty(QStringLiteral("DocumentName"), m_name, QString());
    bag.WriteProperty(QStringLiteral("FileTypeSet"), m_fileTypeSet, false);
    bag.WriteProperty(QStringLiteral("FileType"), m_fileType, 0);
    bag.WriteProperty(QStringLiteral("CallAppCount"), m_callAppCount, 0);
    for (int i = 1; i <= m_callAppCount; ++i)
        bag.WriteProperty(QStringLiteral("CallAppName%1").arg(i), CallAppName(i), QString());
    for (int i = 1; i <= m_callAppCount; ++i)
        bag.WriteProperty(QStringLiteral("CallAppClass%1").arg(i), CallAppClass(i), QString());
    bag.WriteProperty(QStringLiteral("KVWAutoDetermineURL"), m_webSettings.AutoDetermineURL, false);
    bag.WriteProperty(QStringLiteral("KVWEarlyFinish"), m_webSettings.EarlyFinish, false);
    bag.WriteProperty(QStringLiteral("KVWHostUrl"), m_webSettings.HostUrl, QString());
    bag.WriteProperty(QStringLiteral("KVWTemplate"), m_webSettings.Template, QString());
}

void CmDocument::IClassPersistable_ReadProperties(PropertyBag& bag)
{
    ProcedureBoundary::run("CmDocument.IClassPersistable_ReadProperties", [&] {
        setName(bag.ReadProperty(QStringLiteral("DocumentName"), QString()).toString());
        m_fileTypeSet = bag.ReadProperty(QStringLiteral("FileTypeSet"), false).toBool();
        m_fileType = bag.ReadProperty(QStringLiteral("FileType"), 0).toInt();
        ClearCallApps();
        const int count = bag.BoundedCount(QStringLiteral("CallAppCount"), {u"CallAppName", u"CallAppClass"});
        for (int i = 1; i <= count; ++i) {
            setCallAppName(i, bag.ReadProperty(QStringLiteral("CallAppName%1").arg(i), QString()).toString());
            setCallAppClass(i, bag.ReadProperty(QStringLiteral("CallAppClass%1").arg(i), QString()).toString());
        }
        m_webSettings.AutoDetermineURL = bag.ReadProperty(QStringLiteral("KVWAutoDetermineURL"), false).toBool();
        m_webSettings.EarlyFinish = bag.ReadProperty(QStringLiteral("KVWEarlyFinish"), false).toBool();
        m_webSettings.HostUrl = bag.ReadProperty(QStringLiteral("KVWHostUrl"), QString()).toString();
        m_webSettings.Template = bag.ReadProperty(QStringLiteral("KVWTemplate"), QString()).toString();
    });
}
