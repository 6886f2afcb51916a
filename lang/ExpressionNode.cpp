#include "lang/ExpressionNode.h"

#include <QtGlobal>

#include <array>
#include <utility>

namespace {

struct FunctionEntry {
    ExpressionFunction function;
    const char* name;
};

constexpr std::array<FunctionEntry, 17> kFunctions{{
    {ExpressionFunction::Abs, "ABS"},     {ExpressionFunction::Ceil, "CEIL"}, {ExpressionFunction::Floor, "FLOOR"},
    {ExpressionFunction::Frac, "FRAC"},   {ExpressionFunction::Int, "INT"},   {ExpressionFunction::Log10, "LOG10"},
    {ExpressionFunction::Log, "LOG"},     {ExpressionFunction::Exp, "EXP"},   {ExpressionFunction::Sin, "SIN"},
    {ExpressionFunction::Cos, "COS"},     {ExpressionFunction::Tan, "TAN"},   {ExpressionFunction::Asin, "ASIN"},
    {ExpressionFunction::Acos, "ACOS"},   {ExpressionFunction::Atn, "ATN"},   {ExpressionFunction::Arcs, "ARCS"},
    {ExpressionFunction::Arcc, "ARCC"},   {ExpressionFunction::Sqr, "SQR"},
}};

} // namespace

ExpressionNode::Ptr ExpressionNode::makeLeaf(ExpressionKind kind, const QString& text, int position)
{
    Ptr node(new ExpressionNode(kind, position));
    node->m_text = text;
    return node;
}

ExpressionNode::Ptr ExpressionNode::makeNumber(double value, const QString& written, int position)
{
    Ptr node = makeLeaf(ExpressionKind::Number, written, position);
    node->m_number = value;
    return node;
}

ExpressionNode::Ptr ExpressionNode::makeText(const QString& value, int position)
{
    return makeLeaf(ExpressionKind::Text, value, position);
}

ExpressionNode::Ptr ExpressionNode::makeBoolean(bool value, int position)
{
    Ptr node = makeLeaf(ExpressionKind::Boolean, QString(), position);
    node->m_boolean = value;
    return node;
}

ExpressionNode::Ptr ExpressionNode::makeControlReference(const QString& name, int position)
{
    return makeLeaf(ExpressionKind::ControlReference, name, position);
}

ExpressionNode::Ptr ExpressionNode::makeSelectorReference(const SelectorReference& reference, int position)
{
    Ptr node = makeLeaf(ExpressionKind::SelectorReference, QString(), position);
    node->m_selector = reference;
    return node;
}

ExpressionNode::Ptr ExpressionNode::makeProperty(const QString& name, int position)
{
    return makeLeaf(ExpressionKind::Property, name, position);
}

ExpressionNode::Ptr ExpressionNode::makeUnary(ExpressionOperator op, Ptr operand, int position)
{
    Ptr node = makeLeaf(ExpressionKind::Unary, QString(), position);
    node->m_operator = op;
    node->m_operands.push_back(std::move(operand));
    return node;
}

ExpressionNode::Ptr ExpressionNode::makeBinary(ExpressionOperator op, Ptr left, Ptr right, int position)
{
    Ptr node = makeLeaf(ExpressionKind::Binary, QString(), position);
    node->m_operator = op;
    node->m_operands.push_back(std::move(left));
    node->m_operands.push_back(std::move(right));
    return node;
}

ExpressionNode::Ptr ExpressionNode::makeFunction(ExpressionFunction function, Ptr argument, int position)
{
    Ptr node = makeLeaf(ExpressionKind::Function, QString(), position);
    node->m_function = function;
    node->m_operands.push_back(std::move(argument));
    return node;
}

const ExpressionNode& ExpressionNode::operand(int index) const
{
    Q_ASSERT(index >= 0 && index < operandCount());
    return *m_operands.at(static_cast<std::size_t>(index));
}

void ExpressionNode::visit(const std::function<void(const ExpressionNode&)>& visitor) const
{
    visitor(*this);
    for (const Ptr& child : m_operands)
        child->visit(visitor);
}

QStringList ExpressionNode::controlReferences() const
{
    QStringList names;
    visit([&names](const ExpressionNode& node) {
        if (node.kind() == ExpressionKind::ControlReference)
            names.append(node.text());
    });
    return names;
}

QList<SelectorReference> ExpressionNode::selectorReferences() const
{
    QList<SelectorReference> references;
    visit([&references](const ExpressionNode& node) {
        if (node.kind() == ExpressionKind::SelectorReference)
            references.append(node.selectorReference());
    });
    return references;
}

