#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

class StorageDocument;
class StorageNode;

// Helpers shared by the storage tests.
namespace PersistTestFiles {

struct FileState {
    QByteArray bytes;
    QDateTime modified;
    bool operator==(const FileState&) const = default;
};

FileState stateOf(const QString& filePath);
QByteArray readAll(const QString& filePath);
bool writeAll(const QString& filePath, const QByteArray& bytes);
// Every entry of a folder, hidden ones included.
QStringList entriesOf(const QString& folder);
// A node of the document opened (so created) at the path; a failed open shows at the next use.
StorageNode nodeAt(const StorageDocument& document, const QString& path);
bool writeNode(const StorageDocument& document, const QString& path, const QString& text);
// Saves a new document that holds one node's text.
bool saveNewDocument(const QString& filePath, const QString& nodePath, const QString& text);
// The text of an existing node, "<missing>" when there is no such node.
QString textOf(const StorageDocument& document, const QString& path);

// Runs SQL on a file through SQLite directly; empty on success, else the error.
QString execSql(const QString& filePath, const QString& sql);

} // namespace PersistTestFiles
