#include "vcs/ProjectSettings.h"

#include "model/CmDocument.h"

#include <QRegularExpression>

namespace {

QString yesNo(bool value)
{
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

bool isYes(const QString& value)
{
    return value == QLatin1String("yes");
}

} // namespace

QString ProjectSettings::CallingAppNameKey(int index)
{
    return QStringLiteral("calling application %1 name").arg(index);
}

QString ProjectSettings::CallingAppClassKey(int index)
{
    return QStringLiteral("calling application %1 class").arg(index);
}

QList<TextProperty> ProjectSettings::Read(const CmDocument& document)
{
    QList<TextProperty> settings{
        {Name, document.Name()},
        {FileType, QString::number(document.FileType())},
        {FileTypeSet, yesNo(document.FileTypeSet())},
    };
    for (int i = 1; i <= document.CallAppCount(); ++i) {
        settings.append({CallingAppNameKey(i), document.CallAppName(i)});
        settings.append({CallingAppClassKey(i), document.CallAppClass(i)});
    }
    const KvwSettings& web = document.WebSettings();
    settings.append({WebDeterminesUrl, yesNo(web.AutoDetermineURL)});
    settings.append({WebEarlyFinish, yesNo(web.EarlyFinish)});
    if (!web.HostUrl.isEmpty())
        settings.append({WebHostUrl, web.HostUrl});
    if (!web.Template.isEmpty())
        settings.append({WebTemplate, web.Template});
    return settings;
}

void ProjectSettings::Apply(const QList<TextProperty>& settings, CmDocument& document)
{
    static const QRegularExpression callingApp(QStringLiteral("^calling application ([1-9][0-9]{0,3}) (name|class)$"));
    KvwSettings web;
    document.ClearCallApps();
    for (const auto& [key, value] : settings) {
        if (key == Name)
            document.setName(value);
        else if (key == FileType)
            document.setFileType(value.toInt());
        else if (key == FileTypeSet)
            document.setFileTypeSet(isYes(value));
        else if (key == WebDeterminesUrl)
            web.AutoDetermineURL = isYes(value);
        else if (key == WebEarlyFinish)
            web.EarlyFinish = isYes(value);
        else if (key == WebHostUrl)
            web.HostUrl = value;
        else if (key == WebTemplate)
            web.Template = value;
        else if (const QRegularExpressionMatch match = callingApp.match(key); match.hasMatch()) {
            const int index = match.captured(1).toInt();
            if (match.captured(2) == QLatin1String("name"))
                document.setCallAppName(index, value);
            else
                document.setCallAppClass(index, value);
        }
    }
    document.WebSettings() = web;
}
