#include "cli/CommandLine.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
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
