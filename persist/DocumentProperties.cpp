#include "persist/DocumentProperties.h"

StorageResult DocumentProperties::value(const QString& name, QString& value) const
{
    value.clear();
    return m_link.run(name, [&](SqliteDatabase& db) {
        SqliteStatement& query = db.statement("SELECT value FROM docprop WHERE name = ?1");
        query.bind(1, name);
        if (query.step())
            value = query.columnText(0);
    });
}

StorageResult DocumentProperties::setValue(const QString& name, const QString& value)
{
    return m_link.run(name, [&](SqliteDatabase& db) {
        SqliteStatement& upsert = db.statement("INSERT INTO docprop(name, value) VALUES(?1, ?2) "
                                               "ON CONFLICT(name) DO UPDATE SET value = excluded.value");
        upsert.bind(1, name);
        upsert.bind(2, value);
        upsert.step();
    });
}

StorageResult DocumentProperties::names(QStringList& names) const
{
    names.clear();
    return m_link.run(QString(), [&](SqliteDatabase& db) { names = db.textColumn("SELECT name FROM docprop ORDER BY name"); });
}
