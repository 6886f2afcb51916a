#pragma once

#include "lang/RecordFields.h"

#include <QStringList>

// A compiled tree's record line from its fields as written; the header (field 6) comes quoted already.
inline QString StoredRecord(const QStringList& fields)
{
    QStringList quoted;
    for (qsizetype i = 0; i < fields.size(); ++i)
        quoted.append(i == RecordFields::HeaderField - 1 ? fields.at(i) : RecordFields::Quoted(fields.at(i)));
    return quoted.join(QLatin1Char('\t')) + QLatin1Char('\t');
}
