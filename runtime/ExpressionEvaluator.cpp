#include "runtime/ExpressionEvaluator.h"

#include "base/ResourceStrings.h"
#include "runtime/RuntimeFault.h"

#include <cmath>

namespace {

[[noreturn]] void fail(int id, const QString& detail, const ExpressionNode& node)
{
    throw RuntimeFault{LoadResString(id).arg(detail).arg(node.position())};
}

QString nodeText(const ExpressionNode& node)
{
    return node.toText();
}

double checked(double result, const ExpressionNode& node)
{
    if (!std::isfinite(result))
        fail(32502, nodeText(node), node);
    return result;
}

} // namespace

RuntimeValue ExpressionEvaluator::evaluate(const ExpressionNode& node)
{
    switch (node.kind()) {
    case ExpressionKind::Number:
        return RuntimeValue::number(node.numberValue());
    case ExpressionKind::Text:
        return RuntimeValue::text(node.text());
    case ExpressionKind::Boolean:
        return RuntimeValue::boolean(node.booleanValue());
    case ExpressionKind::ControlReference:
        return m_scope.controlValue(node.text());
    case ExpressionKind::SelectorReference:
        return m_scope.selectorValue(node.selectorReference());
    case ExpressionKind::Property:
        return m_scope.propertyValue(node.text());
    case ExpressionKind::Unary: {
        RuntimeValue store;
        const double operand = numberOf(operandValue(node.operand(0), store), node.operand(0));
        return RuntimeValue::number(node.op() == ExpressionOperator::Negate ? -operand : operand);
    }
    case ExpressionKind::Binary:
        return binary(node);
    case ExpressionKind::Function:
        return function(node);
    }
    return {};
}

bool ExpressionEvaluator::test(const ExpressionNode& node)
{
    return booleanOf(evaluate(node), node);
}

const RuntimeValue& ExpressionEvaluator::operandValue(const ExpressionNode& node, RuntimeValue& store)
{
    if (node.kind() == ExpressionKind::Property)
        return m_scope.propertyValue(node.text());
    for (const auto& [known, value] : m_constants)
        if (known == &node)
            return value;
    store = evaluate(node);
    if (dependsOnItem(node))
        return store;
    m_constants.emplace_back(&node, store);
    return m_constants.back().second;
}

bool ExpressionEvaluator::dependsOnItem(const ExpressionNode& node)
{
    for (const auto& [known, depends] : m_dependence)
        if (known == &node)
            return depends;
    const bool depends = readsItem(node);
    m_dependence.emplace_back(&node, depends);
    return depends;
}

bool ExpressionEvaluator::readsItem(const ExpressionNode& node)
{
    bool depends = false;
    node.visit([&depends](const ExpressionNode& part) {
        const bool currentItem = part.kind() == ExpressionKind::SelectorReference
                                 && (part.selectorReference().item.isEmpty() || part.selectorReference().item == QLatin1String("-1"));
        depends = depends || part.kind() == ExpressionKind::Property || currentItem;
    });
    return depends;
}

RuntimeValue ExpressionEvaluator::binary(const ExpressionNode& node)
{
    const ExpressionOperator op = node.op();
    if (op == ExpressionOperator::And || op == ExpressionOperator::Or) {
        // Both sides are evaluated, so a fault on the right is never hidden by the left.
        RuntimeValue leftStore;
        RuntimeValue rightStore;
        const bool left = booleanOf(operandValue(node.operand(0), leftStore), node.operand(0));
        const bool right = booleanOf(operandValue(node.operand(1), rightStore), node.operand(1));
        return RuntimeValue::boolean(op == ExpressionOperator::And ? left && right : left || right);
    }
    RuntimeValue leftStore;
    RuntimeValue rightStore;
    const RuntimeValue& left = operandValue(node.operand(0), leftStore);
    const RuntimeValue& right = operandValue(node.operand(1), rightStore);
    return applyBinary(op, left, right, node);
}

