#include "views/ProblemsWindow.h"

#include "base/ResourceStrings.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QVBoxLayout>

#include <optional>

namespace {

constexpr int TargetLabelId = 34617;
constexpr int FirstTargetId = 34618;
constexpr int FirstKindsId = 34622;
constexpr int ControlFilterId = 34630;
constexpr int TextFilterId = 34631;
constexpr int OptionsAndActionsLabelId = 11004;
constexpr int NoneShownId = 34633;

} // namespace

// Keeps the rows of one kind whose control and texts hold what the filters ask for.
class ProblemsFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void set(ProblemsWindow::Kinds kinds, const QString& control, const QString& text)
    {
        m_kinds = kinds;
        m_control = control.trimmed();
        m_text = text.trimmed();
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex&) const override
    {
        const auto& model = static_cast<const ProblemsModel&>(*sourceModel());
        const ProblemsModel::Row& row = model.row(sourceRow);
        if ((m_kinds == ProblemsWindow::Kinds::Errors && !row.isError)
            || (m_kinds == ProblemsWindow::Kinds::Warnings && row.isError))
            return false;
        if (!m_control.isEmpty() && !row.control.contains(m_control, Qt::CaseInsensitive))
            return false;
        return m_text.isEmpty() || row.message.contains(m_text, Qt::CaseInsensitive)
               || row.detail.contains(m_text, Qt::CaseInsensitive)
               || ProblemsModel::shownProperty(row).contains(m_text, Qt::CaseInsensitive);
    }

private:
    ProblemsWindow::Kinds m_kinds = ProblemsWindow::Kinds::All;
    QString m_control;
    QString m_text;
};

ProblemsWindow::ProblemsWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmProblems"));
    m_model = new ProblemsModel(this);
    auto* filter = new ProblemsFilter(this);
    filter->setSourceModel(m_model);
    filter->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_proxy = filter;

    m_target = new QComboBox(this);
    m_target->setObjectName(QStringLiteral("problemsTarget"));
    for (int id = FirstTargetId; id < FirstTargetId + 4; ++id)
        m_target->addItem(LoadResString(id));
    m_kinds = new QComboBox(this);
    m_kinds->setObjectName(QStringLiteral("problemsKinds"));
    for (int id = FirstKindsId; id < FirstKindsId + 3; ++id)
        m_kinds->addItem(LoadResString(id));
    m_control = new QLineEdit(this);
    m_control->setObjectName(QStringLiteral("problemsControl"));
    m_control->setPlaceholderText(LoadResString(ControlFilterId));
    m_control->setClearButtonEnabled(true);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("problemsText"));
    m_text->setPlaceholderText(LoadResString(TextFilterId));
    m_text->setClearButtonEnabled(true);

    m_view = new QTreeView(this);
    m_view->setObjectName(QStringLiteral("problemsList"));
    m_view->setRootIsDecorated(false);
    m_view->setUniformRowHeights(true);
    m_view->setAlternatingRowColors(true);
    m_view->setSortingEnabled(true);
    m_view->setModel(m_proxy);
    // Unsorted, the rows keep the check's order: control by control, then the paths.
    m_proxy->setSortRole(ProblemsModel::SortRole);
    m_view->sortByColumn(-1, Qt::AscendingOrder);
    // The message takes the room the window has; the other columns keep their widths.
    m_view->header()->setStretchLastSection(false);
    m_view->header()->setSectionResizeMode(ProblemsModel::MessageColumn, QHeaderView::Stretch);
    m_view->setColumnWidth(ProblemsModel::KindColumn, 70);
    m_view->setColumnWidth(ProblemsModel::ControlColumn, 140);
    // An options line's property, read whole up to line 999.
    ProblemsModel::Row widest;
    widest.property = LoadResString(OptionsAndActionsLabelId);
    widest.line = 998;
    const QFontMetrics metrics = m_view->fontMetrics();
    m_view->setColumnWidth(ProblemsModel::PropertyColumn,
                           metrics.horizontalAdvance(ProblemsModel::shownProperty(widest)) + 3 * metrics.averageCharWidth());
    m_view->setColumnWidth(ProblemsModel::DetailColumn, 200);
    // An empty list says why: nothing found, a check still running, or filters that hide all.
    m_empty = new QLabel(m_view->viewport());
    m_empty->setObjectName(QStringLiteral("problemsEmpty"));
    m_empty->setEnabled(false);
    auto* overlay = new QVBoxLayout(m_view->viewport());
    overlay->addWidget(m_empty, 0, Qt::AlignCenter);

    auto* bar = new QHBoxLayout;
    auto* targetLabel = new QLabel(LoadResString(TargetLabelId), this);
    targetLabel->setBuddy(m_target);
    bar->addWidget(targetLabel);
    bar->addWidget(m_target);
    bar->addWidget(m_kinds);
    bar->addWidget(m_control, 1);
    bar->addWidget(m_text, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(bar);
    layout->addWidget(m_view, 1);

    connect(m_target, &QComboBox::currentIndexChanged, this,
            [this](int index) { emit targetChanged(static_cast<Target>(index)); });
    connect(m_kinds, &QComboBox::currentIndexChanged, this, &ProblemsWindow::applyFilters);
    connect(m_control, &QLineEdit::textChanged, this, &ProblemsWindow::applyFilters);
    connect(m_text, &QLineEdit::textChanged, this, &ProblemsWindow::applyFilters);
    connect(m_proxy, &QAbstractItemModel::modelReset, this, &ProblemsWindow::showEmpty);
    connect(m_proxy, &QAbstractItemModel::layoutChanged, this, &ProblemsWindow::showEmpty);
    connect(m_proxy, &QAbstractItemModel::rowsInserted, this, &ProblemsWindow::showEmpty);
    connect(m_proxy, &QAbstractItemModel::rowsRemoved, this, &ProblemsWindow::showEmpty);
    showEmpty();
    // Enter and a double click both activate a row.
    connect(m_view, &QTreeView::activated, this, [this](const QModelIndex& index) {
        const QModelIndex source = m_proxy->mapToSource(index);
        if (source.isValid())
            emit rowActivated(m_model->row(source.row()));
    });
}

