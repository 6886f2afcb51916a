#include "edit/MLinkUtil.h"

#include "base/ResourceStrings.h"

namespace {

constexpr int EndIfKeywordId = 8055;
constexpr int GoKeywordId = 8056;
constexpr int IfKeywordId = 8057;

} // namespace

QString MLinkUtil::GoLine(const QString& target)
{
    return QLatin1Char('!') + LoadResString(GoKeywordId) + QLatin1Char(' ') + target;
}

QStringList MLinkUtil::AddLinkLines(const QStringList& lines, const QString& option, const QString& expression,
                                    const QString& target)
{
    QStringList block;
    if (expression.isEmpty()) {
        block.append(GoLine(target));
    } else {
        block.append(QLatin1Char('!') + LoadResString(IfKeywordId) + QLatin1Char(' ') + expression);
        block.append(GoLine(target));
        block.append(QLatin1Char('!') + LoadResString(EndIfKeywordId));
    }
    const qsizetype optionAt = option.isEmpty() ? -1 : lines.indexOf(QLatin1Char('^') + option);
    QStringList result = lines;
    qsizetype insertAt = optionAt < 0 ? 0 : optionAt + 1;
    for (const QString& line : block)
        result.insert(insertAt++, line);
    return result;
}
