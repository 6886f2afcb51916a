#include "persist/ContentSeal.h"

#include "base/ResourceStrings.h"
#include "persist/DocumentSchema.h"
#include "persist/SqliteDatabase.h"
#include "persist/StorageText.h"

#include <QtEndian>

#include <sqlite3.h>
#include <zlib.h>

#include <array>
#include <cstring>

namespace {

const QString Method = QStringLiteral("crc32:");

// Bytes are gathered and summed a block at a time: a sum per value would cost a call for
// each of the many small values a document holds.
class Checksum {
public:
    Checksum() { m_pending.reserve(BlockSize); }

    void add(QByteArrayView bytes)
    {
        if (m_pending.size() + bytes.size() > BlockSize)
            flush();
        if (bytes.size() >= BlockSize)
            sum(bytes);
        else
            m_pending.append(bytes);
    }
    void addTag(char tag) { add(QByteArrayView(&tag, 1)); }
    void addNumber(quint64 number)
    {
        std::array<char, sizeof number> bytes{};
        qToLittleEndian(number, bytes.data());
        add(QByteArrayView(bytes.data(), bytes.size()));
    }
    QString text()
    {
        flush();
        return Method + QStringLiteral("%1").arg(m_value, 8, 16, QLatin1Char('0'));
    }

private:
    static constexpr qsizetype BlockSize = 64 * 1024;

    void sum(QByteArrayView bytes)
    {
        m_value = crc32_z(m_value, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<z_size_t>(bytes.size()));
    }
    void flush()
    {
        sum(m_pending);
        m_pending.resize(0); // keeps the block allocated
    }

    uLong m_value = crc32_z(0, nullptr, 0);
    QByteArray m_pending;
};

// Each value with its kind and, for text and blobs, its length, so that no two different
// contents give the same stream of bytes.
void addValue(Checksum& sum, const SqliteStatement& row, int column)
{
    const int type = row.columnType(column);
    sum.addTag(static_cast<char>('0' + type));
    switch (type) {
    case SQLITE_INTEGER:
        sum.addNumber(static_cast<quint64>(row.columnInt(column)));
        return;
    case SQLITE_FLOAT: {
        const double number = row.columnDouble(column);
        quint64 bits = 0;
        std::memcpy(&bits, &number, sizeof bits);
        sum.addNumber(bits);
        return;
    }
    case SQLITE_TEXT:
    case SQLITE_BLOB: {
        const QByteArrayView bytes = row.columnBytes(column);
        sum.addNumber(static_cast<quint64>(bytes.size()));
        sum.add(bytes);
        return;
    }
    default:
        return;
    }
}

void addTable(Checksum& sum, SqliteDatabase& db, const QString& table)
{
    const QByteArray name = table.toUtf8();
    sum.addTag('T');
    sum.addNumber(static_cast<quint64>(name.size()));
    sum.add(name);
    // Our tables' first column is their key; the names come from the checked schema.
    SqliteStatement rows(db.handle(), QByteArray("SELECT * FROM \"").append(name).append("\" ORDER BY 1").constData());
    while (rows.step()) {
        for (int column = 0; column < rows.columnCount(); ++column)
            addValue(sum, rows, column);
    }
}

QString stored(SqliteDatabase& db, bool& found)
{
    SqliteStatement query(db.handle(), "SELECT checksum FROM seal");
    found = query.step();
    const QString value = found ? query.columnText(0) : QString();
    // More than one row is no seal we wrote.
    if (found && query.step())
        found = false;
    return value;
}

} // namespace

QString ContentSeal::compute(SqliteDatabase& db)
{
    Checksum sum;
    SqliteStatement tables(db.handle(), "SELECT name FROM sqlite_master WHERE type = 'table' AND name <> ?1 ORDER BY name");
    tables.bind(1, QLatin1String(DocumentSchema::SealTable));
    while (tables.step())
        addTable(sum, db, tables.columnText(0));
    return sum.text();
}

void ContentSeal::write(SqliteDatabase& db)
{
    const QString checksum = compute(db);
    db.exec("DELETE FROM seal");
    SqliteStatement insert(db.handle(), "INSERT INTO seal(checksum) VALUES(?1)");
    insert.bind(1, checksum);
    insert.step();
}

StorageResult ContentSeal::verify(SqliteDatabase& db, const QString& filePath)
{
    if (db.pragma("user_version") < DocumentSchema::SealSince)
        return StorageResult::success();
    bool found = false;
    const QString expected = stored(db, found);
    if (found && expected == compute(db))
        return StorageResult::success();
    return StorageResult::failure(StorageErrorKind::ChecksumMismatch, LoadResString(TextChecksumMismatch).arg(filePath));
}
