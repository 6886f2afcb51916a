#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <map>
#include <vector>

class CView;
class CommandBand;
class CommandTool;
class QAction;
class QMainWindow;
class QMenu;
class QToolBar;
class QWidget;

// The menu bar, menus and toolbars of the main window, built from the view's bands: one
// QAction per tool id, following the tool's caption, enabled, checked and visible state, and
// handing every trigger to the view's dispatcher.
class CommandBars : public QObject {
    Q_OBJECT
public:
    explicit CommandBars(QMainWindow& window);

    // Replaces whatever was built for an earlier view.
    void build(CView& view);

    QAction* action(int toolId) const;
    QMenu* menu(const QString& band) const;
    QToolBar* toolBar(const QString& band) const;

    // The widget is shown and hidden with the band, and the band follows the widget when the
    // author closes or opens it directly.
    void followBand(CommandBand& band, QWidget& widget);
    // After the arrangement was restored: each band takes its widget's state.
    void takeStateFromWidgets();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void clear();
    QAction* actionFor(CommandTool& tool);
    QAction* separatorFor(CommandTool* tool);
    void fillMenu(QMenu& menu, const CommandBand& band);
    void fillToolBar(QToolBar& bar, const CommandBand& band);
    void followSubmenuTools(const CommandBand& band, QMenu& menu);

    QMainWindow& m_window;
    QPointer<CView> m_view;
    std::map<int, QAction*> m_actions;
    std::map<QString, QMenu*> m_menus;
    std::map<QString, QToolBar*> m_toolBars;
    std::map<QWidget*, QPointer<CommandBand>> m_followed;
    std::vector<QPointer<QObject>> m_built;
};
