#include "compile/KvwNotation.h"

#include "base/MCommonUtil.h"
#include "compile/KvwLines.h"
#include "compile/NewIntIdTable.h"
#include "lang/BlockLine.h"
#include "lang/ExpressionLexer.h"
#include "lang/ExpressionParser.h"
#include "lang/MCompileUtil.h"
#include "lang/ReferenceWalk.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/MDecisionDataUtil.h"

#include <algorithm>

namespace {

using Kind = ExpressionTokenKind;

const QString BreakEntity = QStringLiteral("&lt;BR&gt;");

bool isBooleanControl(const CmDecisionItem* control)
{
    return control
           && MDecisionDataUtil::GetDataType(control->intControl()) == MDecisionDataUtil::BooleanData;
}

bool isWholeNumber(const QString& text)
{
    bool ok = false;
    text.toInt(&ok);
    return ok;
}

bool isTrueOrFalse(const QString& word)
{
    return word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0
           || word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0;
}

bool isQuoted(const QString& text)
{
    return text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"'));
}

// Set (true), cleared (false) or neither, for the words of a Check or a Command control.
std::optional<bool> booleanState(qint16 type, const QString& word)
{
    const QString w = word.trimmed();
    const auto is = [&w](const char* text) { return w.compare(QLatin1String(text), Qt::CaseInsensitive) == 0; };
    const bool check = type == MDecisionDataUtil::Check;
    if (is("True") || is(check ? "Checked" : "Pushed"))
        return true;
    if (is("False") || is(check ? "Not Checked" : "Not Pushed"))
        return false;
    return std::nullopt;
}

// The option words of Check and Command controls, old and new, for either.
std::optional<bool> optionState(const QString& body)
{
    for (const char* word : {"Checked", "Pushed", "True"}) {
        if (body.compare(QLatin1String(word), Qt::CaseInsensitive) == 0)
            return true;
    }
    for (const char* word : {"Not Checked", "Not Pushed", "False"}) {
        if (body.compare(QLatin1String(word), Qt::CaseInsensitive) == 0)
            return false;
    }
    return std::nullopt;
}

// The text a token was written as, and where.
struct Span {
    qsizetype start = 0;
    qsizetype end = 0;
};

Span spanOf(const ExpressionToken& token)
{
    const qsizetype start = token.position - 1;
    return {start, start + token.source.size()};
}

// The tokens up to the end or the first error: a text that does not lex is converted as far as
// it does.
std::vector<ExpressionToken> readableTokens(const QString& text)
{
    std::vector<ExpressionToken> tokens = ExpressionLexer::tokenize(text);
    while (!tokens.empty() && (tokens.back().kind == Kind::End || tokens.back().kind == Kind::Error))
        tokens.pop_back();
    return tokens;
}

struct Edit {
    Span span;
    QString text;
};

QString applyEdits(QString text, std::vector<Edit> edits)
{
    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.span.start > b.span.start; });
    for (const Edit& edit : edits)
        text.replace(edit.span.start, edit.span.end - edit.span.start, edit.text);
    return text;
}

bool isComparison(ExpressionOperator op)
{
    return ExpressionNode::precedence(op) == ExpressionNode::CompareLevel;
}

bool isArithmetic(ExpressionOperator op)
{
    const int level = ExpressionNode::precedence(op);
    return op != ExpressionOperator::Negate && op != ExpressionOperator::Identity
           && (level == ExpressionNode::AddLevel || level == ExpressionNode::MultiplyLevel
               || level == ExpressionNode::PowerLevel);
}

QString webFunctionName(ExpressionFunction function)
{
    switch (function) {
    case ExpressionFunction::Asin: return QStringLiteral("ARCS");
    case ExpressionFunction::Acos: return QStringLiteral("ARCC");
    default: return ExpressionNode::functionName(function);
    }
}

// Pieces of text separated by sep where it stands outside quotes, brackets and parentheses.
QStringList splitTopLevel(const QString& text, QChar sep)
{
    QStringList pieces;
    QString piece;
    int depth = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('(') || c == QLatin1Char('[') || c == QLatin1Char('<')))
            ++depth;
        else if (!quoted && (c == QLatin1Char(')') || c == QLatin1Char(']') || c == QLatin1Char('>')))
            depth = std::max(0, depth - 1);
        if (c == sep && !quoted && depth == 0) {
            pieces.append(piece);
            piece.clear();
        } else {
            piece += c;
        }
    }
    pieces.append(piece);
    return pieces;
}

} // namespace

