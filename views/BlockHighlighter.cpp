#include "views/BlockHighlighter.h"

#include "lang/BlockHighlight.h"

#include <QPalette>
#include <QTextCharFormat>

namespace {

using BlockHighlight::Role;

QTextCharFormat formatFor(Role role)
{
    QTextCharFormat format;
    switch (role) {
    case Role::Ignored:
        format.setForeground(QColor(0x80, 0x80, 0x80));
        format.setFontItalic(true);
        break;
    case Role::Marker: format.setFontWeight(QFont::Bold); break;
    case Role::Keyword:
        format.setForeground(QColor(0x00, 0x40, 0xA0));
        format.setFontWeight(QFont::Bold);
        break;
    case Role::UnknownKeyword: format.setForeground(QColor(0xB0, 0x00, 0x00)); break;
    case Role::OptionText: format.setFontWeight(QFont::Bold); break;
    case Role::HelpText: format.setForeground(QColor(0x40, 0x70, 0x40)); break;
    case Role::ControlReference: format.setForeground(QColor(0x80, 0x30, 0x90)); break;
    case Role::SelectorReference: format.setForeground(QColor(0x00, 0x80, 0x80)); break;
    case Role::QuotedText: format.setForeground(QColor(0xA0, 0x50, 0x00)); break;
    case Role::Number: format.setForeground(QColor(0x20, 0x60, 0x20)); break;
    case Role::Operator: format.setForeground(QColor(0x50, 0x50, 0x50)); break;
    }
    return format;
}

} // namespace

BlockHighlighter::BlockHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {}

void BlockHighlighter::setFindings(const QHash<int, bool>& findings)
{
    if (findings == m_findings)
        return;
    m_findings = findings;
    rehighlight();
}

void BlockHighlighter::highlightBlock(const QString& text)
{
    for (const BlockHighlight::Span& span : BlockHighlight::Spans(text))
        setFormat(span.start, span.length, formatFor(span.role));
    const auto finding = m_findings.constFind(currentBlock().blockNumber());
    if (finding == m_findings.cend() || text.isEmpty())
        return;
    for (int i = 0; i < text.size(); ++i) {
        QTextCharFormat marked = format(i);
        marked.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        marked.setUnderlineColor(*finding ? QColor(Qt::red) : QColor(0xE0, 0xA0, 0x00));
        setFormat(i, 1, marked);
    }
}
