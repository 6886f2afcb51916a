#include "app/CRegistry.h"

#include <QSettings>

namespace {
QSettings openStore()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Morvane Corporation"),
                     QStringLiteral("kvwDesigner"));
}
} // namespace

QString CRegistry::settingsPath() const
{
    QString section = m_section;
    section.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (section.endsWith(QLatin1Char('/')))
        section.chop(1);
    // Values of the program's own key live in the INI file's general section.
    return section.isEmpty() ? m_key : section + QLatin1Char('/') + m_key;
}

QString CRegistry::Value() const
{
    return openStore().value(settingsPath()).toString();
}

void CRegistry::setValue(const QString& value) const
{
    QSettings store = openStore();
    store.setValue(settingsPath(), value);
    store.sync();
}

bool CRegistry::KeyExists() const
{
    return openStore().contains(settingsPath());
}

QString CRegistry::Read(const QString& section, const QString& key)
{
    return CRegistry(section, key).Value();
}

void CRegistry::Write(const QString& section, const QString& key, const QString& value)
{
    CRegistry(section, key).setValue(value);
}
