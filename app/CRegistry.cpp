#include "app/CRegistry.h"

#include "base/KvError.h"

namespace {

constexpr int errPathFileAccess = 75;

QSettings openStore(QSettings::Scope scope)
{
    return QSettings(QSettings::IniFormat, scope, QStringLiteral("Morvane Corporation"),
                     QStringLiteral("kvwDesigner"));
}

} // namespace

QString CRegistry::groupPath() const
{
    QString section = m_section;
    section.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (section.endsWith(QLatin1Char('/')))
        section.chop(1);
    while (section.startsWith(QLatin1Char('/')))
        section.remove(0, 1);
    return section;
}

QString CRegistry::settingsPath() const
{
    // Values of the program's own key live in the INI file's general section.
    const QString section = groupPath();
    return section.isEmpty() ? m_key : section + QLatin1Char('/') + m_key;
}

QString CRegistry::Value() const
{
    return openStore(m_rootKey).value(settingsPath()).toString();
}

void CRegistry::setValue(const QString& value) const
{
    QSettings store = openStore(m_rootKey);
    store.setValue(settingsPath(), value);
    store.sync();
    if (store.status() != QSettings::NoError)
        throw KvError(errPathFileAccess, QStringLiteral("CRegistry"),
                      QStringLiteral("Path/File access error: %1").arg(store.fileName()));
}

bool CRegistry::KeyExists() const
{
    QSettings store = openStore(m_rootKey);
    if (!m_key.isEmpty())
        return store.contains(settingsPath());
    store.beginGroup(groupPath());
    return !store.allKeys().isEmpty();
}

QString CRegistry::Read(const QString& section, const QString& key)
{
    return CRegistry(section, key).Value();
}

void CRegistry::Write(const QString& section, const QString& key, const QString& value)
{
    CRegistry(section, key).setValue(value);
}
