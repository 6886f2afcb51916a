#pragma once

#include <QByteArray>
#include <QString>

// Golden files of the compiler tests live in tests/compile/data. With KV_WRITE_GOLDEN=1 in the
// environment a comparison writes the actual bytes there instead, for review before commit.
namespace GoldenFile {

// True when actual equals the file byte for byte; otherwise message says where they part.
bool matches(const QString& name, const QByteArray& actual, QString& message);

} // namespace GoldenFile
