#include "journeys/JourneyListModel.h"

#include "base/ResourceStrings.h"


namespace {
constexpr int FirstColumnId = 33070; // journey, result, first difference
constexpr int PassedId = 33073;
constexpr int FailedId = 33074;
constexpr int NotRunId = 33075;
} // namespace

JourneyListModel::JourneyListModel(QObject* parent) : QAbstractTableModel(parent) {}

void JourneyListModel::setJourneys(const QList<Journey>& journeys)
{
    beginResetModel();
    m_journeys = journeys;
    QHash<QString, const Journey*> byName;
    for (const Journey& journey : std::as_const(m_journeys))
        byName.insert(journey.name.toCaseFolded(), &journey);
    m_results.removeIf([&byName](QHash<QString, Kept>::iterator kept) {
        const Journey* now = byName.value(kept.key());
        return !now || !(*now == kept->journey);
    });
    endResetModel();
}

void JourneyListModel::setResult(int row, const JourneyResult& result)
{
    if (row < 0 || row >= m_journeys.size())
        return;
    m_results.insert(m_journeys.at(row).name.toCaseFolded(), Kept{m_journeys.at(row), result});
    emit dataChanged(index(row, ResultColumn), index(row, DifferenceColumn));
}

void JourneyListModel::clearResults()
{
    if (m_results.isEmpty() || m_journeys.isEmpty())
        return;
    m_results.clear();
    emit dataChanged(index(0, ResultColumn), index(static_cast<int>(m_journeys.size()) - 1, DifferenceColumn));
}

const JourneyResult* JourneyListModel::resultOf(int row) const
{
    const auto found = m_results.constFind(m_journeys.at(row).name.toCaseFolded());
    return found == m_results.cend() ? nullptr : &found->result;
}

std::optional<bool> JourneyListModel::passed(int row) const
{
    const JourneyResult* result = row >= 0 && row < m_journeys.size() ? resultOf(row) : nullptr;
    return result ? std::optional(result->passed) : std::nullopt;
}

int JourneyListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_journeys.size());
}

int JourneyListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant JourneyListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_journeys.size() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const JourneyResult* result = resultOf(index.row());
    switch (index.column()) {
    case NameColumn: return m_journeys.at(index.row()).name;
    case ResultColumn: return LoadResString(!result ? NotRunId : result->passed ? PassedId : FailedId);
    case DifferenceColumn: return result ? result->difference : QString();
    default: return {};
    }
}

QVariant JourneyListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    return LoadResString(FirstColumnId + section);
}
