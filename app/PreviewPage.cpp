#include "app/PreviewPage.h"

#include "lang/RecordFields.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/DecisionDataConversion.h"
#include "persist/ProjectNodes.h"
#include "persist/StorageDocument.h"
#include "persist/StorageNode.h"
#include "runtime/RuntimeValue.h"
#include "runtime/SelectorTable.h"

namespace {

RuntimeControl controlOf(const CmDecisionItem& decision, const CmDecisionManager& decisions)
{
    const QString record = MDecisionDataUtil::StoreDecision(decision, &decisions);
    qsizetype pos = 0;
    std::optional<RuntimeControl> control = RuntimeControl::fromFields(RecordFields::Read(record, pos).fields);
    return control ? std::move(*control) : RuntimeControl{};
}

// A check box or command button shows ticked only for a true default, as a run starts.
QString startValue(const RuntimeControl& control)
{
    if (!control.isBoolean())
        return control.defaultValue;
    return RuntimeValue::booleanWord(control.defaultValue).value_or(false) ? QStringLiteral("True")
                                                                           : QStringLiteral("False");
}

QStringList selectorItems(const RuntimeControl& control, const StorageDocument* storage)
{
    QStringList items;
    if (!control.isSelectorList() || !storage)
        return items;
    for (const RuntimeOption& option : control.options) {
        StorageNode table = storage->rootNode();
        bool exists = false;
        const QString path = ProjectNodes::Databases + option.text.trimmed();
        if (!table.exists(path, exists) || !exists || !table.open(path))
            continue;
        CsvTable::Rows rows;
        if (!table.readTable(rows))
            continue;
        const SelectorTable selector(option.text, rows);
        for (int item = 0; item < selector.itemCount(); ++item)
            items.append(selector.itemName(item));
    }
    return items;
}

} // namespace

PreviewPage::Input PreviewPage::InputOf(const CmDecisionItem& decision, const CmDecisionManager& decisions,
                                        const StorageDocument* storage)
{
    Input input{controlOf(decision, decisions), QString(), QStringList()};
    input.value = startValue(input.control);
    input.items = selectorItems(input.control, storage);
    return input;
}

PreviewPage PreviewPage::Of(const CmDecisionItem& decision, const CmDecisionManager& decisions,
                            const StorageDocument* storage)
{
    PreviewPage page;
    page.m_inputs.append(InputOf(decision, decisions, storage));
    page.m_shown.append(&decision);
    const RuntimeControl& main = page.m_inputs.constFirst().control;
    page.m_header = main.header;
    if (storage && !main.picture.isEmpty() && !storage->pictures().read(main.picture, page.m_picture))
        page.m_picture.clear();
    for (const QString& name : decision.Group()) {
        const CmDecisionItem* shown = name.isEmpty() ? nullptr : decisions.Item(name);
        if (!shown || shown == &decision || page.m_shown.contains(shown))
            continue;
        page.m_inputs.append(InputOf(*shown, decisions, storage));
        page.m_shown.append(shown);
    }
    return page;
}
