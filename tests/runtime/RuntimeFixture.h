#pragma once

#include "lang/RecordFields.h"
#include "persist/CsvTable.h"
#include "runtime/AnswerList.h"
#include "runtime/AnsweredRun.h"
#include "runtime/CompiledTree.h"
#include "runtime/RuntimeEngine.h"

#include <QString>
#include <QStringList>

#include <utility>

// Small trees for the engine tests, written as stored decision records.
namespace RuntimeFixture {

// A record: the ID, displayed IDs, name, an empty picture and help id, the header, the
// interface, then the tail fields as written ("&default", "$caption", "^option", "!action").
inline QString record(int id, const QString& name, const QString& type, const QStringList& tail,
                      const QString& displayed = QString(), const QString& header = QString())
{
    QStringList fields{QString::number(id), displayed.isEmpty() ? QString() : QLatin1Char('"') + displayed + QLatin1Char('"'),
                       name, QString(), QString(), QLatin1Char('"') + header + QLatin1Char('"'), type};
    for (const QString& field : tail)
        fields.append(RecordFields::Quoted(field));
    return fields.join(QLatin1Char('\t')) + QLatin1Char('\t');
}

inline CompiledTree tree(const QStringList& records, const QString& tableName = QString(),
                         const QString& csv = QString())
{
    CompiledTree result;
    result.rulesText = QStringLiteral("BEGIN\r\n") + records.join(QLatin1String("\r\n")) + QLatin1String("\r\n");
    if (!tableName.isEmpty()) {
        CompiledTree::Table table{tableName, {}};
        CsvTable::parse(csv, table.rows);
        result.tables.append(std::move(table));
    }
    return result;
}

// Eight cars: name, price, seats, colour.
inline QString cars()
{
    return QStringLiteral("Name,Price,Seats,Colour\n"
                          "Mini,18000,4,Red\n"
                          "Van,32000,8,White\n"
                          "Coupe,41000,2,Red\n"
                          "Estate,29000,5,Blue\n"
                          "Roadster,36000,2,Blue\n"
                          "Saloon,29000,5,Black\n"
                          "Pickup,33000,5,White\n"
                          "Micro,12000,2,Green\n");
}

// The transcript of a run with these answers, and the selectors' report after it.
inline QString transcript(const CompiledTree& compiled, const QString& answers, bool explain = false,
                          const QString& start = QString())
{
    RuntimeEngine engine;
    const StorageResult loaded = engine.load(compiled);
    if (!loaded)
        return QStringLiteral("load: ") + loaded.message;
    AnswerList list;
    if (const auto problem = list.parse(answers))
        return QStringLiteral("answers: ") + *problem;
    AnsweredRun run(engine, list);
    run.run(start);
    return (run.transcript() + run.selectorReport(explain)).join(QLatin1Char('\n'));
}

} // namespace RuntimeFixture
