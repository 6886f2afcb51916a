#pragma once

#include "lang/ExpressionLexer.h"
#include "lang/ExpressionNode.h"

#include <QString>

#include <memory>
#include <vector>

struct ExpressionParseResult {
    std::unique_ptr<ExpressionNode> root; // null on a syntax error
    QString message;                      // what is wrong and where; empty on success
    int position = 0;                     // 1-based position of the error; 0 on success

    bool ok() const { return root != nullptr; }
};

// Recursive descent over one expression line. Loosest to tightest: |, &, comparisons, + -, * /,
// unary sign, ^ (right-associative, its exponent may carry a sign).
class ExpressionParser {
public:
    static ExpressionParseResult parse(const QString& text);

    // The string-table text of a syntax message, filled in.
    static QString message(ExpressionError error, int position, const QString& detail = QString());

private:
    explicit ExpressionParser(std::vector<ExpressionToken> tokens) : m_tokens(std::move(tokens)) {}

    ExpressionNode::Ptr parseWhole();
    ExpressionNode::Ptr parseBinary(int minimumLevel);
    ExpressionNode::Ptr parseUnary();
    ExpressionNode::Ptr parsePower();
    ExpressionNode::Ptr parsePrimary();
    ExpressionNode::Ptr parseName(const ExpressionToken& name);
    ExpressionNode::Ptr parseParenthesised();

    const ExpressionToken& peek() const { return m_tokens.at(m_index); }
    const ExpressionToken& take();
    bool peekBinaryOperator(int minimumLevel, int maximumLevel) const;

    [[noreturn]] void fail(ExpressionError error, int position, const QString& detail = QString()) const;
    [[noreturn]] void failAt(const ExpressionToken& token) const;
    [[noreturn]] void failMissingOperand(const ExpressionToken& token) const;
    [[noreturn]] void failAfterOperand(const ExpressionToken& token, int openParenthesis) const;

    std::vector<ExpressionToken> m_tokens;
    std::size_t m_index = 0;
    int m_depth = 0;
};
