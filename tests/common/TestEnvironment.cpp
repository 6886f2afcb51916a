#include "common/TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {
QTemporaryDir& settingsDir()
{
    static QTemporaryDir dir;
    return dir;
}
} // namespace

void TestEnvironment::prepare()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("Morvane Corporation"));
    QCoreApplication::setApplicationName(QStringLiteral("kvwDesigner"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder());
}

QString TestEnvironment::settingsFolder()
{
    return settingsDir().path();
}

void TestEnvironment::clearSettings()
{
    // QSettings caches files per process; clearing through it keeps the cache honest.
    QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Morvane Corporation"),
                    QStringLiteral("kvwDesigner"));
    store.clear();
    store.sync();
    QDir(settingsFolder()).removeRecursively();
    QDir().mkpath(settingsFolder());
}
