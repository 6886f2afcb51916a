#pragma once

#include "base/StorageResult.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Whole files in and out, and the one place every output is written. Writing never leaves a
// half-written target: the bytes go to a part file beside the target (".<name>.kv-part"), are
// flushed to disk and then renamed over the target. The part file is always made afresh, never
// through a link: whatever a write killed half way left at its name is removed first (a link
// itself, never the file it names). Two writers of one target take turns. Only a regular file is
// ever replaced: a folder, a named pipe or a device at the path is refused, and so is a file the
// writer reads (a symbolic link at a name the user gave is followed, the file it names is written).
class FileBytes {
public:
    using Progress = std::function<void(int percent)>;

    // Whose choice the target's name is. A name the program makes beside a project (a working
    // copy, a log, an exported picture) may hold a link put there by whoever shares the folder:
    // such a link is replaced by the file written, never followed.
    enum class Name { Given, Own };

    // The kinds of named input, each read up to a size of its own (docs/RELIABILITY.md), so
    // that a hostile path never makes a read run without end.
    enum class Input { Answers, Journeys, RulesText, SelectorTable, WebTree, Picture, Dictionary, PageTemplate, Secret, Project };
    static qint64 sizeLimit(Input kind);
    // Why a file of the kind larger than its limit is not read.
    static QString tooLargeReason(Input kind);
    // Reads a regular file of at most the kind's size; anything else is refused with the reason
    // (a named pipe or a device is never waited on or read from).
    static StorageResult read(const QString& filePath, QByteArray& bytes, Input kind);
    // The same read as UTF-8 text, without a byte order mark. Bytes that are no UTF-8 refuse the
    // read, naming the line and the byte: text is never changed silently.
    static StorageResult readText(const QString& filePath, QString& text, Input kind);
    // Where bytes stop being UTF-8: the offset of the first byte that belongs to no character,
    // or -1 when all of them are text.
    static qsizetype invalidUtf8(const QByteArray& bytes);

    struct WriteOptions {
        Progress progress;
        // The files the writer reads; the target may not be any of them.
        QStringList inputs;
        // For tests: stop with a failure once this many bytes are written (-1: never).
        qint64 failAfterBytes = -1;
        Name name = Name::Given;
    };
    static StorageResult write(const QString& filePath, const QByteArray& bytes);
    static StorageResult write(const QString& filePath, const QByteArray& bytes, const WriteOptions& options);

    // Whether a path names a regular file to read: NotFound when nothing is there, Io naming
    // what is there instead (a folder, a named pipe ...). Reading a pipe would wait for a writer.
    static StorageResult checkInput(const QString& filePath);
    // Why what is at the path, itself and not what a link there names, is no regular file; empty
    // for a regular file or nothing.
    static QString whyNotRegular(const QString& filePath);
    // Whether a file may be written at the path, as write() checks before it writes.
    static StorageResult checkOutput(const QString& filePath, const QStringList& inputs, Name name = Name::Given);

    // The part file a write to target goes through: named after the target, or after a hash of
    // its name when the name is too long for more, so that a write cut short is cleaned by the
    // next one.
    static QString partPath(const QString& target);

private:
    // Makes the part file afresh and holds it against another writer.
    static StorageResult holdPart(QFile& file, const QString& partName, const QString& shownPath);
    // What is at the part file's name when it cannot be made: nothing once one left behind (or a
    // link) is removed; a failure for what may not be removed; nullopt while another writer holds it.
    static std::optional<StorageResult> clearPart(const QByteArray& part, const QString& shownPath);
    static StorageResult writePart(QFile& file, const QString& shownPath, const QByteArray& bytes,
                                   const WriteOptions& options);
    static StorageResult replaceTarget(QFile& file, const QString& part, const QString& target, const QString& shownPath);
    // Whether the file held is still the one at the part file's name.
    static bool isPart(const QFile& file, const QString& part);
    static StorageResult notSaved(const QString& filePath, const QString& reason);
    // Makes the rename itself durable; without it a power cut may bring the old file back.
    static void syncFolder(const QString& filePath);
};
