#include "edit/MLinkUtil.h"

#include "base/ResourceStrings.h"
#include "lang/BlockLine.h"

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

QList<MLinkUtil::Link> MLinkUtil::Links(const QStringList& lines)
{
    QList<Link> links;
    QString option;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        if (BlockLine::IsOption(line))
            option = BlockLine::Body(line);
        else if (BlockLine::IsKeyword(line, BlockLine::Go))
            links.append({i, option, BlockLine::ActionArgument(line).trimmed()});
    }
    return links;
}

QStringList MLinkUtil::RemoveLinkLines(const QStringList& lines, const QString& option, const QString& target)
{
    QStringList kept = lines;
    const QList<Link> links = Links(lines);
    for (auto link = links.crbegin(); link != links.crend(); ++link) {
        if (link->option == option && link->target.compare(target.trimmed(), Qt::CaseInsensitive) == 0)
            kept.removeAt(link->line);
    }
    return kept;
}
