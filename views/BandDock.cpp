#include "views/BandDock.h"

#include <QDockWidget>
#include <QMainWindow>

QDockWidget* AddBandDock(QMainWindow& main, const char* band, const QString& caption, Qt::DockWidgetArea area)
{
    auto* dock = new QDockWidget(caption, &main);
    dock->setObjectName(QLatin1String(band));
    main.addDockWidget(area, dock);
    return dock;
}
