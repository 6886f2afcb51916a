#pragma once

#include <QString>

// Picture names become file names (the web compile writes name.jpg, export suggests it), so a
// name must be a valid file name on every desktop the trees go to: no folder separators or
// other characters a file system refuses, no leading or trailing dot or blank, no device name.
namespace PictureName {

inline constexpr int MaxLength = 100;

// Why the name cannot be used, for the user; empty when it can.
QString Problem(const QString& name);
// A usable name made from a file's name: its base name with every refused character turned
// into "_"; "Picture" when nothing is left.
QString FromFileName(const QString& filePath);

} // namespace PictureName
