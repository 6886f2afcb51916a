#include "FuzzEnvironment.h"

#include "base/StartUpTables.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {
QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}
} // namespace

void FuzzEnvironment::prepare()
{
    static int argc = 1;
    static char name[] = "kestrova-fuzz";
    static char* argv[] = {name, nullptr};
    static const std::unique_ptr<QCoreApplication> app = std::make_unique<QCoreApplication>(argc, argv);
    for (const char* variable : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"}) {
        const QString path = folder().path() + QLatin1Char('/') + QLatin1String(variable);
        QDir().mkpath(path);
        qputenv(variable, path.toLocal8Bit());
    }
    StartUpTables::Fill();
}

QString FuzzEnvironment::text(const std::uint8_t* data, std::size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

QString FuzzEnvironment::sourceFile(const char* relativePath)
{
    QFile file(QStringLiteral(KV_SOURCE_DIR "/") + QLatin1String(relativePath));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", relativePath);
    return QString::fromUtf8(file.readAll());
}

QString FuzzEnvironment::scratchFolder()
{
    return folder().path();
}
