#include "runtime/ItemExpression.h"

#include "runtime/SelectorTable.h"

#include <cmath>

namespace {

bool isComparison(ExpressionOperator op)
{
    return ExpressionNode::precedence(op) == ExpressionNode::CompareLevel;
}

// Two numbers compared as RuntimeValue::compare compares them.
bool compareNumbers(ExpressionOperator op, double a, double b)
{
    switch (op) {
    case ExpressionOperator::Equal: return a == b;
    case ExpressionOperator::NotEqual: return a != b;
    case ExpressionOperator::Less: return a < b;
    case ExpressionOperator::LessEqual: return !(a > b);
    case ExpressionOperator::Greater: return a > b;
    case ExpressionOperator::GreaterEqual: return !(a < b);
    default: return false;
    }
}

} // namespace

ItemExpression::ItemExpression(const ExpressionNode& root, const SelectorTable& table, IEvaluationScope& scope)
    : m_table(table), m_scope(scope), m_constants(scope)
{
    compile(root);
    if (m_parts.size() == 3 && m_parts[2].step == Step::Binary && isComparison(root.op())) {
        const Step left = m_parts[0].step;
        const Step right = m_parts[1].step;
        m_simple = (left == Step::Cell && right == Step::Constant) || (left == Step::Constant && right == Step::Cell);
        m_cellOnLeft = left == Step::Cell;
    }
}

int ItemExpression::compile(const ExpressionNode& node)
{
    Part part;
    part.node = &node;
    if (ExpressionEvaluator::readsItem(node)) {
        switch (node.kind()) {
        case ExpressionKind::Property:
            part.column = m_table.column(node.text());
            part.step = part.column >= 0 ? Step::Cell : Step::Scope; // the scope names the fault
            break;
        case ExpressionKind::Unary:
            part.step = Step::Unary;
            part.left = compile(node.operand(0));
            break;
        case ExpressionKind::Function:
            part.step = Step::Function;
            part.left = compile(node.operand(0));
            break;
        case ExpressionKind::Binary:
            part.step = Step::Binary;
            part.left = compile(node.operand(0));
            if (node.op() == ExpressionOperator::And || node.op() == ExpressionOperator::Or)
                part.left = truth(node.operand(0), part.left);
            part.right = compile(node.operand(1));
            break;
        default:
            part.step = Step::Scope;
            break;
        }
    }
    m_parts.push_back(std::move(part));
    return static_cast<int>(m_parts.size()) - 1;
}

int ItemExpression::truth(const ExpressionNode& node, int operand)
{
    Part part;
    part.node = &node;
    part.step = Step::Truth;
    part.left = operand;
    m_parts.push_back(std::move(part));
    return static_cast<int>(m_parts.size()) - 1;
}

bool ItemExpression::simpleTest(int item, bool& holds)
{
    const Part& constant = m_parts[m_cellOnLeft ? 1 : 0];
    if (!constant.known || constant.result.kind != Result::Kind::Number)
        return false;
    const double cell = m_table.numberAt(item, m_parts[m_cellOnLeft ? 0 : 1].column);
    if (std::isnan(cell))
        return false;
    const double other = constant.result.number;
    holds = m_cellOnLeft ? compareNumbers(m_parts[2].node->op(), cell, other)
                         : compareNumbers(m_parts[2].node->op(), other, cell);
    return true;
}

bool ItemExpression::test(int item)
{
    bool holds = false;
    if (m_simple && simpleTest(item, holds))
        return holds;
    return booleanOf(evaluate(item), *m_parts.back().node);
}

std::optional<CellComparison> ItemExpression::comparison()
{
    if (!m_simple)
        return std::nullopt;
    Part& constant = m_parts[m_cellOnLeft ? 1 : 0];
    if (!constant.known)
        workOut(constant);
    const ExpressionOperator op = m_parts[2].node->op();
    return CellComparison{m_parts[m_cellOnLeft ? 0 : 1].column, m_cellOnLeft ? op : ExpressionNode::Mirrored(op), &constant.value};
}

RuntimeValue ItemExpression::value(int item)
{
    RuntimeValue scratch;
    return valueOf(evaluate(item), scratch);
}

const ItemExpression::Result& ItemExpression::evaluate(int item)
{
    for (Part& part : m_parts)
        work(part, item);
    return m_parts.back().result;
}

