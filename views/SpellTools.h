#pragma once

#include "app/IWindowTools.h"

#include <QObject>

class CApplication;
class QWidget;

// Spell Check over the whole project, and over the selected control (which stays selected),
// through the spell-check dialog. Without a dictionary it says what is missing.
class SpellTools final : public QObject, public IWindowTools {
    Q_OBJECT
public:
    SpellTools(CApplication& application, QWidget& parentWindow);
    ~SpellTools() override;

    bool Handles(int id) const override;
    bool Allowed(int id) const override;
    void Run(int id) override;

private:
    void message(const QString& text, bool warning);

    CApplication& m_application;
    QWidget& m_parent;
};