struct KvwNotation::Operand {
    enum class Kind { Reference, Number, Text, Boolean, Word, NumericTerm, Term };
    QString text;
    Kind kind = Kind::Term;

    bool numeric() const { return kind == Kind::Number || kind == Kind::NumericTerm; }
};

KvwNotation::KvwNotation(const CmDecisionManager& decisions, const NewIntIdTable& numbers)
    : m_decisions(decisions), m_numbers(numbers)
{
}

QString KvwNotation::ConvertStringToKvwFormat(const QString& text)
{
    // Most texts need nothing: hand them back without building a copy.
    if (KvwLines::IsPlain(text, u"<>&\"\\\r\n"))
        return text;
    QString result;
    result.reserve(text.size() + 16);
    const QString clean = KvwLines::XmlCharactersOnly(text);
    for (qsizetype i = 0; i < clean.size(); ++i) {
        const QChar c = clean.at(i);
        switch (c.unicode()) {
        case '\\': {
            const QChar next = i + 1 < clean.size() ? clean.at(i + 1) : QChar();
            if (next == QLatin1Char('<') || next == QLatin1Char('>')) {
                result += next == QLatin1Char('<') ? QLatin1String("&lt; ") : QLatin1String("&gt; ");
                ++i;
            } else {
                result += c;
            }
            break;
        }
        case '<': result += QLatin1String("&lt;"); break;
        case '>': result += QLatin1String("&gt;"); break;
        case '&': result += QLatin1String("&amp;"); break;
        case '"': result += QLatin1String("&quot;"); break;
        case '\r':
        case '\n': result += BreakEntity; break;
        default: result += c;
        }
    }
    return result;
}

const CmDecisionItem* KvwNotation::sourceControl(const QString& reference) const
{
    const QString name = reference.trimmed();
    if (isWholeNumber(name))
        return m_decisions.Item(name.toInt());
    if (!m_compilingKVW || name.isEmpty())
        return nullptr;
    return m_decisions.Item(name);
}

const CmDecisionItem* KvwNotation::compiledControl(const QString& reference) const
{
    const QString name = reference.trimmed();
    if (isWholeNumber(name))
        return m_numbers.byNumber(name.toInt());
    return name.isEmpty() ? nullptr : m_decisions.Item(name);
}

QString KvwNotation::UpdateIntIDRefs(const QString& text) const
{
    QString result;
    qsizetype pos = 0;
    for (const ReferenceWalk::BracketSpan& span : ReferenceWalk::BracketSpans(text)) {
        // A FALSE turned into TRUE below is passed over.
        if (span.begin < pos)
            continue;
        result += text.mid(pos, span.begin - pos);
        pos = span.end;
        const CmDecisionItem* control = sourceControl(span.inner(text));
        const qint16 number = control ? m_numbers.NewIntID(control->intID()) : 0;
        if (number == 0) {
            result += text.mid(span.begin, span.end - span.begin);
            continue;
        }
        result += QLatin1String("[[") + QString::number(number) + QLatin1String("]]");
        if (!m_compilingKVW || !isBooleanControl(control))
            continue;
        // The web runtime tests Check and Command controls against TRUE only.
        qsizetype at = pos;
        const auto skipBlanks = [&] {
            while (at < text.size() && text.at(at) == QLatin1Char(' '))
                ++at;
        };
        skipBlanks();
        bool equal = false;
        if (text.mid(at, 1) == QLatin1String("="))
            equal = true, at += 1;
        else if (text.mid(at, 2) == QLatin1String("<>"))
            at += 2;
        else if (text.mid(at, 8) == QLatin1String("&lt;&gt;"))
            at += 8;
        else
            continue;
        skipBlanks();
        const bool isFalse = text.mid(at, 5).compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0
                             && (at + 5 >= text.size() || !(text.at(at + 5).isLetterOrNumber() || text.at(at + 5) == QLatin1Char('_')));
        if (!isFalse)
            continue;
        result += equal ? QLatin1String("<>TRUE") : QLatin1String("=TRUE");
        pos = at + 5;
    }
    result += text.mid(pos);
    return result;
}