RuntimeValue ExpressionEvaluator::applyBinary(ExpressionOperator op, const RuntimeValue& left, const RuntimeValue& right,
                                              const ExpressionNode& node)
{
    switch (op) {
    case ExpressionOperator::Equal:
        return RuntimeValue::boolean(left.equals(right));
    case ExpressionOperator::NotEqual:
        return RuntimeValue::boolean(!left.equals(right));
    case ExpressionOperator::Less:
        return RuntimeValue::boolean(left.compare(right) < 0);
    case ExpressionOperator::LessEqual:
        return RuntimeValue::boolean(left.compare(right) <= 0);
    case ExpressionOperator::Greater:
        return RuntimeValue::boolean(left.compare(right) > 0);
    case ExpressionOperator::GreaterEqual:
        return RuntimeValue::boolean(left.compare(right) >= 0);
    default:
        break;
    }
    if (op == ExpressionOperator::Add && (!left.toNumber() || !right.toNumber()))
        return RuntimeValue::text(left.toText() + right.toText());
    const double a = numberOf(left, node.operand(0));
    const double b = numberOf(right, node.operand(1));
    return RuntimeValue::number(applyNumbers(op, a, b, node));
}

double ExpressionEvaluator::applyNumbers(ExpressionOperator op, double a, double b, const ExpressionNode& node)
{
    switch (op) {
    case ExpressionOperator::Add:
        return checked(a + b, node);
    case ExpressionOperator::Subtract:
        return checked(a - b, node);
    case ExpressionOperator::Multiply:
        return checked(a * b, node);
    case ExpressionOperator::Divide:
        if (b == 0.0)
            fail(32501, nodeText(node), node);
        return checked(a / b, node);
    case ExpressionOperator::Power:
        return checked(std::pow(a, b), node);
    default:
        return 0.0;
    }
}

RuntimeValue ExpressionEvaluator::function(const ExpressionNode& node)
{
    RuntimeValue store;
    const double x = numberOf(operandValue(node.operand(0), store), node.operand(0));
    return RuntimeValue::number(applyFunction(node.function(), x, node));
}

double ExpressionEvaluator::applyFunction(ExpressionFunction function, double x, const ExpressionNode& node)
{
    double result = 0.0;
    switch (function) {
    case ExpressionFunction::Abs: result = std::fabs(x); break;
    case ExpressionFunction::Ceil: result = std::ceil(x); break;
    case ExpressionFunction::Floor: result = std::floor(x); break;
    case ExpressionFunction::Frac: result = x - std::trunc(x); break;
    case ExpressionFunction::Int: result = std::floor(x); break;
    case ExpressionFunction::Log10: result = std::log10(x); break;
    case ExpressionFunction::Log: result = std::log(x); break;
    case ExpressionFunction::Exp: result = std::exp(x); break;
    case ExpressionFunction::Sin: result = std::sin(x); break;
    case ExpressionFunction::Cos: result = std::cos(x); break;
    case ExpressionFunction::Tan: result = std::tan(x); break;
    case ExpressionFunction::Asin:
    case ExpressionFunction::Arcs: result = std::asin(x); break;
    case ExpressionFunction::Acos:
    case ExpressionFunction::Arcc: result = std::acos(x); break;
    case ExpressionFunction::Atn: result = std::atan(x); break;
    case ExpressionFunction::Sqr: result = std::sqrt(x); break;
    }
    return checked(result, node);
}

double ExpressionEvaluator::numberOf(const RuntimeValue& value, const ExpressionNode& node)
{
    const auto number = value.toNumber();
    if (!number)
        fail(32503, value.toText(), node);
    return *number;
}

bool ExpressionEvaluator::booleanOf(const RuntimeValue& value, const ExpressionNode& node)
{
    const auto result = value.toBoolean();
    if (!result)
        fail(32504, value.toText(), node);
    return *result;
}
