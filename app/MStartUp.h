#pragma once

#include <QString>

class IPrompt;
class IWindowHost;

// Process start and orderly exit.
namespace MStartUp {

enum class StartResult { Running, EndedAsSecondInstance };

// Steps 1 to 8 of start-up; the caller runs the event loop when the result is Running.
StartResult Main(IPrompt& prompt, IWindowHost& windows, const QString& commandLine);

// True when the program may end; false when the author cancelled at the save prompt, in
// which case nothing has been torn down.
bool ExitProgram(IWindowHost& windows);

// Brings the running instance to the front; false when there is none.
bool ActivatePrevInstance(IWindowHost& windows);

// The path derived from the whole command-line text.
QString CommandLinePath(const QString& commandLine);

// "Morvane Corporation", "Version" and the program's version.
QString SplashText();

} // namespace MStartUp
