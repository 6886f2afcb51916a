#pragma once

#include "runtime/ExpressionEvaluator.h"
#include "runtime/RuntimeFault.h"
#include "runtime/SelectorTable.h"

#include <functional>
#include <optional>
#include <utility>

// What an item test sees in the runtime tests: the cells of the item under test, the control
// values the test gives, and a fault for anything else.
class TableScope final : public IEvaluationScope {
public:
    using Controls = std::function<std::optional<RuntimeValue>(const QString& name)>;

    TableScope(const SelectorTable& table, Controls controls) : m_table(table), m_controls(std::move(controls)) {}
    int item = 0;

    RuntimeValue controlValue(const QString& reference) override
    {
        const QString name = reference.trimmed();
        if (std::optional<RuntimeValue> value = m_controls(name))
            return *std::move(value);
        throw RuntimeFault{QStringLiteral("no control ") + name};
    }
    RuntimeValue selectorValue(const SelectorReference& reference) override { return propertyValue(reference.property); }
    const RuntimeValue& propertyValue(const QString& name) override
    {
        const int column = m_table.column(name);
        if (column < 0)
            throw RuntimeFault{QStringLiteral("no property ") + name};
        return m_table.cell(item, column);
    }

private:
    const SelectorTable& m_table;
    Controls m_controls;
};
