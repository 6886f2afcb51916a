#pragma once

#include "base/StorageResult.h"
#include "persist/CsvTable.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

class StorageDocument;

// What the engine runs: the rules text (BEGIN and one stored decision record a line) and the
// selector tables by name. A desktop tree file and a project compiled in memory give the same.
struct CompiledTree {
    struct Table {
        QString name;
        CsvTable::Rows rows;
    };

    QString rulesText;
    QList<Table> tables;
    // The pictures by name, without regard to case (the player shows them; the engine does not).
    QHash<QString, QByteArray> pictures;

    // Reads a desktop tree file: its rules text and every internal selector.
    static StorageResult readFile(const QString& path, CompiledTree& tree);
    // Reads a web tree file into the same: each decision as the desktop tree's record, its
    // actions turned back from the web notation (see WebTreeReader for what the file lacks).
    static StorageResult readWebFile(const QString& path, CompiledTree& tree);
    // The same from a document already open (a tree compiled in memory).
    static StorageResult read(const StorageDocument& document, CompiledTree& tree);
};
