#pragma once

#include <QObject>
#include <QString>

// The getting-started wizard: a welcome window that offers a new project, an existing file
// or the sample. It runs beside the main window until the author picks one. The sample opens as
// the author's own copy in their documents folder, made at the first pick and kept after.
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
    // The sample this wizard offers: the installed one unless another was set.
    QString SampleProject() const;
    void setSampleProject(const QString& path) { m_sample = path; }
    // Where the author's copy of the sample goes.
    static QString SampleCopyFolder();
    // The author's copy of sample in folder, with the files beside it that share its name (its
    // journeys, answers, rules); a copy made before is kept as the author left it. Empty, with
    // the reason in problem, when no copy could be made.
    static QString CopySample(const QString& sample, const QString& folder, QString& problem);

signals:
    void started();
    void fileToOpenChanged(const QString& path);
    void raiseRequested();
    void stopped();

private:
    bool m_running = false;
    QString m_fileToOpen;
    QString m_sample;
};