QString ExpressionNode::QuotedText(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

QString ExpressionNode::SelectorReferenceText(const SelectorReference& reference)
{
    QString text = QLatin1String("<<") + reference.selector;
    if (!reference.property.isEmpty())
        text += QLatin1Char(':') + reference.property;
    if (!reference.item.isEmpty())
        text += QLatin1Char(';') + reference.item;
    return text + QLatin1String(">>");
}

QString ExpressionNode::toText(Parentheses style) const
{
    switch (m_kind) {
    case ExpressionKind::Number:
    case ExpressionKind::Property:
        return m_text;
    case ExpressionKind::ControlReference:
        return QLatin1String("[[") + m_text + QLatin1String("]]");
    case ExpressionKind::Text:
        return QuotedText(m_text);
    case ExpressionKind::Boolean:
        return m_boolean ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case ExpressionKind::SelectorReference:
        return SelectorReferenceText(m_selector);
    case ExpressionKind::Function:
        return functionName(m_function) + QLatin1Char('(') + operand(0).toText(style) + QLatin1Char(')');
    case ExpressionKind::Unary:
        return operatorText(m_operator) + operandText(0, style);
    case ExpressionKind::Binary: {
        // The builder writes powers as "x^2"; every other operator stands between blanks.
        const QString op = m_operator == ExpressionOperator::Power
            ? operatorText(m_operator)
            : QLatin1Char(' ') + operatorText(m_operator) + QLatin1Char(' ');
        return operandText(0, style) + op + operandText(1, style);
    }
    }
    return QString();
}

QString ExpressionNode::operandText(int index, Parentheses style) const
{
    const ExpressionNode& child = operand(index);
    const QString text = child.toText(style);
    return needsParentheses(child, index == 1, style) ? QLatin1Char('(') + text + QLatin1Char(')') : text;
}

int ExpressionNode::bindingStrength() const
{
    switch (m_kind) {
    case ExpressionKind::Binary:
        return precedence(m_operator);
    case ExpressionKind::Unary:
        return UnaryLevel;
    default:
        return AtomLevel;
    }
}

bool ExpressionNode::needsParentheses(const ExpressionNode& child, bool isRight, Parentheses style) const
{
    const int childStrength = child.bindingStrength();
    if (style == Parentheses::Full)
        return childStrength != AtomLevel;
    const int ownStrength = bindingStrength();
    if (childStrength != ownStrength)
        return childStrength < ownStrength;
    if (m_kind != ExpressionKind::Binary)
        return false;
    // Equal strength: ^ groups to the right, every other operator to the left.
    const bool rightAssociative = m_operator == ExpressionOperator::Power;
    return isRight != rightAssociative;
}

ExpressionOperator ExpressionNode::Mirrored(ExpressionOperator op)
{
    switch (op) {
    case ExpressionOperator::Less: return ExpressionOperator::Greater;
    case ExpressionOperator::LessEqual: return ExpressionOperator::GreaterEqual;
    case ExpressionOperator::Greater: return ExpressionOperator::Less;
    case ExpressionOperator::GreaterEqual: return ExpressionOperator::LessEqual;
    default: return op;
    }
}

int ExpressionNode::precedence(ExpressionOperator op)
{
    switch (op) {
    case ExpressionOperator::Or:
        return OrLevel;
    case ExpressionOperator::And:
        return AndLevel;
    case ExpressionOperator::Equal:
    case ExpressionOperator::NotEqual:
    case ExpressionOperator::Less:
    case ExpressionOperator::LessEqual:
    case ExpressionOperator::Greater:
    case ExpressionOperator::GreaterEqual:
        return CompareLevel;
    case ExpressionOperator::Add:
    case ExpressionOperator::Subtract:
        return AddLevel;
    case ExpressionOperator::Multiply:
    case ExpressionOperator::Divide:
        return MultiplyLevel;
    case ExpressionOperator::Power:
        return PowerLevel;
    case ExpressionOperator::Negate:
    case ExpressionOperator::Identity:
        return UnaryLevel;
    }
    return AtomLevel;
}

QString ExpressionNode::operatorText(ExpressionOperator op)
{
    switch (op) {
    case ExpressionOperator::Or: return QStringLiteral("|");
    case ExpressionOperator::And: return QStringLiteral("&");
    case ExpressionOperator::Equal: return QStringLiteral("=");
    case ExpressionOperator::NotEqual: return QStringLiteral("<>");
    case ExpressionOperator::Less: return QStringLiteral("<");
    case ExpressionOperator::LessEqual: return QStringLiteral("<=");
    case ExpressionOperator::Greater: return QStringLiteral(">");
    case ExpressionOperator::GreaterEqual: return QStringLiteral(">=");
    case ExpressionOperator::Add:
    case ExpressionOperator::Identity: return QStringLiteral("+");
    case ExpressionOperator::Subtract:
    case ExpressionOperator::Negate: return QStringLiteral("-");
    case ExpressionOperator::Multiply: return QStringLiteral("*");
    case ExpressionOperator::Divide: return QStringLiteral("/");
    case ExpressionOperator::Power: return QStringLiteral("^");
    }
    return QString();
}

QString ExpressionNode::functionName(ExpressionFunction function)
{
    for (const FunctionEntry& entry : kFunctions) {
        if (entry.function == function)
            return QLatin1String(entry.name);
    }
    return QString();
}

std::optional<ExpressionFunction> ExpressionNode::functionFromName(const QString& name)
{
    for (const FunctionEntry& entry : kFunctions) {
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return entry.function;
    }
    return std::nullopt;
}
