#pragma once

#include "base/StorageResult.h"
#include "journeys/Journey.h"

#include <QList>
#include <QString>
#include <QStringList>

class StorageDocument;

// The project keeps its journeys in a node of its own, as the text JourneyText writes, so they
// travel with the project file; the compiled tree files do not carry them.
namespace JourneyStore {

inline const QString Node = QStringLiteral("\\DecisionTreeData\\Journeys");

// No journeys when the project has none.
StorageResult read(const StorageDocument& document, QList<Journey>& journeys);
// Replaces the node; with no journeys the node goes.
StorageResult write(StorageDocument& document, const QList<Journey>& journeys);

// The same text as a file beside the project, for review; never written over one of inputs.
StorageResult readFile(const QString& path, QList<Journey>& journeys);
StorageResult writeFile(const QString& path, const QList<Journey>& journeys, const QStringList& inputs = {});

} // namespace JourneyStore
