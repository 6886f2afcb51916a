#pragma once

#include <QWidget>

class CmDecisionItem;
class CmDecisionManager;
class ControlOutlineModel;
class QLabel;
class QLineEdit;
class QModelIndex;
class QSortFilterProxyModel;
class QTreeView;

// The controls as a list to read and filter from the keyboard: name, interface and caption.
// The row of the selected control is the current one; moving through the rows asks for that
// control to be selected, and Enter or a double click asks for its options.
class ControlOutline : public QWidget {
    Q_OBJECT

public:
    explicit ControlOutline(CmDecisionManager& decisions, QWidget* parent = nullptr);

    ControlOutlineModel& model() const { return *m_model; }
    QSortFilterProxyModel& rows() const { return *m_rows; }
    QTreeView& list() const { return *m_list; }
    QLineEdit& filter() const { return *m_filter; }
    // The control whose row is current; null when none is.
    CmDecisionItem* currentItem() const;
    // The keyboard goes to the filter with its text selected.
    void focusFilter();

signals:
    void controlChosen(CmDecisionItem* item);
    void controlOpened(CmDecisionItem* item);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showSelected(CmDecisionItem* item);
    void currentChanged(const QModelIndex& current);
    void filterBy(const QString& text);
    void showCount();
    CmDecisionItem* itemOf(const QModelIndex& index) const;

    CmDecisionManager& m_decisions;
    ControlOutlineModel* m_model = nullptr;
    QSortFilterProxyModel* m_rows = nullptr;
    QLineEdit* m_filter = nullptr;
    QTreeView* m_list = nullptr;
    QLabel* m_count = nullptr;
    // Above zero while the current row moves for another reason than the author's choice.
    int m_quiet = 0;
};
