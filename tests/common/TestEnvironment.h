#pragma once

#include <QString>

// Keeps tests away from the user's own settings and data: both go to a temporary folder.
namespace TestEnvironment {
void prepare();
QString settingsFolder();
// Forgets every setting written so far.
void clearSettings();
} // namespace TestEnvironment
