#include "app/MStartUp.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "project/CModel.h"
#include "app/CRegistry.h"
#include "app/CView.h"
#include "app/CcFile.h"
#include "app/CcGettingStarted.h"
#include "base/ErrorLog.h"
#include "base/IPrompt.h"
#include "app/IWindowHost.h"
#include "app/MRegistry.h"
#include "base/ProcedureBoundary.h"
#include "base/ResourceStrings.h"
#include "base/StartUpTables.h"
#include "lang/StringBuffer.h"

namespace {

constexpr int MakerNameId = 44;
constexpr int VersionCaptionId = 49;
constexpr int SecondInstanceTitleId = 30001;
constexpr int SecondInstanceTextId = 30002;

bool refuseSecondInstance(IPrompt& prompt, IWindowHost& windows)
{
    if (!windows.IsAnotherInstanceRunning())
        return false;
    prompt.MessageBox(LoadResString(SecondInstanceTextId), LoadResString(SecondInstanceTitleId),
                      PromptButtons::Ok, PromptIcon::Critical);
    // When the other instance cannot be reached, this one goes on starting.
    return MStartUp::ActivatePrevInstance(windows);
}

void openStartingDocument(const QString& commandLine)
{
    const QString path = MStartUp::CommandLinePath(commandLine);
    CController& controller = gApp->Controller();
    if (CRegistry::Read(QString(), QStringLiteral("NoGSRun")) != QLatin1String("1")) {
        controller.GettingStarted().StartWizard();
        if (!path.isEmpty())
            controller.GettingStarted().FileToOpen(path);
        return;
    }
    if (path.isEmpty())
        controller.File().FileNew();
    else
        controller.File().FileOpen(path);
}

} // namespace

QString MStartUp::CommandLinePath(const QString& commandLine)
{
    // The whole text is one path; shells may hand it over quoted.
    QString path = StringBuffer(commandLine).Trim().Value();
    if (path.size() >= 2 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
        path = path.mid(1, path.size() - 2);
    return path;
}

QString MStartUp::SplashText()
{
    return LoadResString(MakerNameId) + QLatin1Char('\n') + LoadResString(VersionCaptionId) + QLatin1Char(' ')
           + QStringLiteral("%1.%2.%3").arg(KV_VERSION_MAJOR).arg(KV_VERSION_MINOR).arg(KV_VERSION_PATCH);
}

MStartUp::StartResult MStartUp::Main(IPrompt& prompt, IWindowHost& windows, const QString& commandLine)
{
    if (refuseSecondInstance(prompt, windows))
        return StartResult::EndedAsSecondInstance;
    StartUpTables::Fill();
    gApp = std::make_unique<CApplication>(prompt, windows);
    windows.ShowSplash(SplashText());
    gApp->Init();
    gApp->View().Show();
    ProcedureBoundary::run("MStartUp.Main", [&] {
        openStartingDocument(commandLine);
    });
    return StartResult::Running;
}

bool MStartUp::ActivatePrevInstance(IWindowHost& windows)
{
    return windows.ActivateOtherInstance();
}

bool MStartUp::ExitProgram(IWindowHost& windows)
{
    // A close that arrives while a save or a read runs would tear the application down under
    // it; the author closes again once it has finished.
    if (gApp && gApp->IsBusy())
        return false;
    WriteErrorLog(QString());
    if (gApp) {
        const bool cancelled = ProcedureBoundary::runOr("MStartUp.ExitProgram", false, [&] {
            // A test run and the control and action wizards end before the save question.
            gApp->View().StopRunningWindowTools();
            if (gApp->Controller().GettingStarted().Running())
                gApp->Controller().GettingStarted().StopWizard();
            if (gApp->Controller().File().FileClose())
                return true;
            gApp->View().HideProgressBar();
            gApp->View().SetStatus(QString());
            MRegistry::SaveToRegistry();
            return false;
        });
        if (cancelled)
            return false;
        gApp.reset();
    }
    windows.CloseAllWindows();
    return true;
}
