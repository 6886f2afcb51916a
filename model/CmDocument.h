#pragma once

#include "base/BusyState.h"
#include "base/IPrompt.h"
#include "model/KvwSettings.h"
#include "persist/IClassPersistable.h"
#include "persist/ProjectLock.h"
#include "persist/StorageDocument.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

// The open project as a document: the storage document, name, path and change flag, the
// runtime target, the calling applications and the web settings. While a project is open the
// work goes to a working copy beside it; the project file is replaced only by a complete save.
// A project in a folder the user cannot write (an installed sample) opens read-only: its working
// copy and lock are kept in the user's data folder and Save asks for a new place.
class CmDocument : public QObject, public IClassPersistable {
    Q_OBJECT
public:
    static constexpr int ClassId = 3;
    enum class Outcome { Done, Cancelled, Failed };
    struct Result {
        Outcome outcome = Outcome::Done;
        StorageResult storage; // what failed, for Failed
        bool done() const { return outcome == Outcome::Done; }
    };

    // Writes the whole model into the open storage document before a save.
    using ModelWriter = std::function<StorageResult()>;

    CmDocument();
    ~CmDocument() override;

    // Who answers the document's questions; without one nothing is asked and nothing is lost.
    void setPrompt(IPrompt* prompt) { m_prompt = prompt; }
    void setModelWriter(ModelWriter writer) { m_modelWriter = std::move(writer); }
    // The program's one busy state, which opening and saving enter; the document's own without.
    void setBusyState(BusyState* state);
    BusyState& busyState() const { return *m_busyState; }
    // Without a working copy (the command line) the project file is read and written directly,
    // and a working copy a Designer left beside it is not touched.
    void setKeepsWorkingCopy(bool keeps) { m_keepsWorkingCopy = keeps; }
    // Whether a folder can be written: the file system's answer unless one is fed (an account
    // that may write everywhere cannot otherwise see the rule for the others).
    using FolderCheck = std::function<bool(const QString& folder)>;
    void setFolderCheck(FolderCheck check);
    // Where working copies of projects in folders that cannot be written go.
    static QString StateFolder();

    static QString DefaultName() { return QStringLiteral("DecisionTree1"); }

    // False when the author cancelled at the save prompt.
    bool NewDocument();
    // An empty path asks for one. On success the model has been cleared for reading.
    // With recoverWorkingCopy the work left in the working copy is read instead of the file.
    Result OpenDocument(const QString& path, bool recoverWorkingCopy = false);
    // Reads a project for looking at it only: no working copy, nothing held, nothing written.
    // With Checksum::Accept a project whose content does not match its checksum opens too.
    Result InspectDocument(const QString& path, StorageDocument::Checksum checksum = StorageDocument::Checksum::Verify);
    // Writes the model into the working copy only; the project file stays as it is.
    StorageResult SaveWorkingCopy();
    // Writes the model and replaces the project file with it; asks for a path when there is none.
    Result SaveFile();
    Result SaveFileAs();
    // Writes the model under this path without asking; never over one of inputs, the files
    // the caller read to make the model.
    Result SaveFileAs(const QString& path, const QStringList& inputs = {});
    void CloseDocument();
    QString SaveKVDDlg();
    QString SaveKvwDlg();
    PromptAnswer AskSaveDlg();
    void ShowPropertiesForm();
    void ClearCallApps();

    const QString& Name() const { return m_name; }
    void setName(const QString& name);
    const QString& FileName() const { return m_fileName; }
    const QString& Path() const { return m_path; }
    // Unsaved while the revision differs from the one the last save wrote. Every change of any
    // part of the project moves the revision on, so a change made while a save runs stays unsaved.
    bool Dirty() const { return m_revision != m_savedRevision; }
    // True moves the revision on; false takes the current revision as saved (a new, opened or
    // closed project, or a change the author chose to throw away).
    void setDirty(bool dirty);
    void MarkChanged() { setDirty(true); }
    quint64 Revision() const { return m_revision; }
    quint64 SavedRevision() const { return m_savedRevision; }
    const QString& CurrentPath() const { return m_currentPath; }
    void setCurrentPath(const QString& folder) { m_currentPath = folder; }
    bool Busy() const { return m_busyState->busy(); }
    bool FileTypeSet() const { return m_fileTypeSet; }
    void setFileTypeSet(bool set) { m_fileTypeSet = set; }
    qint32 FileType() const { return m_fileType; }
    void setFileType(qint32 type) { m_fileType = type; }

