#pragma once

#include "lang/ExpressionNode.h"
#include "runtime/ExpressionEvaluator.h"
#include "runtime/RuntimeValue.h"
#include "runtime/SelectorColumnIndex.h"

#include <optional>
#include <vector>

class SelectorTable;

// The expression of one !KILL, or one sort key, made ready to be worked out for every item of a
// selector: bare properties are resolved to columns once, the parts that do not read the item
// are evaluated once (when first needed, so that a selector without items asks nothing), and
// numbers and true/false pass between the parts without becoming values. The results and
// faults are those of ExpressionEvaluator.
class ItemExpression {
public:
    // The scope answers what the expression reads besides cells; the caller points it at the
    // item before each call.
    ItemExpression(const ExpressionNode& root, const SelectorTable& table, IEvaluationScope& scope);

    bool test(int item);
    RuntimeValue value(int item);
    // The test as "Property op constant", when it has that shape, with the constant worked out
    // here (what the first item's test would have done); it stays valid with the expression.
    std::optional<CellComparison> comparison();

private:
    // Truth reads its operand as true/false where the evaluator does: an And's left side before its
    // right side is worked out.
    enum class Step { Constant, Cell, Scope, Unary, Binary, Function, Truth };
    // A part's result: a number, true/false, or a value held elsewhere (a cell, a constant or
    // the part's scratch value).
    struct Result {
        enum class Kind { Number, Boolean, Value } kind = Kind::Number;
        double number = 0.0;
        bool boolean = false;
        const RuntimeValue* value = nullptr;
    };
    // Parts stand in evaluation order (operands before the operator, left before right), so one
    // pass over them works an item out, with the faults in the evaluator's order.
    struct Part {
        const ExpressionNode* node = nullptr;
        Step step = Step::Constant;
        int left = -1;
        int right = -1;
        int column = -1;
        bool known = false; // a constant already worked out
        Result result;
        RuntimeValue value; // the constant, or a value made for the current item
    };

    int compile(const ExpressionNode& node);
    int truth(const ExpressionNode& node, int operand);
    const Result& evaluate(int item);
    void work(Part& part, int item);
    Result binary(Part& part);
    // The slower ways, kept out of the loop: values that are not plain numbers, the constants
    // worked out once, and what the scope answers.
    [[gnu::noinline]] Result values(Part& part, const Result& left, const Result& right);
    [[gnu::noinline]] void workOut(Part& part);
    [[gnu::noinline]] void askScope(Part& part);
    static Result of(const RuntimeValue& value);
    static double numberOf(const Result& result, const ExpressionNode& node);
    static bool booleanOf(const Result& result, const ExpressionNode& node);
    // The result as a value: the one it refers to, or one made in scratch.
    static const RuntimeValue& valueOf(const Result& result, RuntimeValue& scratch);

    // The common shape "Property op constant" (or the other way round) on two numbers, compared
    // without the pass over the parts.
    bool simpleTest(int item, bool& holds);

    const SelectorTable& m_table;
    IEvaluationScope& m_scope;
    bool m_simple = false;
    bool m_cellOnLeft = true;
    ExpressionEvaluator m_constants;
    std::vector<Part> m_parts; // the root last
};
