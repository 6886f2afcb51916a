#pragma once

#include <QObject>

class QDockWidget;
class QMainWindow;

// Gives a dock a usable height the first time in a run it shows docked. A dock first shown in
// an area whose other docks already take the window's height, before its content is set, or
// from a saved arrangement that never showed it, is otherwise left with the little its title
// asks for, and its window squeezed to nothing. It is made taller first; where the others
// leave no room, it becomes a tab over the tallest dock of its area.
class DockFirstHeight : public QObject {
    Q_OBJECT

public:
    // Watches the dock for as long as it lives; the main window is the one it docks in.
    static void watch(QMainWindow& main, QDockWidget& dock);

    // A dock shorter than this is taken as squeezed rather than sized by the author, and is
    // given its content's height, at least the second number, at most half the main window.
    static constexpr int SqueezedBelow = 100;
    static constexpr int FirstHeight = 240;
    // How much of the dock the main window shows.
    static int shownHeight(const QMainWindow& main, const QDockWidget& dock);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DockFirstHeight(QMainWindow& main, QDockWidget& dock);
    bool squeezed() const;
    void giveHeight();
    void tabIfStillSqueezed();

    QMainWindow& m_main;
    QDockWidget& m_dock;
};
