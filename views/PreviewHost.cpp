#include "views/PreviewHost.h"

#include "app/CApplication.h"
#include "app/CView.h"
#include "project/CvProject.h"
#include "views/PreviewPane.h"

#include <QDockWidget>
#include <QMainWindow>

namespace {

QDockWidget* makeDock(CApplication& application, QMainWindow& main, const char* band, PreviewPane::Shows shows)
{
    auto* dock = new QDockWidget(&main);
    // The saved arrangement knows the dock by its band's name.
    dock->setObjectName(QLatin1String(band));
    auto* pane = new PreviewPane(application.Model(), shows, dock);
    QObject::connect(&application.View().Project(), &CvProject::changed, pane, &PreviewPane::fallBehind);
    dock->setWidget(pane);
    main.addDockWidget(Qt::RightDockWidgetArea, dock);
    dock->hide();
    return dock;
}

} // namespace

PreviewHost::PreviewHost(CApplication& application, QMainWindow& main)
    : m_pageDock(makeDock(application, main, PageBand, PreviewPane::Shows::Page)),
      m_inputDock(makeDock(application, main, InputBand, PreviewPane::Shows::InputOnly))
{
}

PreviewHost::~PreviewHost()
{
    delete m_pageDock.data();
    delete m_inputDock.data();
}
