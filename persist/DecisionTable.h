#pragma once

#include "persist/DatabaseLink.h"
#include "persist/DecisionRecord.h"
#include "base/StorageResult.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// The controls of a project, one row each. Written and read in one pass with one prepared
// statement, which costs a fraction of holding them all in one property bag's text.
class DecisionTable {
public:
    DecisionTable() = default;
    explicit DecisionTable(DatabaseLink link) : m_link(std::move(link)) {}

    // Replaces every row with these, all or nothing.
    StorageResult replaceAll(const std::vector<DecisionRecord>& records);
    // Every row in position order. A value of a kind its column does not hold (only a file
    // written by something else can carry one) refuses the whole read.
    StorageResult readAll(std::vector<DecisionRecord>& records) const;

    // A list of lines as one text: each line ends in a line feed, and a line feed or a
    // backslash within a line is escaped with a backslash. So no list and a list of one
    // empty line differ, and any line comes back as written.
    static QString joinLines(const QStringList& lines);
    static QStringList splitLines(QStringView text);

private:
    DatabaseLink m_link;
};
