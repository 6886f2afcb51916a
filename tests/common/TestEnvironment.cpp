#include "common/TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
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
    // Each test program gets folders of its own, so programs running side by side never
    // share an error log, a layout file or an instance socket.
    const QString root = settingsDir().path();
    for (const char* variable : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
        const QString folder = root + QLatin1Char('/') + QLatin1String(variable);
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv(variable, folder.toLocal8Bit());
    }
    qputenv("KESTROVA_INSTANCE_NAME", QStringLiteral("kestrova-test-%1").arg(QCoreApplication::applicationPid()).toLocal8Bit());
    QCoreApplication::setOrganizationName(QStringLiteral("Morvane Corporation"));
    QCoreApplication::setApplicationName(QStringLiteral("kvwDesigner"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder());
}

QString TestEnvironment::settingsFolder()
{
    return settingsDir().path() + QStringLiteral("/settings");
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
