#include "spelling/SpellHighlighter.h"

#include "spelling/SpellChecker.h"

#include <QTextCharFormat>

SpellHighlighter::SpellHighlighter(QTextDocument* document, const SpellChecker* checker)
    : QSyntaxHighlighter(document), m_checker(checker)
{
}

void SpellHighlighter::setChecker(const SpellChecker* checker)
{
    m_checker = checker;
    rehighlight();
}

void SpellHighlighter::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    rehighlight();
}

void SpellHighlighter::highlightBlock(const QString& text)
{
    if (!m_active || !m_checker)
        return;
    QTextCharFormat unknown;
    unknown.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    unknown.setUnderlineColor(Qt::red);
    for (const SpellChecker::Span& span : m_checker->UnknownWords(text))
        setFormat(span.start, span.length, unknown);
}
