#include "web/HtmlText.h"

#include <QUrl>

#include <array>

namespace {

void appendEscaped(QString& out, QChar c, bool quotes)
{
    const char16_t u = c.unicode();
    switch (u) {
    case u'&': out += QLatin1String("&amp;"); return;
    case u'<': out += QLatin1String("&lt;"); return;
    case u'>': out += QLatin1String("&gt;"); return;
    case u'"':
        out += quotes ? QLatin1String("&quot;") : QLatin1String("\"");
        return;
    case u'\'':
        out += quotes ? QLatin1String("&#39;") : QLatin1String("'");
        return;
    case u'\t':
    case u'\n':
        out += c;
        return;
    case 0:
        return;
    default:
        break;
    }
    // CR would be folded into LF by the parser, and C0/C1 controls must not appear raw.
    if (u < 0x20 || (u >= 0x7f && u <= 0x9f)) {
        out += QStringLiteral("&#%1;").arg(int(u));
        return;
    }
    out += c;
}

QString escaped(const QString& raw, bool quotes)
{
    QString out;
    out.reserve(raw.size() + raw.size() / 8);
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c.isSurrogate()) {
            // Only a whole pair is a character.
            if (c.isHighSurrogate() && i + 1 < raw.size() && raw.at(i + 1).isLowSurrogate()) {
                out += c;
                out += raw.at(++i);
            }
            continue;
        }
        appendEscaped(out, c, quotes);
    }
    return out;
}

// The header's kept tags, lower case, as they are written back.
constexpr std::array<QLatin1StringView, 14> KeptTags{
    QLatin1StringView("b"), QLatin1StringView("/b"), QLatin1StringView("i"), QLatin1StringView("/i"),
    QLatin1StringView("u"), QLatin1StringView("/u"), QLatin1StringView("em"), QLatin1StringView("/em"),
    QLatin1StringView("strong"), QLatin1StringView("/strong"), QLatin1StringView("p"), QLatin1StringView("/p"),
    QLatin1StringView("br"), QLatin1StringView("br/")};

// The kept tag at position i ("<" there), or an empty view.
QLatin1StringView keptTag(const QString& tagged, qsizetype i, qsizetype& length)
{
    const qsizetype close = tagged.indexOf(QLatin1Char('>'), i + 1);
    if (close < 0 || close - i > 10)
        return {};
    const QString name = tagged.mid(i + 1, close - i - 1).remove(QLatin1Char(' ')).toLower();
    for (const QLatin1StringView tag : KeptTags) {
        if (name == tag) {
            length = close - i + 1;
            return tag;
        }
    }
    return {};
}

} // namespace

QString HtmlText::text(const QString& raw)
{
    return escaped(raw, false);
}

QString HtmlText::attribute(const QString& raw)
{
    return escaped(raw, true);
}

QString HtmlText::header(const QString& tagged)
{
    QString out;
    out.reserve(tagged.size() + 16);
    QString run; // text between tags, escaped as a whole
    const auto flush = [&] {
        out += escaped(run, false);
        run.clear();
    };
    for (qsizetype i = 0; i < tagged.size(); ++i) {
        const QChar c = tagged.at(i);
        if (c == QLatin1Char('\\') && i + 1 < tagged.size() && tagged.at(i + 1) == QLatin1Char('<')) {
            run += QLatin1Char('<');
            ++i;
            continue;
        }
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            flush();
            out += QLatin1String("<br>");
            if (c == QLatin1Char('\r') && i + 1 < tagged.size() && tagged.at(i + 1) == QLatin1Char('\n'))
                ++i;
            continue;
        }
        qsizetype length = 0;
        if (c == QLatin1Char('<')) {
            const QLatin1StringView tag = keptTag(tagged, i, length);
            if (!tag.isEmpty()) {
                flush();
                out += QLatin1Char('<');
                out += tag.startsWith(QLatin1String("br")) ? QLatin1StringView("br") : tag;
                out += QLatin1Char('>');
                i += length - 1;
                continue;
            }
        }
        run += c;
    }
    flush();
    return out;
}

bool HtmlText::isWebAddress(const QString& address)
{
    const QUrl url(address.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}
