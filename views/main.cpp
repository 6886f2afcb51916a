#include "app/CApplication.h"
#include "app/DesignerHelp.h"
#include "app/MStartUp.h"
#include "views/DesignerWindowHost.h"
#include "views/MainWindow.h"
#include "views/PlayerWindow.h"
#include "views/QtPrompt.h"
#include "views/ToolDecorations.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    // --help and --version need no display: a build writes the manual page from them.
    QStringList given;
    for (int i = 1; i < argc; ++i)
        given.append(QString::fromLocal8Bit(argv[i]));
    if (DesignerHelp::IsRequest(given)) {
        const QCoreApplication text(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return DesignerHelp::Answer(given, out, err);
    }

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Morvane Corporation"));
    QApplication::setApplicationName(QStringLiteral("kvwDesigner"));
    // No display name: the window system would add it to titles that already carry the
    // program's name, after the open diagram's "[Decision Tree]" for one.
    QApplication::setApplicationVersion(QStringLiteral(KV_VERSION_STRING));
    // The menu entry it was started from, so the desktop groups its windows under that entry.
    QApplication::setDesktopFileName(QStringLiteral("kestrova-designer"));
    QApplication::setWindowIcon(ToolDecorations::ProgramIcon());

    // --play FILE.kvd plays a desktop tree file on its own, without the Designer.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("--play"))
        return PlayerWindow::playFile(arguments.at(2));

    QtPrompt prompt;
    DesignerWindowHost windows(prompt);
    prompt.setParentWindow(windows.mainWindow());

    // The whole command line is one path, even when it holds blanks.
    const QString commandLine = QApplication::arguments().mid(1).join(QLatin1Char(' '));
    if (MStartUp::Main(prompt, windows, commandLine) == MStartUp::StartResult::EndedAsSecondInstance)
        return 0;
    const int result = QApplication::exec();
    gApp.reset();
    return result;
}
