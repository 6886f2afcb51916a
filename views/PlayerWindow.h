#pragma once

#include "runtime/CompiledTree.h"
#include "runtime/IRuntimeHost.h"
#include "runtime/RuntimeEngine.h"

#include <QList>
#include <QMainWindow>

#include <memory>
#include <optional>

class PlayerControlView;
class PlayerPage;
class PlayerSelectorPanel;
class QLabel;
class QPushButton;

// Plays a compiled tree the way its user meets it: one page at a time with the page header,
// picture and one input per control, Back, Next and Finish, and beside the page the items the
// selectors still hold with the reason for each removed one.
class Project;

class PlayerWindow : public QMainWindow, public IRuntimeHost {
    Q_OBJECT

public:
    // The reason on failure, when the tree cannot be loaded.
    static std::unique_ptr<PlayerWindow> create(const CompiledTree& tree, const QString& title, QString& problem);
    // The project as it stands, compiled in memory; null with the reason (and the validation
    // log) when it cannot be played.
    static std::unique_ptr<PlayerWindow> forProject(const Project& project, QString& problem);
    // The pages of a run someone else drives and hears (test mode): the window neither owns the
    // engine nor registers with it; its owner passes the engine's events on to it.
    static std::unique_ptr<PlayerWindow> following(RuntimeEngine& engine, const CompiledTree& tree, const QString& title);
    // For --play: shows the desktop tree file in its own window; the exit code.
    static int playFile(const QString& path);

    ~PlayerWindow() override;

    RuntimeEngine& engine() { return m_engine; }
    // Starts the run at the control named, or at the first control.
    bool start(const QString& control = QString());
    const QList<PlayerControlView*>& controlViews() const;
    QString statusText() const;

    void HandleEvent(int code, const QStringList& arguments, QString& text) override;
    // For a tree whose selectors are the player's own business (the authoring wizards' lists).
    void hideSelectors();

signals:
    // The run has ended (RuntimeEngine::RunEnd as a number); its values can still be read.
    void runEnded(int end);

public slots:
    void next();
    void back();
    void finish();
    void startOver();

private:
    PlayerWindow(const CompiledTree& tree, const QString& title);
    PlayerWindow(RuntimeEngine& engine, const CompiledTree& tree, const QString& title);
    void build(const QString& title);
    void addSelectorPanel();

    void showPage();
    void showEnded();
    void focusFirstAnswer();
    void refreshButtons();
    void setStatus(const QString& text, bool problem = false);
    // False, with the reason shown, when an answer does not suit its control.
    bool giveAnswers();

    std::optional<CompiledTree> m_ownTree;
    const CompiledTree& m_tree;
    std::unique_ptr<RuntimeEngine> m_ownEngine;
    RuntimeEngine& m_engine;
    PlayerPage* m_page = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_finish = nullptr;
    QPushButton* m_startOver = nullptr;
    QLabel* m_status = nullptr;
    PlayerSelectorPanel* m_selectors = nullptr;
};
