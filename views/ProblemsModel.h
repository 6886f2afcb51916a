#pragma once

#include "validate/LiveValidation.h"

#include <QAbstractTableModel>
#include <QList>

// The rows of the Problems window: one finding each, with its kind, message, control, property
// and detail as the command line's validation lists them, and the control's number and line
// to take the author there. Sorting and filtering are the proxy's.
class ProblemsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { KindColumn, MessageColumn, ControlColumn, PropertyColumn, DetailColumn, ColumnCount };
    // The position in the full list, so that the proxy can give back the check's own order.
    static constexpr int OrderRole = Qt::UserRole + 1;
    static constexpr int ErrorRole = Qt::UserRole + 2;
    // What the proxy sorts by: the shown text, with an options line's number compared as a number.
    static constexpr int SortRole = Qt::UserRole + 3;

    struct Row {
        bool isError = false;
        QString message;
        QString control;
        QString property;
        QString detail;
        // The control's number (0 for none) and the line of its options and actions (-1 for none).
        qint16 number = 0;
        int line = -1;
        bool operator==(const Row&) const = default;
    };

    explicit ProblemsModel(QObject* parent = nullptr);

    static Row rowOf(const LiveValidation::Row& finding);
    void setRows(QList<Row> rows);
    const QList<Row>& rows() const { return m_rows; }
    const Row& row(int index) const { return m_rows.at(index); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // The property as shown: with the line of the options, so that two lines of one control read apart.
    static QString shownProperty(const Row& row);

private:
    QList<Row> m_rows;
};
