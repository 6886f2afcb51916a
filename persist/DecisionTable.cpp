#include "persist/DecisionTable.h"

#include "base/ResourceStrings.h"
#include "persist/DocumentSchema.h"
#include "persist/PropertyValue.h"
#include "persist/SqliteTransaction.h"
#include "persist/StorageText.h"

#include <QStringEncoder>

#include <sqlite3.h>

#include <array>
#include <functional>
#include <limits>

namespace {

// The columns in the order of the table and of both statements.
enum Column : int {
    Position,
    IntIdentifier,
    StrIdentifier,
    IntControl,
    Caption,
    Heading,
    Picture,
    OptsAndActs,
    Include,
    DefaultValue,
    Min,
    Max,
    KvdHelp,
    KvwHelp,
    Dirty,
    ColumnCount
};

constexpr std::array<const char*, ColumnCount> ColumnNames{
    "position", "intIdentifier", "strIdentifier", "intControl", "caption", "heading", "picture", "optsAndActs",
    "include",  "defaultValue",  "min",           "max",        "kvdHelp", "kvwHelp", "dirty"};

// Both statements name the columns in the order above, made once from that one list.
QByteArray listOf(const std::function<QByteArray(int column)>& item)
{
    QByteArray list;
    for (int column = 0; column < ColumnCount; ++column)
        list.append(column ? ", " : "").append(item(column));
    return list;
}

QByteArray columnName(int column)
{
    return ColumnNames[static_cast<size_t>(column)];
}

const char* insertSql()
{
    static const QByteArray sql = "INSERT INTO decision(" + listOf(columnName) + ") VALUES("
                                  + listOf([](int column) { return "?" + QByteArray::number(column + 1); }) + ")";
    return sql.constData();
}

const char* selectSql()
{
    static const QByteArray sql = "SELECT " + listOf(columnName) + " FROM decision ORDER BY position";
    return sql.constData();
}

const QString Subject = QStringLiteral("decision");

// Statement parameters are numbered from 1, columns from 0.
int parameter(Column column)
{
    return column + 1;
}

void bindDefault(SqliteStatement& insert, const QVariant& value)
{
    const int at = parameter(DefaultValue);
    const PropertyValue stored = PropertyValue::fromVariant(value);
    // A flag is kept as 1 or 0: no default of a control is one.
    if (const auto* flag = std::get_if<bool>(&stored.data))
        insert.bind(at, qint64(*flag ? 1 : 0));
    else if (const auto* whole = std::get_if<qint64>(&stored.data))
        insert.bind(at, *whole);
    else if (const auto* number = std::get_if<double>(&stored.data))
        insert.bindDouble(at, *number);
    else if (const auto* text = std::get_if<QString>(&stored.data))
        insert.bind(at, *text);
    else
        insert.bindNull(at);
}

// The UTF-8 form of a row's texts, in buffers kept from row to row: a table of thousands of
// rows costs no allocation per value.
class Utf8Row {
public:
    QByteArrayView encode(Column column, QStringView text)
    {
        QByteArray& bytes = m_bytes[static_cast<size_t>(column)];
        bytes.resize(m_encoder.requiredSpace(text.size()));
        const char* end = m_encoder.appendToBuffer(bytes.data(), text);
        return QByteArrayView(bytes.constData(), end - bytes.constData());
    }

private:
    std::array<QByteArray, ColumnCount> m_bytes;
    QStringEncoder m_encoder{QStringEncoder::Utf8};
};

void bindRecord(SqliteStatement& insert, const DecisionRecord& record, Utf8Row& texts)
{
    const auto bindText = [&](Column column, QStringView text) {
        insert.bindUtf8InPlace(parameter(column), texts.encode(column, text));
    };
    insert.bind(parameter(Position), record.position);
    insert.bind(parameter(IntIdentifier), record.intIdentifier);
    bindText(StrIdentifier, record.strIdentifier);
    insert.bind(parameter(IntControl), record.intControl);
    bindText(Caption, record.caption);
    bindText(Heading, record.heading);
    bindText(Picture, record.picture);
    bindText(OptsAndActs, DecisionTable::joinLines(record.optsAndActs));
    bindText(Include, DecisionTable::joinLines(record.include));
    bindDefault(insert, record.defaultValue);
    bindText(Min, record.min);
    bindText(Max, record.max);
    insert.bind(parameter(KvdHelp), record.kvdHelp);
    bindText(KvwHelp, record.kvwHelp);
    insert.bind(parameter(Dirty), qint64(record.dirty ? 1 : 0));
}

bool holdsKind(const SqliteStatement& row, Column column)
{
    const int type = row.columnType(column);
    switch (column) {
    case Position:
    case IntIdentifier:
    case IntControl:
    case KvdHelp:
    case Dirty:
        return type == SQLITE_INTEGER;
    case DefaultValue:
        return type != SQLITE_BLOB;
    default:
        return type == SQLITE_TEXT;
    }
}

QVariant defaultValueOf(const SqliteStatement& row)
{
    switch (row.columnType(DefaultValue)) {
    case SQLITE_INTEGER: {
        const qint64 number = row.columnInt(DefaultValue);
        // As a property bag gives a whole number back: int where it fits.
        if (number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max())
            return QVariant(static_cast<int>(number));
        return QVariant(static_cast<qlonglong>(number));
    }
    case SQLITE_FLOAT:
        return QVariant(row.columnDouble(DefaultValue));
    case SQLITE_TEXT:
        return QVariant(row.columnText(DefaultValue));
    default:
        return QVariant();
    }
}

DecisionRecord recordOf(const SqliteStatement& row)
{
    DecisionRecord record;
    record.position = row.columnInt(Position);
    record.intIdentifier = row.columnInt(IntIdentifier);
    record.strIdentifier = row.columnText(StrIdentifier);
    record.intControl = row.columnInt(IntControl);
    record.caption = row.columnText(Caption);
    record.heading = row.columnText(Heading);
    record.picture = row.columnText(Picture);
    record.optsAndActs = DecisionTable::splitLines(row.columnText(OptsAndActs));
    record.include = DecisionTable::splitLines(row.columnText(Include));
    record.defaultValue = defaultValueOf(row);
    record.min = row.columnText(Min);
    record.max = row.columnText(Max);
    record.kvdHelp = row.columnInt(KvdHelp);
    record.kvwHelp = row.columnText(KvwHelp);
    record.dirty = row.columnInt(Dirty) != 0;
    return record;
}

StorageResult wrongKind(qint64 position, Column column)
{
    return StorageResult::failure(StorageErrorKind::Refused,
                                  LoadResString(TextDecisionWrongKind).arg(position).arg(QLatin1String(ColumnNames[column])));
}

QString unescaped(QStringView line)
{
    QString text;
    text.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        const bool escape = line.at(i) == u'\\' && i + 1 < line.size()
                            && (line.at(i + 1) == u'\\' || line.at(i + 1) == u'n');
        if (escape)
            text += line.at(++i) == u'n' ? QChar(u'\n') : QChar(u'\\');
        else
            text += line.at(i);
    }
    return text;
}

} // namespace

