#pragma once

#include "base/StorageResult.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>

// Whole files in and out, and the one place every output is written. Writing never leaves a
// half-written target: the bytes go to a part file beside the target (".<name>.kv-part"), are
// flushed to disk and then renamed over the target. A writer killed half way leaves at most that
// part file, which the next write to the same target takes over; two writers of one target take
// turns. Only a regular file is ever replaced: a folder, a named pipe or a device at the path is
// refused, and so is a file the writer reads (a symbolic link is followed, the file it names is
// written).
class FileBytes {
public:
    using Progress = std::function<void(int percent)>;

    static StorageResult read(const QString& filePath, QByteArray& bytes);

    struct WriteOptions {
        Progress progress;
        // The files the writer reads; the target may not be any of them.
        QStringList inputs;
        // For tests: stop with a failure once this many bytes are written (-1: never).
        qint64 failAfterBytes = -1;
    };
    static StorageResult write(const QString& filePath, const QByteArray& bytes);
    static StorageResult write(const QString& filePath, const QByteArray& bytes, const WriteOptions& options);

    // Whether a path names a regular file to read: NotFound when nothing is there, Io naming
    // what is there instead (a folder, a named pipe ...). Reading a pipe would wait for a writer.
    static StorageResult checkInput(const QString& filePath);
    // Whether a file may be written at the path, as write() checks before it writes.
    static StorageResult checkOutput(const QString& filePath, const QStringList& inputs);

    // The part file a write to target goes through: named after the target, or after a hash of
    // its name when the name is too long for more, so that a write cut short is cleaned by the
    // next one.
    static QString partPath(const QString& target);

private:
    // Opens the part file and holds it against another writer, empty.
    static StorageResult holdPart(QFile& file, const QString& shownPath);
    static StorageResult writePart(QFile& file, const QString& shownPath, const QByteArray& bytes,
                                   const WriteOptions& options);
    static StorageResult replaceTarget(QFile& file, const QString& target, const QString& shownPath);
    static StorageResult notSaved(const QString& filePath, const QString& reason);
    // Makes the rename itself durable; without it a power cut may bring the old file back.
    static void syncFolder(const QString& filePath);
};
