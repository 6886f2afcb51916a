#include "app/MRegistry.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "project/CModel.h"
#include "app/CRegistry.h"
#include "app/CView.h"
#include "app/CcFile.h"
#include "app/IWindowHost.h"
#include "base/KvError.h"
#include "base/ResourceStrings.h"
#include "app/ViewSettings.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "base/ProcedureBoundary.h"
#include "edit/CvDecisionTree.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

constexpr int LoadingSettingsId = 14003;
constexpr int SavingSettingsId = 14004;
constexpr int errObjectNotSet = 91;
constexpr int errPathFileAccess = 75;

// The program's own key, above every section.
const QString ProgramKey;
const QString ViewSection = QStringLiteral("View");
const QString MruSection = QStringLiteral("MRU");

// One step of a procedure: a failure is reported under the procedure's name and the
// procedure goes on with its next step.
using ProcedureBoundary::run;

CApplication& app()
{
    if (!gApp)
        throw KvError(errObjectNotSet, QStringLiteral("MRegistry"),
                      QStringLiteral("Object variable or With block variable not set"));
    return *gApp;
}

KvError fileError(const QString& path, const QString& reason)
{
    return KvError(errPathFileAccess, QFileInfo(path).fileName(), QStringLiteral("Path/File access error: ") + reason);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw fileError(path, file.errorString());
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        throw fileError(path, file.errorString());
}

// The saved arrangement when it was written in the current format, otherwise the installed
// one; empty when neither is there and the windows keep their own arrangement.
QString layoutToLoad()
{
    const bool savedFits = CRegistry::Read(ViewSection, QStringLiteral("LayoutVersion"))
                           == QLatin1String(MRegistry::CurrentLayoutVersion);
    if (savedFits && QFileInfo::exists(MRegistry::SavedLayoutPath()))
        return MRegistry::SavedLayoutPath();
    if (QFileInfo::exists(MRegistry::DefaultLayoutPath()))
        return MRegistry::DefaultLayoutPath();
    return QString();
}

// An installation writes "RegistryDataSet" = 0 to have the stored preferences ignored once.
bool takeFreshInstallation(const char* procedure)
{
    bool isNumber = false;
    const int flag = CRegistry::Read(ProgramKey, QStringLiteral("RegistryDataSet")).trimmed().toInt(&isNumber);
    if (!isNumber || flag != 0)
        return false;
    run(procedure, [] { CRegistry::Write(ProgramKey, QStringLiteral("RegistryDataSet"), QStringLiteral("1")); });
    return true;
}

} // namespace

QString MRegistry::SavedLayoutPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath(QStringLiteral("Layout.tb2"));
}

QString MRegistry::DefaultLayoutPath()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/kestrova/Default.tb2"));
}

QString MRegistry::ProgramPath()
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}

void MRegistry::LoadFromRegistry()
{
    const char* procedure = "MRegistry.LoadFromRegistry";
    run(procedure, [] { app().View().SetStatus(LoadResString(LoadingSettingsId)); });
    LoadLayout();
    LoadWindowSettings();
    // The diagram takes View().Settings().Diagram here once it exists.
    run(procedure, [] {
        CcFile& file = app().Controller().File();
        file.LoadMRUFromReg();
        file.LoadMRU();
    });
}

void MRegistry::SaveToRegistry()
{
    const char* procedure = "MRegistry.SaveToRegistry";
    run(procedure, [] { app().View().SetStatus(LoadResString(SavingSettingsId)); });
    SaveLayout();
    SaveWindowSettings();
    run(procedure, [] { CRegistry::Write(ProgramKey, QStringLiteral("NoGSRun"), QStringLiteral("1")); });
    SaveMRU();
    run(procedure, [] { app().View().SetStatus(QString()); });
}

void MRegistry::LoadLayout()
{
    run("MRegistry.LoadLayout", [] {
        const QString path = layoutToLoad();
        if (!path.isEmpty())
            app().Windows().RestoreWindowLayout(readFile(path));
    });
}

void MRegistry::SaveLayout()
{
    const char* procedure = "MRegistry.SaveLayout";
    // No editor window may hold a control while the arrangement is taken, and the bands of the
    // project's own windows do not belong in it either.
    run(procedure, [] { app().Model().Decisions().setSelected(nullptr); });
    run(procedure, [] {
        for (const char* band : {"barPreview", "barDecisionTree", "barCriteriaList"})
            app().View().HideToolBar(QLatin1String(band));
    });
    run(procedure, [] { CRegistry::Write(ProgramKey, QStringLiteral("Program Path"), ProgramPath()); });
    run(procedure, [] {
        CRegistry::Write(ViewSection, QStringLiteral("LayoutVersion"), QLatin1String(CurrentLayoutVersion));
    });
    run(procedure, [] { writeFile(SavedLayoutPath(), app().Windows().SaveWindowLayout()); });
}

void MRegistry::LoadWindowSettings()
{
    const char* procedure = "MRegistry.LoadWindowSettings";
    run(procedure, [procedure] {
        ViewSettings& settings = app().View().Settings();
        if (takeFreshInstallation(procedure)) {
            // The built-in preferences stay for this run, with the guidance for a new author on.
            settings.Editing.StartDecisionBuilderOnNew = true;
            settings.Editing.StartDTEditorOnOpen = true;
            return;
        }
        settings.Load(procedure);
        run(procedure, [&settings] { app().Windows().PlaceMainWindow(settings.MainWindow); });
        run(procedure, [&settings] {
            LinkPreferences& link = app().Controller().DiagramView().Preferences();
            link.LinkAlways = settings.Diagram.LinkAlways;
            link.LinkExpr = settings.Diagram.LinkExpr;
        });
    });
}

void MRegistry::SaveWindowSettings()
{
    const char* procedure = "MRegistry.SaveWindowSettings";
    run(procedure, [procedure] {
        ViewSettings& settings = app().View().Settings();
        run(procedure, [&settings] { settings.MainWindow = app().Windows().MainWindowPlacement(); });
        run(procedure, [&settings] {
            const LinkPreferences& link = app().Controller().DiagramView().Preferences();
            settings.Diagram.LinkAlways = link.LinkAlways;
            settings.Diagram.LinkExpr = link.LinkExpr;
        });
        settings.Save(procedure);
    });
}

void MRegistry::SaveMRU()
{
    const char* procedure = "MRegistry.SaveMRU";
    for (int index = 1; index <= CcFile::RecentFileCount; ++index) {
        run(procedure, [index] {
            CRegistry::Write(MruSection, QStringLiteral("File%1").arg(index), app().Controller().File().GetMRU(index));
        });
    }
    run(procedure, [] {
        CRegistry::Write(MruSection, QStringLiteral("Path"), app().Model().Document().CurrentPath());
    });
}
