#pragma once

#include <QObject>
#include <QString>

// The getting-started wizard: a welcome window that offers a new project, an existing file
// or the sample. It runs beside the main window until the author picks one.
class CcGettingStarted : public QObject {
    Q_OBJECT
public:
    enum class Choice { NewProject, OpenFile, OpenSample };

    void StartWizard();
    void FileToOpen(const QString& path);
    void ShowWizard();
    void StopWizard();
    bool Running() const { return m_running; }

    const QString& PendingFile() const { return m_fileToOpen; }

    // The author's pick: carried out through the file controller, then the wizard stops.
    // A path is needed only for OpenFile.
    void Choose(Choice choice, const QString& path = QString());

    // The sample installed beside the program; empty when it is not there.
    static QString SampleProjectPath();

signals:
    void started();
    void fileToOpenChanged(const QString& path);
    void raiseRequested();
    void stopped();

private:
    bool m_running = false;
    QString m_fileToOpen;
};
