#include "base/MCommonUtil.h"

#include <QFileInfo>

QString MCommonUtil::GetTempFile(const QString& path)
{
    if (path.isEmpty())
        return QString();
    const QFileInfo info(path);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    // A project that itself ends in ".tmp" must not become its own working copy.
    const bool alreadyTmp = name.mid(dot + 1).compare(QLatin1String("tmp"), Qt::CaseInsensitive) == 0;
    if (dot >= 0 && name.size() - dot - 1 == 3 && !alreadyTmp)
        return path.left(path.size() - 3) + QStringLiteral("tmp");
    return path + QStringLiteral(".tmp");
}

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isSign(QChar c)
{
    return c == QLatin1Char('+') || c == QLatin1Char('-');
}

} // namespace

bool MCommonUtil::IsNumeric(const QString& text)
{
    const QString number = text.trimmed();
    qsizetype pos = 0;
    const auto at = [&number](qsizetype i) { return i < number.size() ? number.at(i) : QChar(); };
    const auto skipDigits = [&] {
        const qsizetype start = pos;
        while (isAsciiDigit(at(pos)))
            ++pos;
        return pos - start;
    };
    if (isSign(at(pos)))
        ++pos;
    qsizetype digits = skipDigits();
    if (at(pos) == QLatin1Char('.')) {
        ++pos;
        digits += skipDigits();
    }
    if (digits == 0)
        return false;
    if (at(pos) == QLatin1Char('e') || at(pos) == QLatin1Char('E')) {
        ++pos;
        if (isSign(at(pos)))
            ++pos;
        if (skipDigits() == 0)
            return false;
    }
    return pos == number.size();
}