void ItemExpression::work(Part& part, int item)
{
    const ExpressionNode& node = *part.node;
    switch (part.step) {
    case Step::Constant:
        if (!part.known)
            workOut(part);
        break;
    case Step::Cell: {
        const double number = m_table.numberAt(item, part.column);
        part.result = std::isnan(number) ? Result{Result::Kind::Value, 0.0, false, &m_table.cell(item, part.column)}
                                         : Result{Result::Kind::Number, number, false, nullptr};
        break;
    }
    case Step::Scope:
        askScope(part);
        break;
    case Step::Unary: {
        const double x = numberOf(m_parts[std::size_t(part.left)].result, node.operand(0));
        part.result = Result{Result::Kind::Number, node.op() == ExpressionOperator::Negate ? -x : x, false, nullptr};
        break;
    }
    case Step::Function: {
        const double x = numberOf(m_parts[std::size_t(part.left)].result, node.operand(0));
        part.result = Result{Result::Kind::Number, ExpressionEvaluator::applyFunction(node.function(), x, node), false,
                             nullptr};
        break;
    }
    case Step::Binary:
        part.result = binary(part);
        break;
    case Step::Truth:
        part.result = Result{Result::Kind::Boolean, 0.0, booleanOf(m_parts[std::size_t(part.left)].result, node), nullptr};
        break;
    }
}

void ItemExpression::askScope(Part& part)
{
    const ExpressionNode& node = *part.node;
    if (node.kind() == ExpressionKind::Property) {
        part.result = of(m_scope.propertyValue(node.text()));
    } else {
        part.value = m_scope.selectorValue(node.selectorReference());
        part.result = of(part.value);
    }
}

void ItemExpression::workOut(Part& part)
{
    part.value = m_constants.evaluate(*part.node);
    part.result = of(part.value);
    part.known = true;
}

ItemExpression::Result ItemExpression::of(const RuntimeValue& value)
{
    switch (value.kind()) {
    case RuntimeValue::Kind::Number:
        return Result{Result::Kind::Number, *value.toNumber(), false, nullptr};
    case RuntimeValue::Kind::Boolean:
        return Result{Result::Kind::Boolean, 0.0, *value.toBoolean(), nullptr};
    case RuntimeValue::Kind::Text:
        break;
    }
    return Result{Result::Kind::Value, 0.0, false, &value};
}

ItemExpression::Result ItemExpression::binary(Part& part)
{
    const ExpressionNode& node = *part.node;
    const ExpressionOperator op = node.op();
    const Result& left = m_parts[std::size_t(part.left)].result;
    const Result& right = m_parts[std::size_t(part.right)].result;
    if (op == ExpressionOperator::And || op == ExpressionOperator::Or) {
        // Both sides are worked out, as the evaluator does, so a fault on the right shows.
        const bool a = booleanOf(left, node.operand(0));
        const bool b = booleanOf(right, node.operand(1));
        return Result{Result::Kind::Boolean, 0.0, op == ExpressionOperator::And ? a && b : a || b, nullptr};
    }
    if (left.kind == Result::Kind::Number && right.kind == Result::Kind::Number) {
        if (isComparison(op))
            return Result{Result::Kind::Boolean, 0.0, compareNumbers(op, left.number, right.number), nullptr};
        return Result{Result::Kind::Number, ExpressionEvaluator::applyNumbers(op, left.number, right.number, node),
                      false, nullptr};
    }
    return values(part, left, right);
}

ItemExpression::Result ItemExpression::values(Part& part, const Result& left, const Result& right)
{
    RuntimeValue leftScratch;
    RuntimeValue rightScratch;
    part.value = ExpressionEvaluator::applyBinary(part.node->op(), valueOf(left, leftScratch),
                                                  valueOf(right, rightScratch), *part.node);
    return of(part.value);
}
double ItemExpression::numberOf(const Result& result, const ExpressionNode& node)
{
    switch (result.kind) {
    case Result::Kind::Number:
        return result.number;
    case Result::Kind::Boolean:
        return result.boolean ? 1.0 : 0.0;
    case Result::Kind::Value:
        break;
    }
    return ExpressionEvaluator::numberOf(*result.value, node);
}

bool ItemExpression::booleanOf(const Result& result, const ExpressionNode& node)
{
    switch (result.kind) {
    case Result::Kind::Number:
        return result.number != 0.0;
    case Result::Kind::Boolean:
        return result.boolean;
    case Result::Kind::Value:
        break;
    }
    return ExpressionEvaluator::booleanOf(*result.value, node);
}

const RuntimeValue& ItemExpression::valueOf(const Result& result, RuntimeValue& scratch)
{
    switch (result.kind) {
    case Result::Kind::Number:
        scratch = RuntimeValue::number(result.number);
        return scratch;
    case Result::Kind::Boolean:
        scratch = RuntimeValue::boolean(result.boolean);
        return scratch;
    case Result::Kind::Value:
        break;
    }
    return *result.value;
}
