#pragma once

#include "app/IWindowTools.h"
#include "views/PreviewServer.h"

#include <QObject>

class CApplication;

// Project › Preview in Browser: serves the open project on this computer and opens it in the
// desktop's browser (see PreviewServer). Running it again serves the project as it is then;
// closing the project or the Designer stops the server.
class PreviewInBrowserTools final : public QObject, public IWindowTools {
    Q_OBJECT
public:
    explicit PreviewInBrowserTools(CApplication& application);
    ~PreviewInBrowserTools() override;

    bool Handles(int id) const override;
    bool Allowed(int id) const override;
    void Run(int id) override;

    PreviewServer& Server() { return m_server; }

private:
    CApplication& m_application;
    PreviewServer m_server;
};
