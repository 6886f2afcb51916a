#include "views/PlayerSelectorPanel.h"

#include "base/ResourceStrings.h"
#include "runtime/RuntimeEngine.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

PlayerSelectorPanel::PlayerSelectorPanel(const RuntimeEngine& engine, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_selectors(new QComboBox(this)), m_items(new QTreeWidget(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(LoadResString(32574), this));
    layout->addWidget(m_selectors);
    layout->addWidget(m_items);
    m_items->setObjectName(QStringLiteral("selectorItems"));
    m_items->setColumnCount(2);
    m_items->setHeaderLabels({LoadResString(32575), LoadResString(32576)});
    m_items->setRootIsDecorated(false);
    m_items->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    for (const SelectorTable& table : m_engine.selectors())
        m_selectors->addItem(table.name());
    connect(m_selectors, &QComboBox::currentIndexChanged, this, &PlayerSelectorPanel::refresh);
    refresh();
}

void PlayerSelectorPanel::refresh()
{
    m_items->clear();
    const SelectorTable* table = m_engine.selector(m_selectors->currentText());
    if (!table)
        return;
    for (const int item : table->remaining())
        new QTreeWidgetItem(m_items, {table->itemName(item), QString()});
    const QColor removedColour = palette().color(QPalette::Disabled, QPalette::Text);
    for (const SelectorRemoval& removal : table->removals()) {
        auto* row = new QTreeWidgetItem(
            m_items, {table->itemName(removal.item),
                      LoadResString(32577).arg(removal.control, removal.option, removal.action)});
        row->setForeground(0, removedColour);
        row->setToolTip(1, row->text(1));
    }
}
