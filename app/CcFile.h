#pragma once

#include "base/IPrompt.h"
#include "base/StorageResult.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

// The life of the one open project: new, open, close, save, save as, exit, and the list of
// recently used files.
class CcFile : public QObject {
    Q_OBJECT
public:
    static constexpr int RecentFileCount = 20;
    static constexpr int WorkingCopyInterval = 60 * 1000;

    CcFile();

    bool StartUp() const { return m_startUp; }
    void setStartUp(bool startUp) { m_startUp = startUp; }
    bool Loading() const { return m_loading; }
    void setLoading(bool loading) { m_loading = loading; }

    void FileNew();
    // An empty path asks for one. False when nothing was opened.
    bool FileOpen(const QString& path = QString());
    // True when the author cancelled at the save prompt; the project then stays open.
    bool FileClose();
    // False when the project was not saved (cancelled or failed; a failure has been shown).
    bool FileSave();
    bool FileSaveAs();
    void FileExit();
    void LoadCustomBlock();
    void ShowPropertiesForm();
    // One explorer entry per selector and picture node of the open document.
    void LoadProjectExplorer();

    void MRUFile(int index);
    void LoadMRUFromReg();
    void AddToMRU(const QString& path = QString());
    void LoadMRU();
    // 1-based; empty outside the list.
    QString GetMRU(int index) const;
    // The non-empty entries, newest first.
    QStringList RecentFiles() const;

    PromptAnswer FileSaveDlg();

    // Writes the model into the working copy, so a crash does not lose the work since the
    // last save. The project file is not touched.
    void SaveWorkingCopy();

signals:
    // The "Recent" submenu follows this list.
    void recentFilesChanged(const QStringList& files);
    // New, open and close change what the project commands may do.
    void projectChanged();
    // An empty project was made (New, or the first one at start-up).
    void projectCreated();

private:
    bool askToSaveChanges();
    bool openProject(const QString& path);
    // After the document opened: the model, the explorer and the diagram.
    bool loadProject(bool recovered);
    bool offerRecovery(const QString& path, bool& recover);
    // A file whose content does not match its checksum may still be looked at.
    bool offerReadOnly(const QString& path, const StorageResult& mismatch);
    void showOpenFailure(const StorageResult& failure);
    void createEmptyProject();

    bool m_startUp = false;
    bool m_loading = false;
    QStringList m_recent;
    QTimer m_workingCopyTimer;
};
