#pragma once

#include "lang/StringBuffer.h"

#include <QString>

#include <vector>

// Splits a text at delimiter characters; tokens and positions are 1-based. Every setter splits the
// current text again, so the order of the calls does not matter.
//
// Switches, all off by default:
// - keepQuotedFields: a field that begins with a double quote runs to the matching quote, delimiters
//   inside it included; the quotes are removed and "" inside stands for one quote. A quote anywhere
//   else is an ordinary character; an unclosed quote runs to the end of the text.
// - keepEmptyTokens: an empty field between two delimiters (or before the first or after the last)
//   is a token. A quoted empty field ("") is always a token.
// - keepDelimiters: each delimiter character is a token of its own, in text order.
//
// DelimiterAt(i) is the whole run of delimiter characters between token i-1 and token i (from the
// start of the text for token 1), so "[[Age]]>18" gives "Age" after "[[" and "18" after "]]>".
// Runs exist only when empty tokens are dropped; DelimiterAt(Count() + 1) gives the run after the
// last token.
class Tokenizer {
public:
    bool keepQuotedFields() const { return m_keepQuoted; }
    void setKeepQuotedFields(bool keep);
    bool keepEmptyTokens() const { return m_keepEmpty; }
    void setKeepEmptyTokens(bool keep);
    bool keepDelimiters() const { return m_keepDelimiters; }
    void setKeepDelimiters(bool keep);

    const QString& Delimiters() const { return m_delimiters; }
    void setDelimiters(const QString& delimiters);
    const QString& Text() const { return m_text; }
    void setText(const QString& text);

    int Count() const { return static_cast<int>(m_tokens.size()); }
    // Token i from 1 to Count(); empty outside.
    StringBuffer Token(int index) const;
    QString DelimiterAt(int index) const;

    // Inverted sense: false when Text() is a well-formed expression, true on a syntax error.
    bool CheckExpression();
    // What the last CheckExpression found wrong, with its 1-based position; empty when it passed.
    const QString& Message() const { return m_message; }

private:
    struct Piece {
        QString text;
        QString delimitersBefore;
    };

    void split();
    // Reads the field starting at pos and leaves pos at the delimiter that ends it (or the end).
    QString readField(qsizetype& pos, bool& quoted) const;
    void addToken(const QString& text);

    bool m_keepQuoted = false;
    bool m_keepEmpty = false;
    bool m_keepDelimiters = false;
    QString m_delimiters;
    QString m_text;
    QString m_message;
    std::vector<Piece> m_tokens;
    // Delimiters not yet given to a token; once split, the run after the last token.
    QString m_pendingDelimiters;
};
