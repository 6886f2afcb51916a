#include "app/CcGettingStarted.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "app/CcFile.h"
#include "base/ErrorLog.h"
#include "base/ProcedureBoundary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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
            const QString sample = SampleProjectPath();
            if (!sample.isEmpty())
                file.FileOpen(sample);
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
