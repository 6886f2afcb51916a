#include "views/frmProject.h"

#include "project/CvProject.h"
#include "base/ResourceStrings.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"

#include <QContextMenuEvent>
#include <QHeaderView>

namespace {

constexpr int FirstBranchCaptionId = 33440;
constexpr int BranchRole = Qt::UserRole;
constexpr int KeyRole = Qt::UserRole + 1;

QString shownName(const CmDecisionItem& decision)
{
    return decision.strID().isEmpty() ? CmDecisionManager::keyFor(QString(), decision.intID()) : decision.strID();
}

} // namespace

frmProject::frmProject(const CmDecisionManager& decisions, QWidget* parent)
    : QTreeWidget(parent), m_decisions(decisions)
{
    setObjectName(QStringLiteral("frmProject"));
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setExpandsOnDoubleClick(false);
    for (int which = 0; which < 4; ++which) {
        auto* item = new QTreeWidgetItem(this, {LoadResString(FirstBranchCaptionId + which)});
        item->setFlags(Qt::ItemIsEnabled);
        m_branches.push_back(item);
    }
    m_flush.setSingleShot(true);
    m_flush.setInterval(0);
    connect(&m_flush, &QTimer::timeout, this, &frmProject::flush);
    // A double click or Return, as the platform activates items.
    connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { open(item); });
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item && branchOf(*item) == Branch::Controls)
            emit controlSelected(static_cast<qint16>(item->data(0, KeyRole).toInt()));
    });
    branch(Branch::Controls)->setExpanded(true);
    follow();
}

void frmProject::follow()
{
    connect(&m_decisions, &CmDecisionManager::decisionAdded, this,
            [this](const CmDecisionItem* item) { addControl(*item); });
    connect(&m_decisions, &CmDecisionManager::decisionRenamed, this,
            [this](const CmDecisionItem* item) { renameControl(*item); });
    connect(&m_decisions, &CmDecisionManager::decisionRemoved, this,
            [this](const CmDecisionItem* item) { removeControl(*item); });
    connect(&m_decisions, &CmDecisionManager::cleared, this, &frmProject::clearControls);
    connect(&m_decisions, &CmDecisionManager::selectedChanged, this, &frmProject::showSelected);
}

std::optional<frmProject::Branch> frmProject::branchOf(const QTreeWidgetItem& item)
{
    const QVariant which = item.data(0, BranchRole);
    if (!which.isValid())
        return std::nullopt;
    return static_cast<Branch>(which.toInt());
}

QTreeWidgetItem* frmProject::makeControlItem(const CmDecisionItem& decision)
{
    auto* item = new QTreeWidgetItem({shownName(decision)});
    item->setData(0, BranchRole, static_cast<int>(Branch::Controls));
    item->setData(0, KeyRole, decision.intID());
    m_controls.insert(decision.intID(), item);
    return item;
}

void frmProject::showControls()
{
    clearControls();
    QList<QTreeWidgetItem*> items;
    items.reserve(m_decisions.Count());
    for (int index = 1; index <= m_decisions.Count(); ++index) {
        if (const CmDecisionItem* decision = m_decisions.ItemByIndex(index))
            items.append(makeControlItem(*decision));
    }
    branch(Branch::Controls)->addChildren(items);
}

void frmProject::addControl(const CmDecisionItem& decision)
{
    m_pending.push_back(decision.intID());
    m_flush.start();
}

void frmProject::flush()
{
    m_flush.stop();
    if (m_pending.empty())
        return;
    QList<QTreeWidgetItem*> items;
    for (const qint16 key : m_pending) {
        const CmDecisionItem* decision = m_decisions.Item(QVariant(key));
        if (decision && !m_controls.contains(key))
            items.append(makeControlItem(*decision));
    }
    m_pending.clear();
    branch(Branch::Controls)->addChildren(items);
}

void frmProject::renameControl(const CmDecisionItem& decision)
{
    flush();
    if (QTreeWidgetItem* item = m_controls.value(decision.intID()))
        item->setText(0, shownName(decision));
}

void frmProject::removeControl(const CmDecisionItem& decision)
{
    flush();
    // Deleting an item takes it out of its branch.
    delete m_controls.take(decision.intID());
}

void frmProject::clearControls()
{
    m_pending.clear();
    m_flush.stop();
    m_controls.clear();
    qDeleteAll(branch(Branch::Controls)->takeChildren());
}

void frmProject::showSelected(const CmDecisionItem* decision)
{
    flush();
    QTreeWidgetItem* item = decision ? m_controls.value(decision->intID()) : nullptr;
    const QSignalBlocker quiet(this);
    setCurrentItem(item);
    if (item)
        scrollToItem(item);
}

void frmProject::showProjectLists(const CvProject& project)
{
    fill(Branch::Selectors, project.CriteriaLists());
    fill(Branch::ExternalSelectors, project.ExternalCriteriaLists());
    fill(Branch::Pictures, project.Pictures());
}

void frmProject::fill(Branch which, const QStringList& names)
{
    QTreeWidgetItem* parent = branch(which);
    qDeleteAll(parent->takeChildren());
    QList<QTreeWidgetItem*> items;
    for (const QString& name : names) {
        auto* item = new QTreeWidgetItem({name});
        item->setData(0, BranchRole, static_cast<int>(which));
        item->setData(0, KeyRole, name);
        items.append(item);
    }
    parent->addChildren(items);
}

void frmProject::open(QTreeWidgetItem* item)
{
    const std::optional<Branch> which = item ? branchOf(*item) : std::nullopt;
    if (!which) {
        if (item)
            item->setExpanded(!item->isExpanded());
        return;
    }
    const QVariant key = item->data(0, KeyRole);
    switch (*which) {
    case Branch::Controls: emit controlOpened(static_cast<qint16>(key.toInt())); break;
    case Branch::Selectors:
    case Branch::ExternalSelectors: emit selectorOpened(key.toString()); break;
    case Branch::Pictures: emit pictureOpened(key.toString()); break;
    }
}

void frmProject::contextMenuEvent(QContextMenuEvent* event)
{
    QTreeWidgetItem* item = itemAt(event->pos());
    if (!item)
        return;
    const bool selectorBranch = item == branch(Branch::Selectors) || item == branch(Branch::ExternalSelectors);
    const std::optional<Branch> which = branchOf(*item);
    const bool selector = which == Branch::Selectors || which == Branch::ExternalSelectors;
    if (!selectorBranch && !selector)
        return;
    setCurrentItem(item);
    emit selectorMenuRequested(selector ? item->data(0, KeyRole).toString() : QString(), event->globalPos());
}
