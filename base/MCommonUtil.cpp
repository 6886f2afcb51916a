#include "base/MCommonUtil.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The longest folder entry, in bytes, less the room the lock file's ".lock" needs.
constexpr qsizetype WorkingCopyNameMax = 255 - 5;

QString shortened(const QString& path, const QString& name)
{
    const QFileInfo info(path);
    const QByteArray hash = QCryptographicHash::hash(QFile::encodeName(info.fileName()), QCryptographicHash::Sha1);
    const QString tail = QLatin1Char('~') + QString::fromLatin1(hash.toHex().left(12)) + QStringLiteral(".tmp");
    QString head = name;
    while (!head.isEmpty() && QFile::encodeName(head + tail).size() > WorkingCopyNameMax)
        head.chop(1);
    // A surrogate pair cut in half would be no name at all.
    if (!head.isEmpty() && head.back().isHighSurrogate())
        head.chop(1);
    return info.dir().filePath(head + tail);
}

} // namespace

QString MCommonUtil::GetTempFile(const QString& path)
{
    if (path.isEmpty())
        return QString();
    const QFileInfo info(path);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    // A project that itself ends in ".tmp" must not become its own working copy.
    const bool alreadyTmp = name.mid(dot + 1).compare(QLatin1String("tmp"), Qt::CaseInsensitive) == 0;
    const QString workingName = dot >= 0 && name.size() - dot - 1 == 3 && !alreadyTmp
                                    ? name.left(name.size() - 3) + QStringLiteral("tmp")
                                    : name + QStringLiteral(".tmp");
    if (QFile::encodeName(workingName).size() > WorkingCopyNameMax)
        return shortened(path, name.left(dot >= 0 ? dot : name.size()));
    return path.left(path.size() - name.size()) + workingName;
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
