#pragma once

#include "persist/DocumentLoader.h"
#include "persist/DecisionTable.h"
#include "persist/DocumentProperties.h"
#include "persist/FileBytes.h"
#include "persist/PictureStore.h"
#include "persist/StorageNode.h"
#include "base/StorageResult.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class SqliteDatabase;

// One open document: a tree of nodes, a picture store and document properties, kept in a
// database in memory while the document is open. Opening copies the file into memory and
// only reads the file; the file is not held open afterwards. Saving writes a complete copy
// beside the target and renames it over the target, so the target is never half written.
// A new document lives in memory only until it is saved under a path.
//
// Nodes, the picture store and the properties handed out are handles: after close() (or
// opening another file) they report that no document is open.
class StorageDocument : public QObject {
    Q_OBJECT

public:
    explicit StorageDocument(QObject* parent = nullptr);
    ~StorageDocument() override;

    using Checksum = DocumentLoader::Checksum;

    StorageResult create();
    StorageResult open(const QString& filePath);
    // For inspection: save() is refused and nothing can be changed; saveAs() to another
    // file makes it an ordinary document of that file. Only a document opened this way may
    // be one whose content does not match its checksum, when the caller accepts that.
    StorageResult openReadOnly(const QString& filePath, Checksum checksum = Checksum::Verify);
    StorageResult save();
    // inputs: files the caller read to make this document, which the target may not be. A name
    // of the program's own (a working copy) is written as such by save() too.
    StorageResult saveAs(const QString& filePath, const QStringList& inputs = {},
                         FileBytes::Name name = FileBytes::Name::Given);
    void close();

    bool isOpen() const { return m_db != nullptr; }
    bool isReadOnly() const { return m_readOnly; }
    // The absolute path of the file; empty for a new document.
    QString path() const { return m_path; }

    StorageNode rootNode() const;
    PictureStore pictures() const;
    DocumentProperties properties() const;
    DecisionTable decisions() const;

    // For tests: the next save stops with a failure after writing this many bytes of its
    // temporary file, as a full disk would.
    void setFailAfterBytesForTest(qint64 bytes) { m_failAfterBytes = bytes; }

signals:
    void percentDone(int percent);
    // After every open and save, whether it worked or not.
    void operationFinished();

private:
    StorageResult load(const QString& filePath, bool readOnly, Checksum checksum);
    StorageResult writeTo(const QString& filePath, const QStringList& inputs, FileBytes::Name name);
    StorageResult writeChecked(const QString& filePath, const QStringList& inputs, FileBytes::Name name);
    static StorageResult setQueryOnly(SqliteDatabase& db, bool on, const QString& filePath);
    DatabaseLink link() const;

    // Where the content stood when it last matched its checksum: a save of unchanged content
    // (the working copy after the project, or after an open) need not sum it all again.
    struct ContentMark {
        qint64 changes = 0;
        qint64 schema = 0;
        bool operator==(const ContentMark&) const = default;
    };
    static ContentMark markOf(SqliteDatabase& db);
    void seal();

    std::shared_ptr<SqliteDatabase> m_db;
    std::optional<ContentMark> m_sealed;
    QString m_path;
    FileBytes::Name m_pathName = FileBytes::Name::Given;
    bool m_readOnly = false;
    qint64 m_failAfterBytes = -1;
};