    // Indexed from 1; reading past the end gives empty text.
    QString CallAppName(int index) const;
    void setCallAppName(int index, const QString& name);
    QString CallAppClass(int index) const;
    void setCallAppClass(int index, const QString& classId);
    qint16 CallAppCount() const { return m_callAppCount; }

    KvwSettings& WebSettings() { return m_webSettings; }
    const KvwSettings& WebSettings() const { return m_webSettings; }

    StorageDocument& Storage() { return *m_storage; }
    const StorageDocument& Storage() const { return *m_storage; }
    // The working copy of the open project; empty for a project never saved.
    QString WorkingCopyPath() const;
    // The working copy a project opened now would have: beside it when its folder can be
    // written, else in StateFolder() under a folder of its own folder's hash.
    QString WorkingCopyFor(const QString& project) const;
    // The files the open project was read from (the project file, its working copy), which
    // no output may replace.
    QStringList OpenFiles() const;
    // The project cannot be saved where it is: only looked at, or its folder cannot be written.
    bool ReadOnly() const { return m_storage->isReadOnly() || m_folderReadOnly; }
    // Where Save As suggests saving a project that is read-only for its folder.
    static QString DocumentsFolder();

    int IClassPersistable_UCID() const override { return ClassId; }
    void IClassPersistable_ReadProperties(PropertyBag& bag) override;
    void IClassPersistable_WriteProperties(PropertyBag& bag) const override;

signals:
    void nameChanged(const QString& name);
    void dirtyChanged(bool dirty);
    void revisionChanged(quint64 revision);
    void busyChanged(bool busy);
    void statusChanged(const QString& text);
    void progressChanged(int percent);
    // The model is about to be written (a save, or the timed working copy): editors holding
    // changes of their own hand them in.
    void aboutToSave();
    // The project file was written by Save or Save As.
    void saved();
    // A project was opened, read-only ones included: whatever the model held belongs to the
    // previous one.
    void opened();
    // The open project was closed (before another opens, or for good): windows showing a part
    // of it close.
    void closed();
    // ReadOnly() changed: opened from or saved into a folder of the other kind.
    void readOnlyChanged(bool readOnly);

private:
    void mDocIO_PercentDone(int percent);
    void mDocIO_FinishOperation();
    void setPath(const QString& path);
    void setFolderReadOnly(bool readOnly);
    bool folderWritable(const QString& project) const;
    // The working copy of project, beside it or in the state folder.
    static QString workingCopyOf(const QString& project, bool beside);
    static void removeWorkingCopy(const QString& workingCopy, bool inStateFolder);
    void markSaved(quint64 revision);
    Result failed(const StorageResult& result);
    // Holds the project against a second Designer; false when another one holds it.
    bool lockProject(const QString& path, bool beside, StorageResult& refusal);
    Result startWorkingCopy(const QString& projectPath, bool recoverWorkingCopy);
    // beside: whether the working copy goes beside path or into the state folder.
    Result writeProject(const QString& path, bool beside, const QStringList& inputs = {});
    void growCallApps(int index);
    StorageResult writeModel();

    IPrompt* m_prompt = nullptr;
    bool m_keepsWorkingCopy = true;
    FolderCheck m_folderCheck;
    bool m_folderReadOnly = false;
    ModelWriter m_modelWriter;
    std::unique_ptr<StorageDocument> m_storage;
    std::unique_ptr<ProjectLock> m_lock;
    BusyState m_ownBusyState;
    BusyState* m_busyState = &m_ownBusyState;
    QMetaObject::Connection m_busyForward;
    QString m_name = DefaultName();
    QString m_fileName;
    QString m_path;
    quint64 m_revision = 0;
    quint64 m_savedRevision = 0;
    QString m_currentPath;
    bool m_fileTypeSet = false;
    qint32 m_fileType = 0;
    QStringList m_callAppNames;
    QStringList m_callAppClasses;
    qint16 m_callAppCount = 0;
    KvwSettings m_webSettings;
};
