#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QString>

// The decision values window's table: one row per control the run has met, with its value and
// how the run met it. Rows are found by name through an index, never by a scan.
class DecisionValuesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class Status { Referenced, Current, Visited, Set };
    enum Column { ControlColumn, ValueColumn, StatusColumn, ColumnCount };

    struct Row {
        QString control;
        QString value;
        Status status = Status::Current;
    };

    explicit DecisionValuesModel(QObject* parent = nullptr);

    void clear();
    // Adds the row when the control has none.
    void setRow(const QString& control, const QString& value, Status status);
    const Row* row(const QString& control) const;
    int rowOf(const QString& control) const;
    static QString statusText(Status status);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    int ensureRow(const QString& control);

    QList<Row> m_rows;
    QHash<QString, int> m_index; // case-folded name -> row
};
