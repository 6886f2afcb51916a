#include "lang/ExpressionParser.h"

#include "base/ResourceStrings.h"

namespace {

// Deeper nesting than any hand-written condition; keeps a hostile file from exhausting the stack.
constexpr int kMaximumDepth = 200;

struct SyntaxError {
    QString message;
    int position;
};

class DepthGuard {
public:
    explicit DepthGuard(int& depth) : m_depth(depth) { ++m_depth; }
    ~DepthGuard() { --m_depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& m_depth;
};

} // namespace

ExpressionParseResult ExpressionParser::parse(const QString& text)
{
    ExpressionParser parser(ExpressionLexer::tokenize(text));
    ExpressionParseResult result;
    try {
        result.root = parser.parseWhole();
    } catch (const SyntaxError& error) {
        result.message = error.message;
        result.position = error.position;
    }
    return result;
}

QString ExpressionParser::message(ExpressionError error, int position, const QString& detail)
{
    const QString pattern = LoadResString(static_cast<int>(error));
    if (pattern.contains(QLatin1String("%2")))
        return pattern.arg(detail, QString::number(position));
    if (pattern.contains(QLatin1String("%1")))
        return pattern.arg(position);
    return pattern;
}

ExpressionNode::Ptr ExpressionParser::parseWhole()
{
    if (peek().kind == ExpressionTokenKind::End)
        fail(ExpressionError::EmptyExpression, 1);
    ExpressionNode::Ptr root = parseBinary(ExpressionNode::OrLevel);
    if (peek().kind != ExpressionTokenKind::End)
        failAfterOperand(peek(), 0);
    return root;
}

ExpressionNode::Ptr ExpressionParser::parseBinary(int minimumLevel)
{
    ExpressionNode::Ptr left = parseUnary();
    while (peekBinaryOperator(minimumLevel, ExpressionNode::MultiplyLevel)) {
        const ExpressionToken& op = take();
        ExpressionNode::Ptr right = parseBinary(ExpressionNode::precedence(op.op) + 1);
        left = ExpressionNode::makeBinary(op.op, std::move(left), std::move(right), op.position);
    }
    return left;
}

ExpressionNode::Ptr ExpressionParser::parseUnary()
{
    const DepthGuard guard(m_depth);
    const ExpressionToken& token = peek();
    if (m_depth > kMaximumDepth)
        fail(ExpressionError::NestedTooDeeply, token.position);
    const bool isSign = token.kind == ExpressionTokenKind::Operator
        && (token.op == ExpressionOperator::Add || token.op == ExpressionOperator::Subtract);
    if (!isSign)
        return parsePower();
    take();
    const ExpressionOperator op = token.op == ExpressionOperator::Subtract ? ExpressionOperator::Negate
                                                                           : ExpressionOperator::Identity;
    return ExpressionNode::makeUnary(op, parseUnary(), token.position);
}

ExpressionNode::Ptr ExpressionParser::parsePower()
{
    ExpressionNode::Ptr base = parsePrimary();
    if (!peekBinaryOperator(ExpressionNode::PowerLevel, ExpressionNode::PowerLevel))
        return base;
    const ExpressionToken& op = take();
    // Going through the unary level makes ^ right-associative and lets the exponent carry a sign.
    return ExpressionNode::makeBinary(op.op, std::move(base), parseUnary(), op.position);
}

ExpressionNode::Ptr ExpressionParser::parsePrimary()
{
    const ExpressionToken& token = peek();
    switch (token.kind) {
    case ExpressionTokenKind::Number:
        take();
        return ExpressionNode::makeNumber(token.number, token.source, token.position);
    case ExpressionTokenKind::Text:
        take();
        return ExpressionNode::makeText(token.value, token.position);
    case ExpressionTokenKind::ControlReference:
        take();
        return ExpressionNode::makeControlReference(token.value, token.position);
    case ExpressionTokenKind::SelectorReference:
        take();
        return ExpressionNode::makeSelectorReference(token.selector, token.position);
    case ExpressionTokenKind::Name:
        take();
        return parseName(token);
    case ExpressionTokenKind::LeftParenthesis:
        return parseParenthesised();
    default:
        failMissingOperand(token);
    }
}

ExpressionNode::Ptr ExpressionParser::parseName(const ExpressionToken& name)
{
    const std::optional<ExpressionFunction> function = ExpressionNode::functionFromName(name.value);
    if (peek().kind == ExpressionTokenKind::LeftParenthesis) {
        if (!function)
            fail(ExpressionError::UnknownFunction, name.position, name.value);
        return ExpressionNode::makeFunction(*function, parseParenthesised(), name.position);
    }
    // Function names are reserved: a bare one is an argument slot left without its parentheses.
    if (function)
        fail(ExpressionError::MissingFunctionParenthesis, name.position, ExpressionNode::functionName(*function));
    if (name.value.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0)
        return ExpressionNode::makeBoolean(true, name.position);
    if (name.value.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0)
        return ExpressionNode::makeBoolean(false, name.position);
    return ExpressionNode::makeProperty(name.value, name.position);
}

ExpressionNode::Ptr ExpressionParser::parseParenthesised()
{
    const ExpressionToken& open = take();
    ExpressionNode::Ptr inner = parseBinary(ExpressionNode::OrLevel);
    if (peek().kind != ExpressionTokenKind::RightParenthesis)
        failAfterOperand(peek(), open.position);
    take();
    return inner;
}

const ExpressionToken& ExpressionParser::take()
{
    const ExpressionToken& token = m_tokens.at(m_index);
    if (token.kind != ExpressionTokenKind::End && token.kind != ExpressionTokenKind::Error)
        ++m_index;
    return token;
}

bool ExpressionParser::peekBinaryOperator(int minimumLevel, int maximumLevel) const
{
    if (peek().kind != ExpressionTokenKind::Operator)
        return false;
    const int level = ExpressionNode::precedence(peek().op);
    return level >= minimumLevel && level <= maximumLevel;
}

void ExpressionParser::fail(ExpressionError error, int position, const QString& detail) const
{
    throw SyntaxError{message(error, position, detail), position};
}

void ExpressionParser::failAt(const ExpressionToken& token) const
{
    fail(token.error, token.position, token.source);
}

void ExpressionParser::failMissingOperand(const ExpressionToken& token) const
{
    switch (token.kind) {
    case ExpressionTokenKind::Error:
        failAt(token);
    case ExpressionTokenKind::RightParenthesis:
        fail(ExpressionError::MissingOperandBeforeParenthesis, token.position);
    case ExpressionTokenKind::End: {
        const ExpressionToken& previous = m_tokens.at(m_index - 1);
        fail(ExpressionError::MissingOperandAfter, previous.position, previous.source);
    }
    default:
        fail(ExpressionError::UnexpectedOperator, token.position, token.source);
    }
}

void ExpressionParser::failAfterOperand(const ExpressionToken& token, int openParenthesis) const
{
    switch (token.kind) {
    case ExpressionTokenKind::Error:
        failAt(token);
    case ExpressionTokenKind::End:
        fail(ExpressionError::MissingClosingParenthesis, openParenthesis);
    case ExpressionTokenKind::RightParenthesis:
        fail(ExpressionError::UnmatchedClosingParenthesis, token.position);
    default:
        fail(ExpressionError::MissingOperator, token.position, token.source);
    }
}
