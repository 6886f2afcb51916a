#include "app/CcGettingStarted.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "app/CcFile.h"
#include "base/ErrorLog.h"
#include "base/ProcedureBoundary.h"
#include "model/CmDocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// What a Designer or a test run leaves beside a project while it is open is not the sample.
bool leftByARun(const QString& name)
{
    for (const QLatin1String suffix : {QLatin1String(".tmp"), QLatin1String(".lock"), QLatin1String(".testrun.kvd")}) {
        if (name.endsWith(suffix, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool copyWritable(const QString& from, const QString& to, QString& problem)
{
    QFile source(from);
    if (!source.copy(to)) {
        problem = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(to), source.errorString());
        return false;
    }
    // Installed files may be read-only; the author's copy is theirs to change.
    QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return true;
}

} // namespace

void CcGettingStarted::StartWizard()
{
    m_running = true;
    m_fileToOpen.clear();
    emit started();
}

void CcGettingStarted::FileToOpen(const QString& path)
{
    m_fileToOpen = path;
    emit fileToOpenChanged(path);
}

void CcGettingStarted::ShowWizard()
{
    if (m_running)
        emit raiseRequested();
}

void CcGettingStarted::StopWizard()
{
    if (!m_running)
        return;
    m_running = false;
    emit stopped();
}

void CcGettingStarted::Choose(Choice choice, const QString& path)
{
    StopWizard();
    if (!gApp)
        return;
    ProcedureBoundary::run("CcGettingStarted.Choose", [&] {
        CcFile& file = gApp->Controller().File();
        switch (choice) {
        case Choice::NewProject:
            // The author has just chosen; the new-or-open dialog would ask the same again.
            file.setStartUp(true);
            file.FileNew();
            file.setStartUp(false);
            break;
        case Choice::OpenFile: file.FileOpen(path); break;
        case Choice::OpenSample: {
            const QString sample = SampleProject();
            if (sample.isEmpty())
                break;
            QString problem;
            const QString copy = CopySample(sample, SampleCopyFolder(), problem);
            // Without a copy the installed sample still opens, read-only where it cannot be written.
            if (copy.isEmpty())
                ReportError(StorageResult::failure(StorageErrorKind::Io, problem), QStringLiteral("CcGettingStarted.Choose"));
            file.FileOpen(copy.isEmpty() ? sample : copy);
            break;
        }
        }
    });
}

QString CcGettingStarted::SampleProjectPath()
{
    // Installed: <prefix>/share/kestrova/examples; in the build tree: <build>/examples.
    const QDir programDir(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {QStringLiteral("../share/kestrova/examples/laptop-selector.kvp"),
                                     QStringLiteral("../examples/laptop-selector.kvp"),
                                     QStringLiteral("examples/laptop-selector.kvp")}) {
        const QFileInfo info(programDir.filePath(candidate));
        if (info.isFile())
            return info.canonicalFilePath();
    }
    return QString();
}

QString CcGettingStarted::SampleProject() const
{
    return m_sample.isEmpty() ? SampleProjectPath() : m_sample;
}

QString CcGettingStarted::SampleCopyFolder()
{
    return QDir(CmDocument::DocumentsFolder()).filePath(QStringLiteral("Kestrova"));
}

QString CcGettingStarted::CopySample(const QString& sample, const QString& folder, QString& problem)
{
    const QFileInfo source(sample);
    const QDir target(folder);
    const QString copy = target.filePath(source.fileName());
    if (QFileInfo::exists(copy))
        return copy;
    if (!QDir().mkpath(folder)) {
        problem = QStringLiteral("%1: the folder cannot be made").arg(QDir::toNativeSeparators(folder));
        return QString();
    }
    const QDir from = source.dir();
    const QStringList beside = from.entryList({source.completeBaseName() + QStringLiteral(".*")}, QDir::Files);
    for (const QString& name : beside) {
        if (name == source.fileName() || leftByARun(name) || target.exists(name))
            continue;
        if (!copyWritable(from.filePath(name), target.filePath(name), problem))
            return QString();
    }
    // The project last: a copy broken off before it is not taken for a finished one.
    return copyWritable(sample, copy, problem) ? copy : QString();
}
