#pragma once

#include <QObject>

class QMainWindow;
class QWidget;

// The menu bar's access keys win over those of the windows docked beside the work: a label,
// button or tab of a dock whose Alt key a menu has takes another letter of its caption (or none
// when every letter is taken), so Alt+F opens File wherever the keyboard is. F10 opens the menu
// bar. A dock is looked at whenever it shows, so the docks made later are kept too.
class MenuKeyGuard final : public QObject {
    Q_OBJECT
public:
    explicit MenuKeyGuard(QMainWindow& window);

    // Gives the menu bar's keys back in the dock's captions now.
    void guard(QWidget& dock) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow(QWidget& dock);

    QMainWindow& m_window;
};
