#include "pictures/PictureName.h"

#include "base/ResourceStrings.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

constexpr int EmptyId = 33701;
constexpr int RefusedCharacterId = 33702;
constexpr int EdgeId = 33703;
constexpr int DeviceNameId = 33704;
constexpr int TooLongId = 33705;
constexpr int ControlCharacterId = 33706;

const QString Refused = QStringLiteral("/\\:*?\"<>|");

bool refusedCharacter(QChar c)
{
    return Refused.contains(c) || c.unicode() < 0x20 || c.unicode() == 0x7f;
}

bool edgeRefused(QChar c)
{
    return c == QLatin1Char('.') || c.isSpace();
}

// Names that some file systems keep for devices, with or without an extension.
bool deviceName(const QString& name)
{
    static const QRegularExpression device(QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])(\\..*)?$"),
                                           QRegularExpression::CaseInsensitiveOption);
    return device.match(name).hasMatch();
}

} // namespace

QString PictureName::Problem(const QString& name)
{
    if (name.isEmpty())
        return LoadResString(EmptyId);
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return LoadResString(ControlCharacterId);
        if (refusedCharacter(c))
            return LoadResString(RefusedCharacterId).arg(c).arg(Refused);
    }
    if (edgeRefused(name.front()) || edgeRefused(name.back()))
        return LoadResString(EdgeId);
    if (deviceName(name))
        return LoadResString(DeviceNameId).arg(name);
    if (name.size() > MaxLength)
        return LoadResString(TooLongId).arg(MaxLength);
    return {};
}

QString PictureName::FromFileName(const QString& filePath)
{
    QString name = QFileInfo(filePath).completeBaseName().left(MaxLength);
    for (QChar& c : name) {
        if (refusedCharacter(c))
            c = QLatin1Char('_');
    }
    while (!name.isEmpty() && edgeRefused(name.front()))
        name.remove(0, 1);
    while (!name.isEmpty() && edgeRefused(name.back()))
        name.chop(1);
    if (name.isEmpty() || deviceName(name))
        name.prepend(QStringLiteral("Picture"));
    return name;
}
