#include "persist/SqliteStatement.h"

#include "base/KvError.h"

#include <sqlite3.h>

void SqliteStatement::Finalizer::operator()(sqlite3_stmt* statement) const
{
    sqlite3_finalize(statement);
}

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql) : m_db(db)
{
    sqlite3_stmt* raw = nullptr;
    const int code = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
    m_statement.reset(raw);
    if (code != SQLITE_OK)
        fail(code);
}

void SqliteStatement::bind(int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    // Text even when empty: a null pointer would bind NULL, which bindNull() is for.
    const int code = sqlite3_bind_text(m_statement.get(), index, utf8.isNull() ? "" : utf8.constData(),
                                       static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    if (code != SQLITE_OK)
        fail(code);
}

void SqliteStatement::bindBlob(int index, const QByteArray& bytes)
{
    // A null data pointer would store NULL; an empty value stays an empty blob.
    const int code = bytes.isEmpty()
        ? sqlite3_bind_zeroblob(m_statement.get(), index, 0)
        : sqlite3_bind_blob64(m_statement.get(), index, bytes.constData(), static_cast<sqlite3_uint64>(bytes.size()),
                              SQLITE_TRANSIENT);
    if (code != SQLITE_OK)
        fail(code);
}

void SqliteStatement::bind(int index, qint64 number)
{
    const int code = sqlite3_bind_int64(m_statement.get(), index, number);
    if (code != SQLITE_OK)
        fail(code);
}

void SqliteStatement::bindUtf8InPlace(int index, QByteArrayView utf8)
{
    const int code = sqlite3_bind_text(m_statement.get(), index, utf8.isNull() ? "" : utf8.data(),
                                       static_cast<int>(utf8.size()), SQLITE_STATIC);
    if (code != SQLITE_OK)
        fail(code);
}

void SqliteStatement::bindDouble(int index, double number)
{
    const int code = sqlite3_bind_double(m_statement.get(), index, number);
    if (code != SQLITE_OK)
        fail(code);
}

void SqliteStatement::bindNull(int index)
{
    const int code = sqlite3_bind_null(m_statement.get(), index);
    if (code != SQLITE_OK)
        fail(code);
}

bool SqliteStatement::step()
{
    const int code = sqlite3_step(m_statement.get());
    if (code == SQLITE_ROW)
        return true;
    if (code == SQLITE_DONE)
        return false;
    // The error code of a failed step is reported again by reset; keep the step's own.
    sqlite3_reset(m_statement.get());
    fail(code);
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_statement.get());
    sqlite3_clear_bindings(m_statement.get());
}

QString SqliteStatement::columnText(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement.get(), column));
    return QString::fromUtf8(text, sqlite3_column_bytes(m_statement.get(), column));
}

QByteArray SqliteStatement::columnBlob(int column) const
{
    const auto* data = static_cast<const char*>(sqlite3_column_blob(m_statement.get(), column));
    return QByteArray(data, sqlite3_column_bytes(m_statement.get(), column));
}

qint64 SqliteStatement::columnInt(int column) const
{
    return sqlite3_column_int64(m_statement.get(), column);
}

bool SqliteStatement::columnIsNull(int column) const
{
    return sqlite3_column_type(m_statement.get(), column) == SQLITE_NULL;
}

int SqliteStatement::columnCount() const
{
    return sqlite3_column_count(m_statement.get());
}

int SqliteStatement::columnType(int column) const
{
    return sqlite3_column_type(m_statement.get(), column);
}

double SqliteStatement::columnDouble(int column) const
{
    return sqlite3_column_double(m_statement.get(), column);
}

QByteArrayView SqliteStatement::columnBytes(int column) const
{
    // Asked for as a blob, a text value keeps its stored bytes without a conversion.
    const auto* data = static_cast<const char*>(sqlite3_column_blob(m_statement.get(), column));
    return QByteArrayView(data, sqlite3_column_bytes(m_statement.get(), column));
}

void SqliteStatement::fail(int code) const
{
    throw KvError(code, QStringLiteral("SQLite"), QString::fromUtf8(sqlite3_errmsg(m_db)));
}
