#pragma once

#include "app/IWindowTools.h"

#include <QObject>

#include <functional>

class CApplication;
class QWidget;

// The Preferences command: the preferences dialog over the view's settings. What changed
// reaches the windows that show it at once and the settings store.
class PreferencesTools : public QObject, public IWindowTools {
    Q_OBJECT

public:
    // diagramChanged lets the diagram take the new diagram settings.
    PreferencesTools(CApplication& application, QWidget& dialogParent, std::function<void()> diagramChanged);
    ~PreferencesTools() override;

    bool Handles(int id) const override;
    bool Allowed(int id) const override;
    void Run(int id) override;

private:
    CApplication& m_application;
    QWidget& m_dialogParent;
    std::function<void()> m_diagramChanged;
};
