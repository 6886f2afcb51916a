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
#include <vector>

namespace {

const QString Method = QStringLiteral("crc32:");

// Bytes are gathered and summed a block at a time: a sum per value would cost a call for
// each of the many small values a document holds.
class Checksum {
public:
    void add(QByteArrayView bytes)
    {
        const auto size = static_cast<size_t>(bytes.size());
        // An empty text comes with no bytes at all, which memcpy may not be given.
        if (size == 0)
            return;
        if (m_used + size > m_block.size())
            flush();
        if (size >= m_block.size()) {
            sum(bytes);
            return;
        }
        std::memcpy(m_block.data() + m_used, bytes.data(), size);
        m_used += size;
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
    void sum(QByteArrayView bytes)
    {
        m_value = crc32_z(m_value, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<z_size_t>(bytes.size()));
    }
    void flush()
    {
        sum(QByteArrayView(m_block.data(), static_cast<qsizetype>(m_used)));
        m_used = 0;
    }

    uLong m_value = crc32_z(0, nullptr, 0);
    std::vector<char> m_block = std::vector<char>(64 * 1024);
    size_t m_used = 0;
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
