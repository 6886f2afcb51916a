#pragma once

#include <QString>
#include <Qt>

class QDockWidget;
class QMainWindow;

// A dock in the main window that the saved window arrangement knows by its band's name. The
// caller gives it its content with setWidget.
QDockWidget* AddBandDock(QMainWindow& main, const char* band, const QString& caption, Qt::DockWidgetArea area);
