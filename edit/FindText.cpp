#include "edit/FindText.h"

namespace {

bool isWordCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

} // namespace

qsizetype FindText::Find(const QString& text, const QString& search, const Options& options, qsizetype from)
{
    if (search.isEmpty())
        return -1;
    const Qt::CaseSensitivity sensitivity = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype at = text.indexOf(search, from, sensitivity); at >= 0;
         at = text.indexOf(search, at + 1, sensitivity)) {
        if (!options.wholeWord)
            return at;
        const qsizetype end = at + search.size();
        const bool wordBefore = at > 0 && isWordCharacter(text.at(at - 1));
        const bool wordAfter = end < text.size() && isWordCharacter(text.at(end));
        if (!wordBefore && !wordAfter)
            return at;
    }
    return -1;
}

qint64 FindText::ReplaceAll(QString& text, const QString& search, const QString& replacement, const Options& options)
{
    qint64 count = 0;
    qsizetype at = Find(text, search, options, 0);
    if (at < 0)
        return 0;
    QString result;
    qsizetype copied = 0;
    while (at >= 0) {
        result.append(QStringView(text).mid(copied, at - copied));
        result.append(replacement);
        copied = at + search.size();
        ++count;
        at = Find(text, search, options, copied);
    }
    result.append(QStringView(text).mid(copied));
    text = result;
    return count;
}