QString KvwNotation::ConvertBooleanControlRef(const QString& text) const
{
    // A word is one token, or "Not" and the word after it.
    struct Word {
        Span span;
        QString text;
        const ExpressionToken* token = nullptr;
    };
    const std::vector<ExpressionToken> tokens = readableTokens(text);
    std::vector<Word> words;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const ExpressionToken& token = tokens[i];
        Word word{spanOf(token), token.kind == Kind::Text || token.kind == Kind::Name ? token.value : QString(), &token};
        if (token.kind == Kind::Name && token.value.compare(QLatin1String("Not"), Qt::CaseInsensitive) == 0
            && i + 1 < tokens.size() && tokens[i + 1].kind == Kind::Name) {
            word.span.end = spanOf(tokens[i + 1]).end;
            word.text = token.value + QLatin1Char(' ') + tokens[i + 1].value;
            ++i;
        }
        words.push_back(word);
    }
    std::vector<Edit> edits;
    for (std::size_t i = 0; i + 2 < words.size(); ++i) {
        const ExpressionToken& op = *words[i + 1].token;
        if (op.kind != Kind::Operator || (op.op != ExpressionOperator::Equal && op.op != ExpressionOperator::NotEqual))
            continue;
        const bool referenceFirst = words[i].token->kind == Kind::ControlReference;
        const Word& reference = referenceFirst ? words[i] : words[i + 2];
        const Word& value = referenceFirst ? words[i + 2] : words[i];
        if (reference.token->kind != Kind::ControlReference || value.text.isEmpty())
            continue;
        const CmDecisionItem* control = compiledControl(reference.token->value);
        if (!isBooleanControl(control))
            continue;
        const std::optional<bool> state = booleanState(control->intControl(), value.text);
        if (!state)
            continue;
        QString opText = op.source;
        QString valueText;
        if (m_compilingKVW) {
            valueText = QStringLiteral("True");
            if (!*state)
                opText = op.op == ExpressionOperator::Equal ? QStringLiteral("<>") : QStringLiteral("=");
        } else {
            valueText = *state ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        }
        edits.push_back({spanOf(op), opText});
        edits.push_back({value.span, valueText});
        i += 2;
    }
    return applyEdits(text, std::move(edits));
}

QString KvwNotation::ConvertKillSortToKvw(const QString& list, const QString& expression)
{
    const std::vector<ExpressionToken> tokens = readableTokens(expression);
    std::vector<Edit> edits;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const ExpressionToken& token = tokens[i];
        if (token.kind != Kind::Name || isTrueOrFalse(token.value))
            continue;
        if (token.value.compare(QLatin1String("KILL"), Qt::CaseInsensitive) == 0
            || token.value.compare(QLatin1String("SORT"), Qt::CaseInsensitive) == 0)
            continue;
        const bool call = i + 1 < tokens.size() && tokens[i + 1].kind == Kind::LeftParenthesis
                          && ExpressionNode::functionFromName(token.value).has_value();
        if (call)
            continue;
        edits.push_back({spanOf(token), QLatin1String("<<") + list.trimmed() + QLatin1Char(':') + token.value
                                             + QLatin1String(";-1>>")});
    }
    return applyEdits(expression, std::move(edits));
}

