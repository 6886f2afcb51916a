#include "model/HeadingText.h"

#include "base/ProcedureBoundary.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr QChar Bullet(0x2022);
constexpr QChar Tab = QLatin1Char('\t');
const QString ParagraphEnd = QStringLiteral("\r\n");

enum Style : int { Bold, Italic, Underline, StyleCount };
using Styles = std::array<bool, StyleCount>;
constexpr std::array<QChar, StyleCount> TagLetters{QLatin1Char('B'), QLatin1Char('I'), QLatin1Char('U')};

QString openTag(int style)
{
    return QLatin1Char('<') + TagLetters.at(static_cast<std::size_t>(style)) + QLatin1Char('>');
}

QString closeTag(int style)
{
    return QStringLiteral("</") + TagLetters.at(static_cast<std::size_t>(style)) + QLatin1Char('>');
}

Styles stylesOf(const QTextCharFormat& format)
{
    return {format.fontWeight() >= QFont::Bold, format.fontItalic(), format.fontUnderline()};
}

// Open tags, innermost last. A style that ends closes everything opened after it, which is
// opened again when it goes on.
class TagWriter {
public:
    explicit TagWriter(QString& out) : m_out(out) {}

    void switchTo(const Styles& wanted)
    {
        std::size_t keep = 0;
        while (keep < m_open.size() && wanted.at(static_cast<std::size_t>(m_open.at(keep))))
            ++keep;
        while (m_open.size() > keep) {
            m_out += closeTag(m_open.back());
            m_open.pop_back();
        }
        for (int style = 0; style < StyleCount; ++style) {
            if (wanted.at(static_cast<std::size_t>(style)) && !isOpen(style)) {
                m_out += openTag(style);
                m_open.push_back(style);
            }
        }
    }

private:
    bool isOpen(int style) const { return std::find(m_open.begin(), m_open.end(), style) != m_open.end(); }

    QString& m_out;
    std::vector<int> m_open;
};

QString taggedText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('<'))
            out += QStringLiteral("\\<");
        else if (c == QChar::LineSeparator)
            out += ParagraphEnd;
        else if (c != QChar::ObjectReplacementCharacter)
            out += c;
    }
    return out;
}

void saveBlock(const QTextBlock& block, QString& out)
{
    if (block.textList())
        out += QString(Bullet) + Tab;
    TagWriter tags(out);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        tags.switchTo(stylesOf(fragment.charFormat()));
        out += taggedText(fragment.text());
    }
    tags.switchTo({});
}

// ---- Reading tagged text ----

// The length of a style tag at pos ("<B>" or "</b>"), with its style and sense; 0 when none.
int styleTagAt(const QString& text, qsizetype pos, int& style, bool& on)
{
    if (text.at(pos) != QLatin1Char('<'))
        return 0;
    const bool closing = text.mid(pos, 2) == QLatin1String("</");
    const qsizetype letter = pos + (closing ? 2 : 1);
    if (text.mid(letter + 1, 1) != QLatin1String(">"))
        return 0;
    for (int candidate = 0; candidate < StyleCount; ++candidate) {
        if (text.at(letter).toUpper() == TagLetters.at(static_cast<std::size_t>(candidate))) {
            style = candidate;
            on = !closing;
            return closing ? 4 : 3;
        }
    }
    return 0;
}

class HeadingReader {
public:
    explicit HeadingReader(QTextDocument& document) : m_cursor(&document) {}

    void read(const QString& text)
    {
        m_cursor.beginEditBlock();
        for (qsizetype pos = startBlock(text, 0); pos < text.size();)
            pos = step(text, pos);
        flush();
        m_cursor.endEditBlock();
    }

private:
    qsizetype step(const QString& text, qsizetype pos)
    {
        const QChar c = text.at(pos);
        if (c == QLatin1Char('\\') && text.mid(pos + 1, 1) == QLatin1String("<")) {
            m_pending += QLatin1Char('<');
            return pos + 2;
        }
        int style = 0;
        bool on = false;
        if (const int length = styleTagAt(text, pos, style, on)) {
            flush();
            m_styles.at(static_cast<std::size_t>(style)) = on;
            return pos + length;
        }
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            const qsizetype next = pos + (text.mid(pos, 2) == ParagraphEnd ? 2 : 1);
            flush();
            m_cursor.insertBlock(QTextBlockFormat());
            return startBlock(text, next);
        }
        m_pending += c;
        return pos + 1;
    }

    // A paragraph that begins with the bullet and a TAB joins the list the previous one is in.
    // Answers where the paragraph's text begins.
    qsizetype startBlock(const QString& text, qsizetype pos)
    {
        if (text.mid(pos, 2) != QString(Bullet) + Tab) {
            m_list = nullptr;
            return pos;
        }
        if (m_list)
            m_list->add(m_cursor.block());
        else
            m_list = m_cursor.createList(QTextListFormat::ListDisc);
        return pos + 2;
    }

    void flush()
    {
        if (m_pending.isEmpty())
            return;
        QTextCharFormat format;
        format.setFontWeight(m_styles.at(Bold) ? QFont::Bold : QFont::Normal);
        format.setFontItalic(m_styles.at(Italic));
        format.setFontUnderline(m_styles.at(Underline));
        m_cursor.insertText(m_pending, format);
        m_pending.clear();
    }

    QTextCursor m_cursor;
    QString m_pending;
    Styles m_styles{};
    QTextList* m_list = nullptr;
};

} // namespace

QString MDecisionDataUtil::SaveHeading(const QTextDocument& richText)
{
    return ProcedureBoundary::runOr("MDecisionDataUtil.SaveHeading", QString(), [&] {
        QString out;
        for (QTextBlock block = richText.begin(); block.isValid(); block = block.next()) {
            if (block != richText.begin())
                out += ParagraphEnd;
            saveBlock(block, out);
        }
        return out;
    });
}

void MDecisionDataUtil::LoadHeading(QTextDocument& richText, const QString& heading)
{
    ProcedureBoundary::run("MDecisionDataUtil.LoadHeading", [&] {
        richText.clear();
        HeadingReader(richText).read(heading);
    });
}
