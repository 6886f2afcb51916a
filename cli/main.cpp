#include "cli/CommandLine.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    // A command that needs fonts runs as a graphical application without a screen, so it works
    // the same with or without a desktop.
    const bool graphics = argc > 1 && CommandLine::NeedsGraphics(QString::fromLocal8Bit(argv[1]));
    // A graphical application wants a runtime folder of the user's; containers and CI jobs often
    // have none, and Qt would say so on stderr. A private one, gone at exit, serves.
    std::unique_ptr<QTemporaryDir> runtimeFolder;
    if (graphics) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            runtimeFolder = std::make_unique<QTemporaryDir>();
            if (runtimeFolder->isValid())
                qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeFolder->path()));
        }
    }
    const std::unique_ptr<QCoreApplication> app =
        graphics ? std::make_unique<QGuiApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Morvane Corporation"));
    QCoreApplication::setApplicationName(QStringLiteral("kvwDesigner"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    CommandLine commandLine;
    const int code = commandLine.run(QCoreApplication::arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return code;
}
