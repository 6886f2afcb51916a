#include "persist/StoragePath.h"

namespace {
constexpr QChar Separator = u'\\';
constexpr QChar AfterSeparator = u']';
} // namespace

QString StoragePath::root()
{
    return QString(Separator);
}

bool StoragePath::isRoot(const QString& absolute)
{
    return absolute.size() == 1 && absolute.front() == Separator;
}

QString StoragePath::resolve(const QString& base, const QString& path)
{
    QStringList parts = path.startsWith(Separator) ? QStringList() : names(base);
    parts += path.split(Separator, Qt::SkipEmptyParts);
    return Separator + parts.join(Separator);
}

QStringList StoragePath::names(const QString& absolute)
{
    return absolute.split(Separator, Qt::SkipEmptyParts);
}

QString StoragePath::name(const QString& absolute)
{
    return absolute.mid(absolute.lastIndexOf(Separator) + 1);
}

QString StoragePath::join(const QString& parent, const QString& childName)
{
    return descendantsLower(parent) + childName;
}

QString StoragePath::descendantsLower(const QString& absolute)
{
    return isRoot(absolute) ? absolute : absolute + Separator;
}

QString StoragePath::descendantsUpper(const QString& absolute)
{
    QString upper = descendantsLower(absolute);
    upper.back() = AfterSeparator;
    return upper;
}
