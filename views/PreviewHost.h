#pragma once

#include <QObject>
#include <QPointer>

class CApplication;
class PreviewPane;
class QDockWidget;
class QMainWindow;

// The page preview and the input preview in their docks; they show this application's
// decisions, so they go with it.
class PreviewHost : public QObject {
    Q_OBJECT

public:
    static constexpr const char* PageBand = "barPreview";
    static constexpr const char* InputBand = "barCtlPreview";

    PreviewHost(CApplication& application, QMainWindow& main);
    ~PreviewHost() override;

    QDockWidget& pageDock() const { return *m_pageDock; }
    QDockWidget& inputDock() const { return *m_inputDock; }

private:
    QPointer<QDockWidget> m_pageDock;
    QPointer<QDockWidget> m_inputDock;
};
