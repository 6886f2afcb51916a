#include "persist/PictureStore.h"

#include "base/ResourceStrings.h"
#include "persist/FileBytes.h"
#include "persist/StorageText.h"

#include <sqlite3.h>

StorageResult PictureStore::add(const QString& name, const QByteArray& data)
{
    return m_link.run(name, [&](SqliteDatabase& db) {
        SqliteStatement& insert = db.statement("INSERT OR REPLACE INTO picture(name, data) VALUES(?1, ?2)");
        insert.bind(1, name);
        insert.bindBlob(2, data);
        insert.step();
    });
}

StorageResult PictureStore::addFromFile(const QString& name, const QString& filePath)
{
    QByteArray data;
    if (StorageResult read = FileBytes::read(filePath, data, FileBytes::Input::Picture); !read)
        return read;
    return add(name, data);
}

StorageResult PictureStore::read(const QString& name, QByteArray& data) const
{
    data.clear();
    return m_link.run(name, [&](SqliteDatabase& db) {
        SqliteStatement& query = db.statement("SELECT data FROM picture WHERE name = ?1");
        query.bind(1, name);
        if (!query.step())
            return missing(name);
        data = query.columnBlob(0);
        return StorageResult::success();
    });
}

StorageResult PictureStore::exportToFile(const QString& name, const QString& filePath) const
{
    QByteArray data;
    if (StorageResult found = read(name, data); !found)
        return found;
    return FileBytes::write(filePath, data);
}

StorageResult PictureStore::remove(const QString& name)
{
    return m_link.run(name, [&](SqliteDatabase& db) {
        SqliteStatement& erase = db.statement("DELETE FROM picture WHERE name = ?1");
        erase.bind(1, name);
        erase.step();
        return sqlite3_changes(db.handle()) > 0 ? StorageResult::success() : missing(name);
    });
}

StorageResult PictureStore::rename(const QString& oldName, const QString& newName)
{
    return m_link.run(oldName, [&](SqliteDatabase& db) {
        SqliteStatement& taken = db.statement("SELECT name FROM picture WHERE name = ?1");
        taken.bind(1, newName);
        // Changing only the letter case of a name is a rename too.
        if (taken.step() && oldName.compare(newName, Qt::CaseInsensitive) != 0)
            return StorageResult::failure(StorageErrorKind::Io, LoadResString(TextPictureExists).arg(newName));
        SqliteStatement& update = db.statement("UPDATE picture SET name = ?2 WHERE name = ?1");
        update.bind(1, oldName);
        update.bind(2, newName);
        update.step();
        return sqlite3_changes(db.handle()) > 0 ? StorageResult::success() : missing(oldName);
    });
}

StorageResult PictureStore::contains(const QString& name, bool& found) const
{
    return m_link.run(name, [&](SqliteDatabase& db) {
        SqliteStatement& query = db.statement("SELECT name FROM picture WHERE name = ?1");
        query.bind(1, name);
        found = query.step();
    });
}

StorageResult PictureStore::names(QStringList& names) const
{
    names.clear();
    return m_link.run(QString(), [&](SqliteDatabase& db) { names = db.textColumn("SELECT name FROM picture ORDER BY name"); });
}

StorageResult PictureStore::missing(const QString& name)
{
    return StorageResult::failure(StorageErrorKind::NotFound, LoadResString(TextPictureMissing).arg(name));
}
