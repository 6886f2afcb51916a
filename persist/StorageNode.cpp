#include "persist/StorageNode.h"

#include "base/ResourceStrings.h"
#include "persist/FileBytes.h"
#include "persist/SqliteTransaction.h"
#include "persist/StoragePath.h"
#include "persist/StorageText.h"

StorageNode::StorageNode(DatabaseLink link) : m_link(std::move(link)), m_path(StoragePath::root())
{
}

QString StorageNode::name() const
{
    return StoragePath::name(m_path);
}

bool StorageNode::isRoot() const
{
    return StoragePath::isRoot(m_path);
}

void StorageNode::reset()
{
    m_path = StoragePath::root();
}

StorageResult StorageNode::open(const QString& path, bool* existed)
{
    const QString target = StoragePath::resolve(m_path, path);
    return m_link.run(target, [&](SqliteDatabase& db) {
        QString stored;
        const bool found = find(db, target, stored);
        m_path = found ? stored : create(db, target);
        if (existed)
            *existed = found;
    });
}

StorageResult StorageNode::exists(const QString& path, bool& found) const
{
    const QString target = StoragePath::resolve(m_path, path);
    return m_link.run(target, [&](SqliteDatabase& db) {
        QString stored;
        found = find(db, target, stored);
    });
}

StorageResult StorageNode::remove(const QString& path)
{
    const QString target = StoragePath::resolve(m_path, path);
    return m_link.run(target, [&](SqliteDatabase& db) { removeTree(db, target); });
}

StorageResult StorageNode::readText(QString& text) const
{
    QByteArray bytes;
    StorageResult result = readBytes(bytes);
    text = QString::fromUtf8(bytes);
    return result;
}

StorageResult StorageNode::writeText(const QString& text)
{
    return writeBytes(text.toUtf8());
}

StorageResult StorageNode::readBytes(QByteArray& bytes) const
{
    bytes.clear();
    return m_link.run(m_path, [&](SqliteDatabase& db) {
        SqliteStatement& query = db.statement("SELECT value FROM node WHERE path = ?1");
        query.bind(1, m_path);
        if (query.step())
            bytes = query.columnBlob(0);
    });
}

StorageResult StorageNode::writeBytes(const QByteArray& bytes)
{
    return m_link.run(m_path, [&](SqliteDatabase& db) {
        SqliteTransaction transaction(db);
        QString stored;
        if (!find(db, m_path, stored))
            create(db, m_path);
        SqliteStatement& update = db.statement("UPDATE node SET value = ?2 WHERE path = ?1");
        update.bind(1, m_path);
        update.bindBlob(2, bytes);
        update.step();
        transaction.commit();
    });
}

StorageResult StorageNode::children(QStringList& names) const
{
    names.clear();
    return m_link.run(m_path, [&](SqliteDatabase& db) {
        // A range on the key finds the descendants through the index; the direct children
        // are those without a further separator.
        SqliteStatement& query = db.statement("SELECT substr(path, ?3) FROM node WHERE path > ?1 AND path < ?2 "
                                              "AND instr(substr(path, ?3), '\\') = 0 ORDER BY path");
        const QString lower = StoragePath::descendantsLower(m_path);
        query.bind(1, lower);
        query.bind(2, StoragePath::descendantsUpper(m_path));
        // SQLite counts characters, not UTF-16 units.
        query.bind(3, static_cast<qint64>(lower.toUcs4().size() + 1));
        while (query.step())
            names.append(query.columnText(0));
    });
}

StorageResult StorageNode::readTable(CsvTable::Rows& rows) const
{
    rows.clear();
    QString text;
    if (StorageResult read = readText(text); !read)
        return read;
    return CsvTable::parse(text, rows);
}

StorageResult StorageNode::writeTable(const CsvTable::Rows& rows)
{
    return writeText(CsvTable::toText(rows));
}

StorageResult StorageNode::exportTable(const QString& filePath) const
{
    QByteArray bytes;
    if (StorageResult read = readBytes(bytes); !read)
        return read;
    return FileBytes::write(filePath, bytes);
}

StorageResult StorageNode::importTable(const QString& filePath)
{
    QByteArray bytes;
    if (StorageResult read = FileBytes::read(filePath, bytes, FileBytes::Input::SelectorTable); !read)
        return read;
    CsvTable::Rows rows;
    if (StorageResult parsed = CsvTable::parse(QString::fromUtf8(bytes), rows); !parsed)
        return StorageResult::failure(parsed.kind, LoadResString(TextFileNotCsv).arg(filePath, parsed.message));
    return writeBytes(bytes);
}

bool StorageNode::find(SqliteDatabase& db, const QString& path, QString& stored)
{
    SqliteStatement& query = db.statement("SELECT path FROM node WHERE path = ?1");
    query.bind(1, path);
    if (!query.step())
        return false;
    stored = query.columnText(0);
    return true;
}

QString StorageNode::create(SqliteDatabase& db, const QString& path)
{
    // Walks down from the root so that names already stored keep their spelling.
    SqliteTransaction transaction(db);
    QString current = StoragePath::root();
    for (const QString& childName : StoragePath::names(path)) {
        const QString next = StoragePath::join(current, childName);
        if (find(db, next, current))
            continue;
        SqliteStatement& insert = db.statement("INSERT INTO node(path) VALUES(?1)");
        insert.bind(1, next);
        insert.step();
        current = next;
    }
    transaction.commit();
    return current;
}

void StorageNode::removeTree(SqliteDatabase& db, const QString& path)
{
    SqliteTransaction transaction(db);
    SqliteStatement& below = db.statement("DELETE FROM node WHERE path > ?1 AND path < ?2");
    below.bind(1, StoragePath::descendantsLower(path));
    below.bind(2, StoragePath::descendantsUpper(path));
    below.step();
    // The root stays, without a value.
    SqliteStatement& self = StoragePath::isRoot(path)
        ? db.statement("UPDATE node SET value = NULL WHERE path = ?1")
        : db.statement("DELETE FROM node WHERE path = ?1");
    self.bind(1, path);
    self.step();
    transaction.commit();
}
