#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// One prepared SQL statement. Failures throw KvError carrying the SQLite result code.
class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, const char* sql);

    void bind(int index, const QString& text);
    void bindBlob(int index, const QByteArray& bytes);
    void bind(int index, qint64 number);
    // UTF-8 text bound without a copy: the bytes must stay as they are until the next step()
    // or reset().
    void bindUtf8InPlace(int index, QByteArrayView utf8);
    void bindDouble(int index, double number);
    void bindNull(int index);

    // True while there is a row to read, false when the statement is done.
    bool step();
    void reset();

    QString columnText(int column) const;
    QByteArray columnBlob(int column) const;
    qint64 columnInt(int column) const;
    bool columnIsNull(int column) const;
    int columnCount() const;
    // SQLite's fundamental type of the value: SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT ...
    int columnType(int column) const;
    double columnDouble(int column) const;
    // The bytes of a text (UTF-8) or blob value, valid until the next step or reset.
    QByteArrayView columnBytes(int column) const;

private:
    struct Finalizer {
        void operator()(sqlite3_stmt* statement) const;
    };

    [[noreturn]] void fail(int code) const;

    sqlite3* m_db;
    std::unique_ptr<sqlite3_stmt, Finalizer> m_statement;
};
