#pragma once

#include "base/StorageResult.h"

#include <QByteArray>
#include <QString>

#include <functional>

// Whole files in and out. Writing never leaves a half-written target: the bytes go to a
// temporary file in the same folder, are flushed to disk and then renamed over the target.
class FileBytes {
public:
    using Progress = std::function<void(int percent)>;

    static StorageResult read(const QString& filePath, QByteArray& bytes);

    struct WriteOptions {
        Progress progress;
        // For tests: stop with a failure once this many bytes are written (-1: never).
        qint64 failAfterBytes = -1;
    };
    static StorageResult write(const QString& filePath, const QByteArray& bytes);
    static StorageResult write(const QString& filePath, const QByteArray& bytes, const WriteOptions& options);

private:
    static StorageResult notSaved(const QString& filePath, const QString& reason);
    // Makes the rename itself durable; without it a power cut may bring the old file back.
    static void syncFolder(const QString& filePath);
};
