#pragma once

#include "views/ProblemsModel.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTreeView;

// The Problems window: every finding of the live check in a sortable list, filtered by kind,
// control and text, with the runtimes it checks for. Double-click or Enter on a row asks to go
// to the finding.
class ProblemsWindow : public QWidget {
    Q_OBJECT

public:
    // The runtimes in the order the target box lists them.
    enum class Target { FileType, Both, Desktop, Web };
    enum class Kinds { All, Errors, Warnings };

    explicit ProblemsWindow(QWidget* parent = nullptr);

    // The current row stays current when it is still listed.
    void setRows(QList<ProblemsModel::Row> rows);
    const ProblemsModel& model() const { return *m_model; }
    // The rows as shown: filtered and sorted.
    QList<ProblemsModel::Row> shownRows() const;

    Target target() const;
    void setTarget(Target target);
    void setKinds(Kinds kinds);
    void setControlFilter(const QString& text);
    void setTextFilter(const QString& text);
    // What an empty list says when nothing was found (the status bar's count).
    void setEmptyText(const QString& text);

    QTreeView* view() const { return m_view; }
    QComboBox* targetBox() const { return m_target; }

signals:
    void targetChanged(ProblemsWindow::Target target);
    void rowActivated(const ProblemsModel::Row& row);

private:
    void applyFilters();
    void showEmpty();

    ProblemsModel* m_model = nullptr;
    QSortFilterProxyModel* m_proxy = nullptr;
    QTreeView* m_view = nullptr;
    QComboBox* m_target = nullptr;
    QComboBox* m_kinds = nullptr;
    QLineEdit* m_control = nullptr;
    QLineEdit* m_text = nullptr;
    QLabel* m_empty = nullptr;
    QString m_emptyText;
};
