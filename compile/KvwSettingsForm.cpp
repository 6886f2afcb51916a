#include "compile/KvwSettingsForm.h"

#include <QDir>
#include <QStringList>

KvwSettingsForm KvwSettingsForm::Load(const KvwCompileSettings& settings)
{
    KvwSettingsForm form;
    form.autoDetermineURL = settings.AutoDetermineURL;
    form.earlyFinish = settings.EarlyFinish;
    const QStringList parts = settings.HostURL.split(QLatin1Char(':'));
    if (parts.size() >= 2)
        form.hostUrl = parts.at(0) + QLatin1Char(':') + parts.at(1);
    if (parts.size() >= 3)
        form.hostPort = parts.at(2);
    form.templatePath = settings.Template;
    form.imagePath = settings.ImagePath;
    return form;
}

void KvwSettingsForm::Apply(KvwCompileSettings& settings) const
{
    settings.AutoDetermineURL = autoDetermineURL;
    settings.EarlyFinish = earlyFinish;
    settings.HostURL = hostPort.isEmpty() ? hostUrl : hostUrl + QLatin1Char(':') + hostPort;
    settings.Template = templatePath;
    settings.ImagePath = imagePath;
}

QString KvwSettingsForm::RelativePath(const QString& documentFolder, const QString& chosen)
{
    const auto components = [](const QString& path) {
        QStringList parts = QDir::cleanPath(path).split(QLatin1Char('/'));
        if (parts.size() > 1 && parts.last().isEmpty())
            parts.removeLast();
        return parts;
    };
    const QStringList folder = components(documentFolder);
    const QStringList target = components(chosen);
    if (folder.isEmpty() || target.isEmpty() || folder.first() != target.first())
        return chosen;
    qsizetype k = 0;
    while (k < folder.size() && k < target.size() && folder.at(k) == target.at(k))
        ++k;
    QStringList result;
    for (qsizetype i = k; i < folder.size(); ++i)
        result.append(QStringLiteral(".."));
    result.append(target.mid(k));
    return result.join(QLatin1Char('/'));
}
