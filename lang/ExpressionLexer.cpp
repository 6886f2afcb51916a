#include "lang/ExpressionLexer.h"

#include "base/MCommonUtil.h"

#include <QLocale>

namespace {

bool isNameCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

std::optional<SelectorReference> SelectorReferenceParts(const QString& inside)
{
    const qsizetype colon = inside.indexOf(QLatin1Char(':'));
    const qsizetype semicolon = inside.indexOf(QLatin1Char(';'));
    SelectorReference parts;
    parts.selector = inside.left(colon < 0 ? semicolon : colon).trimmed();
    if (colon >= 0) {
        parts.property = inside.mid(colon + 1, semicolon < 0 ? -1 : semicolon - colon - 1).trimmed();
        if (semicolon >= 0)
            parts.item = inside.mid(semicolon + 1).trimmed();
    }
    const bool partsInOrder = semicolon < 0 || (colon >= 0 && colon < semicolon);
    const bool oneOfEach = inside.count(QLatin1Char(':')) <= 1 && inside.count(QLatin1Char(';')) <= 1;
    const bool givenPartsNamed = !parts.selector.isEmpty() && (colon < 0 || !parts.property.isEmpty())
                                 && (semicolon < 0 || !parts.item.isEmpty());
    if (!partsInOrder || !oneOfEach || !givenPartsNamed)
        return std::nullopt;
    return parts;
}

namespace {

const QString& SelectorReferenceLastPart(const SelectorReference& reference)
{
    if (!reference.item.isEmpty())
        return reference.item;
    return reference.property.isEmpty() ? reference.selector : reference.property;
}

} // namespace

bool ExpressionToken::startsOperand() const
{
    switch (kind) {
    case ExpressionTokenKind::Number:
    case ExpressionTokenKind::Text:
    case ExpressionTokenKind::Name:
    case ExpressionTokenKind::ControlReference:
    case ExpressionTokenKind::SelectorReference:
    case ExpressionTokenKind::LeftParenthesis:
        return true;
    default:
        return false;
    }
}

std::vector<ExpressionToken> ExpressionLexer::tokenize(const QString& text)
{
    ExpressionLexer lexer(text);
    std::vector<ExpressionToken> tokens;
    do {
        tokens.push_back(lexer.next());
    } while (tokens.back().kind != ExpressionTokenKind::End && tokens.back().kind != ExpressionTokenKind::Error);
    return tokens;
}

ExpressionToken ExpressionLexer::next()
{
    while (m_pos < m_text.size() && isBlank(m_text.at(m_pos)))
        ++m_pos;
    if (m_pos >= m_text.size())
        return make(ExpressionTokenKind::End, m_pos);
    const QChar c = m_text.at(m_pos);
    if (c.isDigit() || (c == QLatin1Char('.') && at(m_pos + 1).isDigit()))
        return readNumber();
    if (c == QLatin1Char('"'))
        return readText();
    if (c.isLetter() || c == QLatin1Char('_'))
        return readName();
    if (c == QLatin1Char('[') && at(m_pos + 1) == QLatin1Char('['))
        return readControlReference();
    // "<<" can never be two less-than operators, so it always opens a selector reference.
    if (c == QLatin1Char('<') && at(m_pos + 1) == QLatin1Char('<'))
        return readSelectorReference();
    return readSymbol();
}

ExpressionToken ExpressionLexer::readNumber()
{
    const qsizetype start = m_pos;
    const auto skipDigits = [this] {
        while (at(m_pos).isDigit())
            ++m_pos;
    };
    skipDigits();
    if (at(m_pos) == QLatin1Char('.')) {
        ++m_pos;
        skipDigits();
    }
    if (at(m_pos).toUpper() == QLatin1Char('E')) {
        const qsizetype sign = (at(m_pos + 1) == QLatin1Char('+') || at(m_pos + 1) == QLatin1Char('-')) ? 1 : 0;
        if (at(m_pos + 1 + sign).isDigit()) {
            m_pos += 1 + sign;
            skipDigits();
        }
    }
    // A number glued to letters or a second point ("12abc", "1.2.3", "1e") is one bad token.
    bool malformed = false;
    while (isNameCharacter(at(m_pos)) || at(m_pos) == QLatin1Char('.')) {
        malformed = true;
        ++m_pos;
    }
    ExpressionToken token = make(ExpressionTokenKind::Number, start);
    if (malformed || !MCommonUtil::IsNumeric(token.source))
        return fail(ExpressionError::InvalidNumber, start, token.source);
    // The number rule decides; a value beyond a double becomes 0 or infinity, as it does
    // wherever a number is read.
    token.number = QLocale::c().toDouble(token.source);
    return token;
}

ExpressionToken ExpressionLexer::readText()
{
    const qsizetype start = m_pos++;
    QString value;
    while (m_pos < m_text.size()) {
        const QChar c = m_text.at(m_pos++);
        if (c != QLatin1Char('"')) {
            value += c;
            continue;
        }
        // A doubled quote stands for one quote inside the text.
        if (at(m_pos) != QLatin1Char('"')) {
            ExpressionToken token = make(ExpressionTokenKind::Text, start);
            token.value = value;
            return token;
        }
        value += c;
        ++m_pos;
    }
    return fail(ExpressionError::UnclosedText, start);
}

ExpressionToken ExpressionLexer::readName()
{
    const qsizetype start = m_pos;
    while (isNameCharacter(at(m_pos)))
        ++m_pos;
    ExpressionToken token = make(ExpressionTokenKind::Name, start);
    token.value = token.source;
    return token;
}

std::optional<QString> ExpressionLexer::readEnclosed(QLatin1String closing)
{
    const qsizetype close = m_text.indexOf(closing, m_pos + 2);
    if (close < 0)
        return std::nullopt;
    const QString inside = m_text.mid(m_pos + 2, close - m_pos - 2);
    m_pos = close + closing.size();
    return inside;
}

ExpressionToken ExpressionLexer::readControlReference()
{
    const qsizetype start = m_pos;
    const std::optional<QString> inside = readEnclosed(QLatin1String("]]"));
    if (!inside)
        return fail(ExpressionError::UnclosedControlReference, start);
    const QString name = inside->trimmed();
    if (name.isEmpty())
        return fail(ExpressionError::EmptyControlReference, start);
    // Written back between "[[" and "]]", such a name would close the reference early.
    if (name.endsWith(QLatin1Char(']')))
        return fail(ExpressionError::ControlReferenceEndsWithBracket, start);
    ExpressionToken token = make(ExpressionTokenKind::ControlReference, start);
    token.value = name;
    return token;
}

ExpressionToken ExpressionLexer::readSelectorReference()
{
    const qsizetype start = m_pos;
    const std::optional<QString> inside = readEnclosed(QLatin1String(">>"));
    if (!inside)
        return fail(ExpressionError::UnclosedSelectorReference, start);
    const std::optional<SelectorReference> reference = SelectorReferenceParts(*inside);
    if (!reference)
        return fail(ExpressionError::InvalidSelectorReference, start);
    // Written back before ">>", a last part ending in '>' would close the reference early.
    if (SelectorReferenceLastPart(*reference).endsWith(QLatin1Char('>')))
        return fail(ExpressionError::SelectorReferenceEndsWithAngle, start);
    ExpressionToken token = make(ExpressionTokenKind::SelectorReference, start);
    token.selector = *reference;
    return token;
}

ExpressionToken ExpressionLexer::readSymbol()
{
    const qsizetype start = m_pos;
    const QChar c = m_text.at(m_pos++);
    const QChar following = at(m_pos);
    ExpressionToken token = make(ExpressionTokenKind::Operator, start);
    const auto take = [&](ExpressionOperator op, int extra) {
        m_pos += extra;
        token.source = m_text.mid(start, m_pos - start);
        token.op = op;
        return token;
    };
    switch (c.unicode()) {
    case '(': token.kind = ExpressionTokenKind::LeftParenthesis; return token;
    case ')': token.kind = ExpressionTokenKind::RightParenthesis; return token;
    case '&': return take(ExpressionOperator::And, 0);
    case '|': return take(ExpressionOperator::Or, 0);
    case '=': return take(ExpressionOperator::Equal, 0);
    case '+': return take(ExpressionOperator::Add, 0);
    case '-': return take(ExpressionOperator::Subtract, 0);
    case '*': return take(ExpressionOperator::Multiply, 0);
    case '/': return take(ExpressionOperator::Divide, 0);
    case '^': return take(ExpressionOperator::Power, 0);
    case '<':
        if (following == QLatin1Char('='))
            return take(ExpressionOperator::LessEqual, 1);
        if (following == QLatin1Char('>'))
            return take(ExpressionOperator::NotEqual, 1);
        return take(ExpressionOperator::Less, 0);
    case '>':
        if (following == QLatin1Char('='))
            return take(ExpressionOperator::GreaterEqual, 1);
        return take(ExpressionOperator::Greater, 0);
    default:
        return fail(ExpressionError::UnexpectedCharacter, start, QString(c));
    }
}

ExpressionToken ExpressionLexer::make(ExpressionTokenKind kind, qsizetype start) const
{
    ExpressionToken token;
    token.kind = kind;
    token.position = static_cast<int>(start) + 1;
    token.source = m_text.mid(start, m_pos - start);
    return token;
}

ExpressionToken ExpressionLexer::fail(ExpressionError error, qsizetype start, const QString& detail) const
{
    ExpressionToken token = make(ExpressionTokenKind::Error, start);
    token.error = error;
    token.source = detail;
    return token;
}
