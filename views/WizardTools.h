#pragma once

#include "app/IWindowTools.h"
#include "wizards/WizardTree.h"

#include <QObject>

#include <functional>
#include <memory>

class CApplication;
class PlayerWindow;
class QWidget;

// The control wizard and the action wizard: each bundled tree is played in the player, and the
// answers of a finished run go into the project (wizards/ turns them into the control or the
// action lines). One wizard runs at a time; asking again brings it forward.
class WizardTools final : public QObject, public IWindowTools {
    Q_OBJECT
public:
    // projectShown: whether a project is open for the wizards to add to.
    WizardTools(CApplication& application, QWidget& parentWindow, std::function<bool()> projectShown);
    ~WizardTools() override;

    bool Handles(int id) const override;
    bool Allowed(int id) const override;
    void Run(int id) override;
    bool BringHoldingWindowForward() override;
    void StopRunning() override { stop(); }

    // The wizard's window while one runs, for the tests.
    PlayerWindow* player() const { return m_player.get(); }

private:
    // The wizard's tree offers the answers given first.
    void start(int id, const WizardTree::Answers& given);
    std::unique_ptr<PlayerWindow> playerFor(int id, const WizardTree::Answers& given, QString& problem) const;
    void finished(int end);
    // Closes the running wizard, if any, adding nothing.
    void stop();
    // False, the author told why, when nothing could be added.
    bool addControl(const WizardTree::Answers& answers);
    bool addAction(const WizardTree::Answers& answers);
    void warn(const QString& text) const;

    CApplication& m_application;
    QWidget& m_parent;
    std::function<bool()> m_projectShown;
    std::unique_ptr<PlayerWindow> m_player;
    int m_running = 0;
};
