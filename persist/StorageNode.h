#pragma once

#include "persist/CsvTable.h"
#include "persist/DatabaseLink.h"
#include "base/StorageResult.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// A position in a document's tree of nodes, like a cursor: open() moves it, copies of it stay
// where they were. Paths use "\" between names, are compared without regard to ASCII case and
// are relative to this node unless they start with "\". Opening creates a missing node and its
// ancestors; reading a node that has no value gives empty text.
//
// A node's table is its value read as comma-separated text (see CsvTable); import and export
// copy that text between the node and a file unchanged.
class StorageNode {
public:
    // A node of no document: every operation reports that no document is open.
    StorageNode() = default;
    // The root of the document behind the link.
    explicit StorageNode(DatabaseLink link);

    QString path() const { return m_path; }
    // The last name of the path; empty for the root.
    QString name() const;
    bool isRoot() const;

    void reset();
    StorageResult open(const QString& path, bool* existed = nullptr);
    StorageResult exists(const QString& path, bool& found) const;
    // Deletes the node and everything below it. Deleting the root empties the document.
    StorageResult remove(const QString& path);

    StorageResult readText(QString& text) const;
    StorageResult writeText(const QString& text);
    StorageResult readBytes(QByteArray& bytes) const;
    StorageResult writeBytes(const QByteArray& bytes);

    // Names of the direct children, ordered without regard to ASCII case.
    StorageResult children(QStringList& names) const;

    StorageResult readTable(CsvTable::Rows& rows) const;
    StorageResult writeTable(const CsvTable::Rows& rows);
    StorageResult exportTable(const QString& filePath) const;
    // Refuses (and leaves the node alone) when the file is not comma-separated text.
    StorageResult importTable(const QString& filePath);

private:
    static bool find(SqliteDatabase& db, const QString& path, QString& stored);
    // Creates the node and its missing ancestors; gives the path as stored.
    static QString create(SqliteDatabase& db, const QString& path);
    static void removeTree(SqliteDatabase& db, const QString& path);

    DatabaseLink m_link;
    QString m_path;
};