StorageResult DecisionTable::replaceAll(const std::vector<DecisionRecord>& records)
{
    return m_link.run(Subject, [&](SqliteDatabase& db) {
        // A document of an older format gets the table at its first save.
        DocumentSchema::upgrade(db);
        SqliteTransaction transaction(db);
        db.exec("DELETE FROM decision");
        SqliteStatement& insert = db.statement(insertSql());
        Utf8Row texts;
        for (const DecisionRecord& record : records) {
            insert.reset();
            bindRecord(insert, record, texts);
            insert.step();
        }
        insert.reset();
        transaction.commit();
    });
}

StorageResult DecisionTable::readAll(std::vector<DecisionRecord>& records) const
{
    records.clear();
    return m_link.run(Subject, [&](SqliteDatabase& db) {
        // An older file has no table: its controls are in its property bag.
        if (db.pragma("user_version") < DocumentSchema::DecisionTableSince)
            return StorageResult::success();
        SqliteStatement& rows = db.statement(selectSql());
        rows.reset();
        while (rows.step()) {
            for (int column = 0; column < ColumnCount; ++column) {
                if (!holdsKind(rows, static_cast<Column>(column))) {
                    const qint64 position = rows.columnInt(Position);
                    rows.reset();
                    records.clear();
                    return wrongKind(position, static_cast<Column>(column));
                }
            }
            records.push_back(recordOf(rows));
        }
        rows.reset();
        return StorageResult::success();
    });
}

QString DecisionTable::joinLines(const QStringList& lines)
{
    qsizetype longest = 0;
    for (const QString& line : lines)
        longest += 2 * line.size() + 1;
    // Written through a pointer into room for the worst case (every character escaped), then
    // cut to what was written: the lists of a large tree are many and short.
    QString text(longest, Qt::Uninitialized);
    QChar* out = text.data();
    for (const QString& line : lines) {
        for (const QChar c : line) {
            if (c == u'\\' || c == u'\n') {
                *out++ = u'\\';
                *out++ = c == u'\n' ? QChar(u'n') : c;
            } else {
                *out++ = c;
            }
        }
        *out++ = u'\n';
    }
    text.truncate(out - text.constData());
    return text;
}

QStringList DecisionTable::splitLines(QStringView text)
{
    QStringList lines;
    // One pass over the characters: each line is cut where its line feed is, and only a line
    // that holds a backslash is looked at again.
    const QChar* const end = text.data() + text.size();
    const QChar* start = text.data();
    bool escaped = false;
    for (const QChar* at = start; at != end; ++at) {
        if (*at == u'\\') {
            escaped = true;
        } else if (*at == u'\n') {
            const QStringView line(start, at - start);
            lines.append(escaped ? unescaped(line) : line.toString());
            start = at + 1;
            escaped = false;
        }
    }
    // A last line without its line feed is no text we wrote; it is kept rather than lost.
    if (start != end) {
        const QStringView line(start, end - start);
        lines.append(escaped ? unescaped(line) : line.toString());
    }
    return lines;
}
