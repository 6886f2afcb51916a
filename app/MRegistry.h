#pragma once

#include <QString>

// The settings store at start-up and at exit: window layout, preferences and recent files.
namespace MRegistry {

// The layout format "LayoutVersion" records; with any other value the saved layout is not used.
inline constexpr char CurrentLayoutVersion[] = "1.51";

// Read once while the view initialises.
void LoadFromRegistry();
// Written once at exit, after the document has been closed.
void SaveToRegistry();

void LoadLayout();
void SaveLayout();
void LoadWindowSettings();
void SaveWindowSettings();
void SaveMRU();

// "Layout.tb2", the arrangement saved at the last exit, in the per-user data folder.
QString SavedLayoutPath();
// "Default.tb2", the arrangement installed with the program.
QString DefaultLayoutPath();
// The program's folder followed by "/".
QString ProgramPath();

} // namespace MRegistry
