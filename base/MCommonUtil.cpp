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

bool MCommonUtil::IsNumeric(const QString& text)
{
    bool ok = false;
    text.trimmed().toDouble(&ok);
    return ok;
}
