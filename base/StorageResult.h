#pragma once

#include <QString>

// The outcome of a storage operation: what failed and a message the user can read.
enum class StorageErrorKind { None, Corrupt, InUse, NotFound, Io };

struct StorageResult {
    StorageErrorKind kind = StorageErrorKind::None;
    QString message;

    bool ok() const { return kind == StorageErrorKind::None; }
    explicit operator bool() const { return ok(); }

    static StorageResult success() { return {}; }
    static StorageResult failure(StorageErrorKind kind, QString message) { return {kind, std::move(message)}; }
};
