#include "views/ControlOutline.h"

#include "app/ControlOutlineModel.h"
#include "base/ResourceStrings.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace {
constexpr int PlaceholderId = 34206;
constexpr int CountId = 34207;
} // namespace

ControlOutline::ControlOutline(CmDecisionManager& decisions, QWidget* parent)
    : QWidget(parent), m_decisions(decisions)
{
    setObjectName(QStringLiteral("frmOutline"));
    m_model = new ControlOutlineModel(decisions, this);
    m_rows = new QSortFilterProxyModel(this);
    m_rows->setSourceModel(m_model);
    m_rows->setFilterKeyColumn(-1);
    m_rows->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_rows->setSortCaseSensitivity(Qt::CaseInsensitive);

    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("filter"));
    m_filter->setPlaceholderText(LoadResString(PlaceholderId));
    m_filter->setClearButtonEnabled(true);
    m_filter->installEventFilter(this);
    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("controls"));
    // Rows that go, a new filter or order, or a reset move the current row by themselves: the
    // list hears of them between these two.
    const auto hush = [this] { ++m_quiet; };
    const auto speak = [this] { --m_quiet; };
    connect(m_rows, &QAbstractItemModel::rowsAboutToBeRemoved, this, hush);
    connect(m_rows, &QAbstractItemModel::layoutAboutToBeChanged, this, hush);
    connect(m_rows, &QAbstractItemModel::modelAboutToBeReset, this, hush);
    m_list->setModel(m_rows);
    connect(m_rows, &QAbstractItemModel::rowsRemoved, this, speak);
    connect(m_rows, &QAbstractItemModel::layoutChanged, this, speak);
    connect(m_rows, &QAbstractItemModel::modelReset, this, speak);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The project's own order until the author sorts by a column.
    m_list->header()->setSortIndicator(-1, Qt::AscendingOrder);
    m_list->setSortingEnabled(true);
    // Names as long as the interface names fit without cutting.
    m_list->header()->resizeSection(ControlOutlineModel::NameColumn, fontMetrics().averageCharWidth() * 18);
    m_list->installEventFilter(this);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("count"));
    setFocusProxy(m_filter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_filter);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_count);

    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_rows, signal, this, &ControlOutline::showCount);
    connect(m_rows, &QAbstractItemModel::layoutChanged, this, &ControlOutline::showCount);
    connect(m_rows, &QAbstractItemModel::modelReset, this, &ControlOutline::showCount);

    connect(m_filter, &QLineEdit::textChanged, this, &ControlOutline::filterBy);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &ControlOutline::currentChanged);
    connect(m_list, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        if (CmDecisionItem* item = itemOf(index))
            emit controlOpened(item);
    });
    connect(&decisions, &CmDecisionManager::selectedChanged, this, &ControlOutline::showSelected);
    // Another project: a filter typed for the last one would hide the new one's controls.
    connect(&decisions, &CmDecisionManager::cleared, m_filter, &QLineEdit::clear);
    showSelected(decisions.Selected());
    showCount();
}

CmDecisionItem* ControlOutline::itemOf(const QModelIndex& index) const
{
    return index.isValid() ? m_model->itemAt(m_rows->mapToSource(index).row()) : nullptr;
}

CmDecisionItem* ControlOutline::currentItem() const
{
    return itemOf(m_list->currentIndex());
}

void ControlOutline::showSelected(CmDecisionItem* item)
{
    ++m_quiet;
    const int row = item ? m_model->rowOf(item) : -1;
    const QModelIndex shown = row < 0 ? QModelIndex() : m_rows->mapFromSource(m_model->index(row, 0));
    if (shown.isValid()) {
        m_list->selectionModel()->setCurrentIndex(shown, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_list->scrollTo(shown);
    } else {
        m_list->selectionModel()->clear();
    }
    --m_quiet;
}

void ControlOutline::currentChanged(const QModelIndex& current)
{
    if (m_quiet > 0)
        return;
    CmDecisionItem* item = itemOf(current);
    if (item && item != m_decisions.Selected())
        emit controlChosen(item);
}

void ControlOutline::filterBy(const QString& text)
{
    m_rows->setFilterFixedString(text);
    // The selected control's row shows again when the filter lets it through.
    showSelected(m_decisions.Selected());
}

void ControlOutline::showCount()
{
    m_count->setText(LoadResString(CountId).arg(m_rows->rowCount()).arg(m_model->rowCount()));
}

void ControlOutline::focusFilter()
{
    m_filter->setFocus(Qt::ShortcutFocusReason);
    m_filter->selectAll();
}

bool ControlOutline::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (watched == m_list && key == Qt::Key_Escape) {
        focusFilter();
        return true;
    }
    if (watched != m_filter)
        return QWidget::eventFilter(watched, event);
    if (key == Qt::Key_Escape && !m_filter->text().isEmpty()) {
        m_filter->clear();
        return true;
    }
    if (key != Qt::Key_Down && key != Qt::Key_Return && key != Qt::Key_Enter)
        return QWidget::eventFilter(watched, event);
    // Into the list, on the first row the filter let through when no row is current.
    if (!m_list->currentIndex().isValid() && m_rows->rowCount() > 0)
        m_list->setCurrentIndex(m_rows->index(0, 0));
    m_list->setFocus(Qt::OtherFocusReason);
    return true;
}
