#pragma once

#include "journeys/Journey.h"
#include "journeys/JourneyRun.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>

#include <optional>

// The journeys window's table: one row a journey of the project, with how it did when it was
// last run (kept while the list is read again, unless the journey changed) and its first difference.
class JourneyListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, ResultColumn, DifferenceColumn, ColumnCount };

    explicit JourneyListModel(QObject* parent = nullptr);

    // The project's journeys; the results of journeys still there unchanged are kept.
    void setJourneys(const QList<Journey>& journeys);
    const QList<Journey>& journeys() const { return m_journeys; }
    void setResult(int row, const JourneyResult& result);
    // Back to "not run": a result of a tree that no longer compiles says nothing about it.
    void clearResults();
    // Nothing for a journey not run since the list was read.
    std::optional<bool> passed(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const JourneyResult* resultOf(int row) const;

    QList<Journey> m_journeys;
    struct Kept {
        Journey journey; // as it was run
        JourneyResult result;
    };
    QHash<QString, Kept> m_results; // case-folded journey name
};
