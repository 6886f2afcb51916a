#include "lang/Tokenizer.h"

#include "lang/ExpressionParser.h"

void Tokenizer::setKeepQuotedFields(bool keep)
{
    m_keepQuoted = keep;
    split();
}

void Tokenizer::setKeepEmptyTokens(bool keep)
{
    m_keepEmpty = keep;
    split();
}

void Tokenizer::setKeepDelimiters(bool keep)
{
    m_keepDelimiters = keep;
    split();
}

void Tokenizer::setDelimiters(const QString& delimiters)
{
    m_delimiters = delimiters;
    split();
}

void Tokenizer::setText(const QString& text)
{
    m_text = text;
    split();
}

StringBuffer Tokenizer::Token(int index) const
{
    if (index < 1 || index > Count())
        return StringBuffer();
    return StringBuffer(m_tokens.at(static_cast<std::size_t>(index - 1)).text);
}

QString Tokenizer::DelimiterAt(int index) const
{
    if (index == Count() + 1)
        return m_pendingDelimiters;
    if (index < 1 || index > Count())
        return QString();
    return m_tokens.at(static_cast<std::size_t>(index - 1)).delimitersBefore;
}

bool Tokenizer::CheckExpression()
{
    const ExpressionParseResult result = ExpressionParser::parse(m_text);
    m_message = result.message;
    return !result.ok();
}

void Tokenizer::split()
{
    m_tokens.clear();
    m_pendingDelimiters.clear();
    if (m_text.isEmpty())
        return;
    qsizetype pos = 0;
    for (;;) {
        bool quoted = false;
        const QString field = readField(pos, quoted);
        if (!field.isEmpty() || quoted || m_keepEmpty)
            addToken(field);
        if (pos >= m_text.size())
            break;
        const QString delimiter(m_text.at(pos++));
        if (m_keepDelimiters)
            addToken(delimiter);
        else
            m_pendingDelimiters += delimiter;
    }
}

QString Tokenizer::readField(qsizetype& pos, bool& quoted) const
{
    QString field;
    quoted = m_keepQuoted && pos < m_text.size() && m_text.at(pos) == QLatin1Char('"');
    if (quoted) {
        for (++pos; pos < m_text.size(); ++pos) {
            const QChar c = m_text.at(pos);
            if (c == QLatin1Char('"')) {
                if (pos + 1 >= m_text.size() || m_text.at(pos + 1) != QLatin1Char('"')) {
                    ++pos;
                    break;
                }
                ++pos; // "" inside the quotes is one quote
            }
            field += c;
        }
    }
    // Text after the closing quote, or the whole field when unquoted, runs to the next delimiter.
    while (pos < m_text.size() && !m_delimiters.contains(m_text.at(pos)))
        field += m_text.at(pos++);
    return field;
}

void Tokenizer::addToken(const QString& text)
{
    m_tokens.push_back(Piece{text, m_pendingDelimiters});
    m_pendingDelimiters.clear();
}