void ProblemsWindow::setRows(QList<ProblemsModel::Row> rows)
{
    const QModelIndex current = m_proxy->mapToSource(m_view->currentIndex());
    const std::optional<ProblemsModel::Row> kept =
        current.isValid() ? std::optional(m_model->row(current.row())) : std::nullopt;
    m_model->setRows(std::move(rows));
    if (!kept)
        return;
    const qsizetype again = m_model->rows().indexOf(*kept);
    if (again >= 0)
        m_view->setCurrentIndex(m_proxy->mapFromSource(m_model->index(static_cast<int>(again), 0)));
}

void ProblemsWindow::setEmptyText(const QString& text)
{
    m_emptyText = text;
    showEmpty();
}

void ProblemsWindow::showEmpty()
{
    m_empty->setText(m_model->rowCount() == 0 ? m_emptyText : LoadResString(NoneShownId));
    m_empty->setVisible(m_proxy->rowCount() == 0 && !m_empty->text().isEmpty());
}

QList<ProblemsModel::Row> ProblemsWindow::shownRows() const
{
    QList<ProblemsModel::Row> rows;
    for (int row = 0; row < m_proxy->rowCount(); ++row)
        rows.append(m_model->row(m_proxy->mapToSource(m_proxy->index(row, 0)).row()));
    return rows;
}

ProblemsWindow::Target ProblemsWindow::target() const
{
    return static_cast<Target>(m_target->currentIndex());
}

void ProblemsWindow::setTarget(Target target)
{
    m_target->setCurrentIndex(static_cast<int>(target));
}

void ProblemsWindow::setKinds(Kinds kinds)
{
    m_kinds->setCurrentIndex(static_cast<int>(kinds));
}

void ProblemsWindow::setControlFilter(const QString& text)
{
    m_control->setText(text);
}

void ProblemsWindow::setTextFilter(const QString& text)
{
    m_text->setText(text);
}

void ProblemsWindow::applyFilters()
{
    static_cast<ProblemsFilter*>(m_proxy)->set(static_cast<Kinds>(m_kinds->currentIndex()), m_control->text(),
                                               m_text->text());
}
