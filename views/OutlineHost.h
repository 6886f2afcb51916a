#pragma once

#include "app/IWindowTools.h"

#include <QObject>
#include <QPointer>

class CApplication;
class ControlOutline;
class QDockWidget;
class QMainWindow;

// Keeps the outline of the controls in a dock beside the diagram: a row chosen there selects its
// control everywhere, and Go to Control brings the outline forward with the keyboard in its
// filter. It lives as long as the application's model.
class OutlineHost : public QObject, public IWindowTools {
    Q_OBJECT

public:
    static constexpr const char* DockName = "barOutline";

    OutlineHost(CApplication& application, QMainWindow& main);
    ~OutlineHost() override;

    QDockWidget& dock() const { return *m_dock; }
    ControlOutline& outline() const { return *m_outline; }

    bool Handles(int id) const override;
    bool Allowed(int id) const override;
    void Run(int id) override;

signals:
    // Enter on a row asks for the control's options.
    void controlPropertiesRequested(qint16 key);

private:
    CApplication& m_application;
    QPointer<QDockWidget> m_dock;
    ControlOutline* m_outline = nullptr;
};
