#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QTimer>

#include <vector>

class CmDecisionItem;
class CmDecisionManager;

// Every control of the project as a row: name, interface and caption. It follows the manager's
// change events row by row. Controls added in one go (a project read, a paste) join as one block
// once the event loop turns, or as soon as anyone asks for a row; changes to many controls at once
// (a rename's references, a replace) are told as one span of rows the same way. A row is found by
// a binary search over the order of arrival, so no event costs a pass over the whole tree.
class ControlOutlineModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { NameColumn, TypeColumn, CaptionColumn, ColumnCount };
    // The control's number, for Qt::UserRole.
    static constexpr int NumberRole = Qt::UserRole;

    explicit ControlOutlineModel(CmDecisionManager& decisions, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    CmDecisionItem* itemAt(int row) const;
    // -1 when the control has no row.
    int rowOf(const CmDecisionItem* item);
    // Controls added since the last turn of the event loop become rows now, and the rows changed
    // since then are told.
    void catchUp();

    // The name a row shows: an unnamed control by "_" and its number, as a run names it.
    static QString displayName(const CmDecisionItem& item);

private:
    struct Row {
        quint64 arrival;
        CmDecisionItem* item;
    };

    void rebuild();
    void added(CmDecisionItem* item);
    void removed(CmDecisionItem* item);
    void changed(CmDecisionItem* item);
    void append(CmDecisionItem* item);
    void takeInAdded();
    void tellChanged();
    // Where the row of that arrival stands; rows.size() when there is none.
    std::size_t positionOf(quint64 arrival) const;

    CmDecisionManager& m_decisions;
    std::vector<Row> m_rows;
    QHash<const CmDecisionItem*, quint64> m_arrivalOf;
    // Waiting to become rows; a control removed before that leaves a null behind.
    std::vector<CmDecisionItem*> m_waiting;
    QHash<const CmDecisionItem*, std::size_t> m_waitingAt;
    quint64 m_nextArrival = 0;
    // The span of rows changed and not told yet; first above last when there is none.
    int m_changedFirst = 1;
    int m_changedLast = 0;
    QTimer m_catchUp;
};
