#pragma once

#include "lang/ExpressionNode.h"
#include "runtime/RuntimeValue.h"

#include <deque>
#include <utility>
#include <vector>

// What an expression refers to while it is evaluated. Each lookup throws RuntimeFault when the
// reference cannot be answered.
class IEvaluationScope {
public:
    virtual ~IEvaluationScope() = default;
    virtual RuntimeValue controlValue(const QString& reference) = 0;
    virtual RuntimeValue selectorValue(const SelectorReference& reference) = 0;
    // A bare name: a property of the item under test (only inside !KILL and !SORT); the cell
    // stays valid while the item is under test.
    virtual const RuntimeValue& propertyValue(const QString& name) = 0;

protected:
    IEvaluationScope() = default;
    IEvaluationScope(const IEvaluationScope&) = default;
    IEvaluationScope& operator=(const IEvaluationScope&) = default;
};

// Evaluates one parsed expression. A part that does not depend on the item under test (a
// control's value, a literal, arithmetic on them) is worked out once per evaluator, since one
// !KILL evaluates the same expression for every item and nothing else changes meanwhile.
class ExpressionEvaluator {
public:
    explicit ExpressionEvaluator(IEvaluationScope& scope) : m_scope(scope) {}

    RuntimeValue evaluate(const ExpressionNode& node);
    // The value as true/false; a value that is neither is a fault.
    bool test(const ExpressionNode& node);

    // The rules themselves, shared with the form an item test is compiled to. Each throws
    // RuntimeFault, naming the node, where the values do not suit it.
    // A comparison or an arithmetic operator on two values (not And and Or).
    static RuntimeValue applyBinary(ExpressionOperator op, const RuntimeValue& left, const RuntimeValue& right,
                                    const ExpressionNode& node);
    // Arithmetic on two numbers.
    static double applyNumbers(ExpressionOperator op, double a, double b, const ExpressionNode& node);
    static double applyFunction(ExpressionFunction function, double x, const ExpressionNode& node);
    static double numberOf(const RuntimeValue& value, const ExpressionNode& node);
    static bool booleanOf(const RuntimeValue& value, const ExpressionNode& node);
    // Whether the node reads the item under test: a bare property, or a selector reference
    // without an item.
    static bool readsItem(const ExpressionNode& node);

private:
    RuntimeValue binary(const ExpressionNode& node);
    RuntimeValue function(const ExpressionNode& node);
    // The operand's value: a table cell or a worked-out constant by reference, else evaluated
    // into store.
    const RuntimeValue& operandValue(const ExpressionNode& node, RuntimeValue& store);
    bool dependsOnItem(const ExpressionNode& node);

    IEvaluationScope& m_scope;
    std::deque<std::pair<const ExpressionNode*, RuntimeValue>> m_constants; // stable addresses
    std::vector<std::pair<const ExpressionNode*, bool>> m_dependence;
};