QString KvwNotation::QuotedValue(const QString& text)
{
    QString inner = text;
    inner.replace(QLatin1Char('"'), QLatin1String("+dquot"));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QString KvwNotation::ConvertOperand(const QString& operand, CastType cast)
{
    QString text = operand;
    bool reference = text.startsWith(QLatin1String("[[")) || text.startsWith(QLatin1String("<<"));
    if (text.size() > 4 && text.startsWith(QLatin1String("<<")) && text.endsWith(QLatin1String(";-1>>"))) {
        const QString inner = text.mid(2, text.size() - 7);
        text = QLatin1Char('"') + inner.section(QLatin1Char(':'), 0, 0) + QLatin1String("\":\"")
               + inner.section(QLatin1Char(':'), 1) + QLatin1Char('"');
    }
    switch (cast) {
    case TextCast:
        if (reference)
            return text + QLatin1String("(stringReturnQuotes)");
        return isQuoted(text) ? text : QuotedValue(text);
    case BooleanCast:
        return isTrueOrFalse(text) ? text : text + QLatin1String("(bool)");
    case NumberCast:
        return MCommonUtil::IsNumeric(text) ? text : text + QLatin1String("(num)");
    case NoCast:
        break;
    }
    return text;
}

QString KvwNotation::castOperand(const Operand& operand, CastType cast)
{
    if (operand.kind == Operand::Kind::Reference)
        return ConvertOperand(operand.text, cast);
    if (cast == TextCast && (operand.kind == Operand::Kind::Word || operand.kind == Operand::Kind::Boolean))
        return QuotedValue(operand.text);
    return operand.text;
}

QString KvwNotation::AddTypeCast(const Operand& left, const Operand& right, const QString& op, CastType& cast)
{
    return QLatin1Char('(') + castOperand(left, cast) + op + castOperand(right, cast) + QLatin1Char(')');
}

KvwNotation::Operand KvwNotation::convertNode(const ExpressionNode& node) const
{
    using OK = Operand::Kind;
    switch (node.kind()) {
    case ExpressionKind::Number:
        return {node.text().isEmpty() ? QString::number(node.numberValue()) : node.text(), OK::Number};
    case ExpressionKind::Text:
        return {QuotedValue(node.text()), OK::Text};
    case ExpressionKind::Boolean:
        return {node.booleanValue() ? QStringLiteral("True") : QStringLiteral("False"), OK::Boolean};
    case ExpressionKind::ControlReference:
        return {QLatin1String("[[") + node.text() + QLatin1String("]]"), OK::Reference};
    case ExpressionKind::SelectorReference: {
        const SelectorReference& reference = node.selectorReference();
        QString text = QLatin1String("<<") + reference.selector;
        if (!reference.property.isEmpty())
            text += QLatin1Char(':') + reference.property;
        if (!reference.item.isEmpty())
            text += QLatin1Char(';') + reference.item;
        return {text + QLatin1String(">>"), OK::Reference};
    }
    case ExpressionKind::Property:
        return {node.text(), OK::Word};
    case ExpressionKind::Unary: {
        const Operand operand = convertNode(node.operand(0));
        if (node.op() == ExpressionOperator::Identity)
            return operand;
        if (operand.kind == OK::Number)
            return {QLatin1Char('-') + operand.text, OK::Number};
        return {QLatin1Char('-') + castOperand(operand, NumberCast), OK::NumericTerm};
    }
    case ExpressionKind::Function:
        return {webFunctionName(node.function()) + QLatin1Char('(') + castOperand(convertNode(node.operand(0)), NumberCast)
                    + QLatin1Char(')'),
                OK::NumericTerm};
    case ExpressionKind::Binary:
        break;
    }
    Operand left = convertNode(node.operand(0));
    Operand right = convertNode(node.operand(1));
    ExpressionOperator op = node.op();
    if (isComparison(op) && right.kind == OK::Reference && left.kind != OK::Reference) {
        std::swap(left, right);
        op = ExpressionNode::Mirrored(op);
    }
    CastType cast = TextCast;
    if (isArithmetic(op))
        cast = NumberCast;
    else if (op == ExpressionOperator::And || op == ExpressionOperator::Or)
        cast = BooleanCast;
    else if (left.numeric() || right.numeric())
        cast = NumberCast;
    else if (left.kind == OK::Boolean || right.kind == OK::Boolean)
        cast = BooleanCast;
    else if (left.kind == OK::Reference && right.kind == OK::Reference)
        cast = NoCast;
    const QString term = AddTypeCast(left, right, ExpressionNode::operatorText(op), cast);
    return {term, isArithmetic(op) ? OK::NumericTerm : OK::Term};
}

QString KvwNotation::convertWholeExpression(const QString& expression, CastType rootCast) const
{
    const ExpressionParseResult parsed = ExpressionParser::parse(expression);
    if (!parsed.ok())
        return expression;
    return castOperand(convertNode(*parsed.root), rootCast);
}

QString KvwNotation::ConvertExpression(const QString& expression, CastType rootCast) const
{
    return convertWholeExpression(expression, rootCast);
}

QString KvwNotation::convertGoTarget(const QString& target) const
{
    QString name = target.trimmed();
    if (name.startsWith(QLatin1String("[[")) && name.endsWith(QLatin1String("]]"))) {
        // Already numbered by UpdateIntIDRefs, or unknown.
        return ConvertStringToKvwFormat(name);
    }
    const CmDecisionItem* control = sourceControl(name);
    const qint16 number = control ? m_numbers.NewIntID(control->intID()) : 0;
    if (number == 0)
        return ConvertStringToKvwFormat(name);
    return QLatin1String("[[") + QString::number(number) + QLatin1String("]]");
}

QString KvwNotation::convertSetValue(const QString& argument) const
{
    const QString trimmed = argument.trimmed();
    const qsizetype closing = trimmed.startsWith(QLatin1String("[[")) ? trimmed.indexOf(QLatin1String("]]")) : -1;
    const qsizetype equals = trimmed.indexOf(QLatin1Char('='), closing < 0 ? 0 : closing);
    if (equals < 0)
        return ConvertStringToKvwFormat(ConvertBooleanControlRef(argument));
    QString target = trimmed.left(equals).trimmed();
    const QString value = trimmed.mid(equals + 1).trimmed();
    const bool bracketed = target.startsWith(QLatin1String("[[")) && target.endsWith(QLatin1String("]]"));
    const QString reference = bracketed ? target.mid(2, target.size() - 4) : target;
    const CmDecisionItem* control = bracketed ? compiledControl(reference) : sourceControl(reference);
    if (control && !bracketed) {
        const qint16 number = m_numbers.NewIntID(control->intID());
        if (number != 0)
            target = QLatin1String("[[") + QString::number(number) + QLatin1String("]]");
    }
    QString converted;
    const std::optional<bool> state =
        isBooleanControl(control) ? booleanState(control->intControl(), isQuoted(value) ? value.mid(1, value.size() - 2) : value)
                                  : std::nullopt;
    if (state) {
        converted = *state ? QStringLiteral("True") : QStringLiteral("False");
    } else if (isQuoted(value)) {
        // A doubled quote inside quotes is one quote to the author, as everywhere in the option
        // language; the web runtime would show two.
        converted = QuotedValue(value.mid(1, value.size() - 2).replace(QLatin1String("\"\""), QLatin1String("\"")));
    } else {
        CastType cast = TextCast;
        if (control && MDecisionDataUtil::GetDataType(control->intControl()) == MDecisionDataUtil::NumericData)
            cast = NumberCast;
        else if (isBooleanControl(control))
            cast = BooleanCast;
        const QString withBooleans = ConvertBooleanControlRef(value);
        const ExpressionParseResult parsed = ExpressionParser::parse(withBooleans);
        converted = parsed.ok() ? castOperand(convertNode(*parsed.root), cast) : QuotedValue(value);
    }
    return ConvertStringToKvwFormat(target) + QLatin1Char('=') + ConvertStringToKvwFormat(converted);
}

QString KvwNotation::convertSort(const QString& argument) const
{
    const qsizetype colon = argument.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return ConvertStringToKvwFormat(argument);
    const QString list = argument.left(colon).trimmed();
    const QString rest = argument.mid(colon + 1);
    const qsizetype semicolon = rest.indexOf(QLatin1Char(';'));
    const QString keys = semicolon < 0 ? rest : rest.left(semicolon);
    QStringList converted;
    for (const QString& key : splitTopLevel(keys, QLatin1Char(','))) {
        const QString withProperties = ConvertKillSortToKvw(list, ConvertBooleanControlRef(key.trimmed()));
        converted.append(ConvertStringToKvwFormat(convertWholeExpression(withProperties, NoCast)));
    }
    QString result = ConvertStringToKvwFormat(list) + QLatin1Char(':') + converted.join(QLatin1Char(','));
    if (semicolon >= 0) {
        // The orders as the stored record holds them: one descending flag per key.
        const QString stored = MCompileUtil::ConvertSortExpr(QStringLiteral(";") + rest.mid(semicolon + 1));
        result += ConvertStringToKvwFormat(stored);
    }
    return result;
}

QString KvwNotation::convertArgument(const QString& keyword, const QString& argument) const
{
    const auto is = [&keyword](BlockLine::Keyword word) { return keyword == BlockLine::KeywordText(word); };
    if (is(BlockLine::Kill)) {
        const qsizetype colon = argument.indexOf(QLatin1Char(':'));
        if (colon < 0)
            return ConvertStringToKvwFormat(ConvertBooleanControlRef(argument));
        const QString list = argument.left(colon).trimmed();
        const QString expression = ConvertKillSortToKvw(list, ConvertBooleanControlRef(argument.mid(colon + 1).trimmed()));
        return ConvertStringToKvwFormat(list) + QLatin1Char(':')
               + ConvertStringToKvwFormat(convertWholeExpression(expression, BooleanCast));
    }
    if (is(BlockLine::Sort))
        return convertSort(argument);
    if (is(BlockLine::Go))
        return convertGoTarget(argument);
    if (is(BlockLine::Set) || is(BlockLine::Default))
        return convertSetValue(argument);
    if (is(BlockLine::Jump) || is(BlockLine::JumpN)) {
        const QString address = argument.trimmed();
        const QString bare = isQuoted(address) ? address.mid(1, address.size() - 2) : address;
        return ConvertStringToKvwFormat(QuotedValue(bare) + QLatin1String("(stringReturnQuotes)"));
    }
    if (is(BlockLine::If) || is(BlockLine::ElseIf))
        return ConvertStringToKvwFormat(convertWholeExpression(ConvertBooleanControlRef(argument.trimmed()), BooleanCast));
    if (is(BlockLine::Else) || is(BlockLine::EndIf) || is(BlockLine::Noop))
        return QString();
    return ConvertStringToKvwFormat(ConvertBooleanControlRef(argument));
}

QString KvwNotation::AddKVWAction(const QString& line, int& openBlocks, bool beforeFirstOption) const
{
    const QString updated = UpdateIntIDRefs(line);
    QString result;
    if (openBlocks == 0)
        result += KvwLines::Indent(beforeFirstOption ? 2 : 3) + QLatin1String("<Action>");
    const QString keyword = BlockLine::ActionKeyword(updated);
    const QString upper = keyword.toUpper();
    result += QLatin1Char('!') + ConvertStringToKvwFormat(keyword);
    const QString argument = convertArgument(upper, BlockLine::ActionArgument(updated));
    if (!argument.isEmpty())
        result += QLatin1Char(' ') + argument;
    result += QLatin1Char(';');
    if (upper == BlockLine::KeywordText(BlockLine::If))
        ++openBlocks;
    else if (upper == BlockLine::KeywordText(BlockLine::EndIf))
        openBlocks = std::max(0, openBlocks - 1);
    result += openBlocks == 0 ? QStringLiteral("</Action>\n") : QStringLiteral(",");
    return result;
}

QString KvwNotation::GetKVWOptsAndActs(const QStringList& lines, bool numericRange, qint16 type) const
{
    enum class Open { Nothing, Option, SubRange };
    QString result;
    Open open = Open::Nothing;
    int openBlocks = 0;
    // A block left open by an option's actions gets its !ENDIF actions before the option ends.
    const auto closeBlocks = [&] {
        while (openBlocks > 0)
            result += AddKVWAction(BlockLine::MarkedKeyword(BlockLine::EndIf), openBlocks, open == Open::Nothing);
    };
    const auto closeOption = [&] {
        closeBlocks();
        if (open != Open::Nothing)
            result += KvwLines::Close(2, open == Open::Option ? QStringLiteral("Option") : QStringLiteral("SubRange"));
    };
    const bool boolean = MDecisionDataUtil::GetDataType(type) == MDecisionDataUtil::BooleanData;
    for (const QString& line : lines) {
        switch (BlockLine::KindOf(line)) {
        case BlockLine::Kind::Option: {
            closeOption();
            const QString body = BlockLine::Body(line);
            if (numericRange) {
                // A range without "-" is one value: from it, to it.
                const qsizetype dash = body.indexOf(QLatin1Char('-'));
                result += KvwLines::Range(2, true, dash < 0 ? body : body.left(dash), dash < 0 ? body : body.mid(dash + 1));
                open = Open::SubRange;
            } else {
                QString text;
                if (boolean) {
                    const std::optional<bool> state = optionState(body);
                    text = state ? (*state ? QStringLiteral("True") : QStringLiteral("False")) : QString();
                } else {
                    text = ConvertStringToKvwFormat(body);
                }
                result += KvwLines::Indent(2) + QLatin1String("<Option>") + text + QLatin1Char('\n');
                open = Open::Option;
            }
            break;
        }
        case BlockLine::Kind::Action:
            result += AddKVWAction(line, openBlocks, open == Open::Nothing);
            break;
        default:
            break;
        }
    }
    closeOption();
    return result;
}
