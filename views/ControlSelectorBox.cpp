#include "views/ControlSelectorBox.h"

#include "base/ResourceStrings.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"

#include <QListView>

ControlSelectorBox::ControlSelectorBox(CmDecisionManager& decisions, QWidget* parent)
    : QComboBox(parent), m_decisions(decisions)
{
    setObjectName(QStringLiteral("tool%1").arg(ToolId));
    setToolTip(LoadResString(ToolId));
    // Measuring every name of a large tree would cost each load; the selector says how wide.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMaxVisibleItems(20);
    auto* list = new QListView(this);
    list->setUniformItemSizes(true);
    setView(list);
    ControlSelector& selector = decisions.controlSelector();
    setModel(&selector);
    setMinimumContentsLength(qMax(12, selector.width()));
    setCurrentIndex(selector.currentIndex() - 1);
    // Positions count from 1, rows from 0.
    connect(&selector, &ControlSelector::currentIndexChanged, this,
            [this](int position) { setCurrentIndex(position - 1); });
    connect(&selector, &ControlSelector::widthChanged, this,
            [this](int characters) { setMinimumContentsLength(qMax(12, characters)); });
    connect(this, &QComboBox::activated, this, &ControlSelectorBox::choose);
}

void ControlSelectorBox::choose(int row)
{
    // The selector lists the decisions in the manager's order.
    const CmDecisionItem* item = m_decisions.ItemByIndex(row + 1);
    if (!item || item->strID() != itemText(row))
        item = m_decisions.Item(QVariant(itemText(row)));
    if (item)
        emit controlChosen(item->intID());
}
