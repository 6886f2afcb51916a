#include "lang/OptionLines.h"

namespace {
constexpr QChar lineEnd = QLatin1Char('\t');
}

QString MTreeViewUtil::OptsAndActsToString(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines) {
        text += line;
        text += lineEnd;
    }
    return text;
}

QStringList MTreeViewUtil::OptsAndActsToCol(const QString& text)
{
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(lineEnd);
    if (text.endsWith(lineEnd))
        lines.removeLast();
    return lines;
}
