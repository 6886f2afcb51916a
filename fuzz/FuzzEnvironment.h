#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

// What every harness needs before its first input: an application object for Qt, settings and
// logs in a folder of its own, and the tables start-up fills.
namespace FuzzEnvironment {

void prepare();
// The input as the programs read a file: UTF-8 text.
QString text(const std::uint8_t* data, std::size_t size);
// A file of the source tree (examples, tests), read whole.
QString sourceFile(const char* relativePath);
// A folder of this process's own for files a harness writes.
QString scratchFolder();

} // namespace FuzzEnvironment
