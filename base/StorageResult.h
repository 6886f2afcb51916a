#pragma once

#include <QString>

// The outcome of a storage operation: what failed and a message the user can read.
// ChecksumMismatch: the file reads, but its content is not what was saved (damage on disk).
// Refused: the file reads, but holds what this program will not load (the message says what).
enum class StorageErrorKind { None, Corrupt, InUse, NotFound, Io, ChecksumMismatch, Refused };

struct StorageResult {
    StorageErrorKind kind = StorageErrorKind::None;
    QString message;

    bool ok() const { return kind == StorageErrorKind::None; }
    explicit operator bool() const { return ok(); }

    static StorageResult success() { return {}; }
    static StorageResult failure(StorageErrorKind kind, QString message) { return {kind, std::move(message)}; }
};
