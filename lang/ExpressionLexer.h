#pragma once

#include "lang/ExpressionNode.h"

#include <QString>

#include <optional>
#include <vector>

// Ids of the syntax messages in the string table. The texts take the position as %1, or a detail
// (the offending text) as %1 and the position as %2.
enum class ExpressionError {
    EmptyExpression = 31000,
    MissingClosingParenthesis = 31001,
    UnmatchedClosingParenthesis = 31002,
    MissingOperandAfter = 31003,
    UnexpectedOperator = 31004,
    MissingOperandBeforeParenthesis = 31005,
    MissingOperator = 31006,
    UnknownFunction = 31007,
    MissingFunctionParenthesis = 31008,
    UnclosedControlReference = 31009,
    UnclosedSelectorReference = 31010,
    UnclosedText = 31011,
    EmptyControlReference = 31012,
    InvalidSelectorReference = 31013,
    InvalidNumber = 31014,
    UnexpectedCharacter = 31015,
    NestedTooDeeply = 31016,
    ControlReferenceEndsWithBracket = 33316,
    SelectorReferenceEndsWithAngle = 33317,
};

// The parts of a selector reference between "<<" and ">>": a selector, then optionally ":" and
// a property, then optionally ";" and an item; each part named, no other ":" or ";". Nothing
// for any other form.
std::optional<SelectorReference> SelectorReferenceParts(const QString& inside);

enum class ExpressionTokenKind {
    Number,
    Text,
    Name,
    ControlReference,
    SelectorReference,
    Operator,
    LeftParenthesis,
    RightParenthesis,
    End,
    Error,
};

struct ExpressionToken {
    ExpressionTokenKind kind = ExpressionTokenKind::End;
    int position = 0;  // 1-based
    QString source;    // as written
    QString value;     // unescaped text, trimmed control name or bare name
    double number = 0.0;
    SelectorReference selector;
    ExpressionOperator op = ExpressionOperator::Or;
    ExpressionError error = ExpressionError::UnexpectedCharacter; // of an Error token; detail in source

    bool startsOperand() const;
};

// Cuts one expression line into tokens; blanks and TABs only separate them.
class ExpressionLexer {
public:
    // Every token up to the End token, or up to and including the first Error token.
    static std::vector<ExpressionToken> tokenize(const QString& text);

private:
    explicit ExpressionLexer(const QString& text) : m_text(text) {}

    ExpressionToken next();
    ExpressionToken readNumber();
    ExpressionToken readText();
    ExpressionToken readName();
    // After an opening pair at m_pos: the text up to closing, moving past it; nothing when unclosed.
    std::optional<QString> readEnclosed(QLatin1String closing);
    ExpressionToken readControlReference();
    ExpressionToken readSelectorReference();
    ExpressionToken readSymbol();

    ExpressionToken make(ExpressionTokenKind kind, qsizetype start) const;
    ExpressionToken fail(ExpressionError error, qsizetype start, const QString& detail = QString()) const;
    QChar at(qsizetype index) const { return index < m_text.size() ? m_text.at(index) : QChar(); }

    const QString& m_text;
    qsizetype m_pos = 0;
};
