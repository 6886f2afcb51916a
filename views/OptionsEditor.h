#pragma once

#include <QWidget>

#include <QTimer>

#include <utility>

class BlockHighlighter;
class CmDecisionItem;
class OptionsEditSession;
class QAction;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class StatementPanel;

// The options and actions of one control, as a tree with a statement editor below it, or as
// indented text with its lines coloured; the check's findings show beside the lines as the
// author types. The session does the work and sets each change on the control.
class OptionsEditor : public QWidget {
    Q_OBJECT

public:
    enum class Page { Tree = 0, Text = 1 };
    enum class Command { AddOption, AddAction, AddHelp, AddElseIf, AddElse, Remove, MoveUp, MoveDown };

    explicit OptionsEditor(OptionsEditSession& session, QWidget* parent = nullptr);
    ~OptionsEditor() override;

    Page page() const;
    // Leaving the text reads it back first.
    void showPage(Page page);
    // Reads the text being edited back into the control; false when nothing changed.
    bool applyText();
    bool textPending() const { return m_textPending; }
    // Checks the text now rather than when the typing pauses.
    void checkText();
    void focusTree();
    // Selects the line (counted from 0) on the page shown, with the keyboard there.
    void selectLine(int line) { onFindingActivated(line); }

    void run(Command command);
    QAction* action(Command command) const;
    QTreeWidget* treeWidget() const { return m_tree; }
    QPlainTextEdit* textEdit() const { return m_text; }
    QListWidget* findingList() const { return m_findings; }
    StatementPanel* statement() const { return m_statement; }
    QLabel* titleLabel() const { return m_title; }

private:
    QWidget* makeTreePage();
    QWidget* makeTextPage();
    void makeCommands(QToolBar& bar);
    void showTitle();
    void showTree();
    void showSelection();
    void showFindings();
    void updateCommands();
    void addFromStatement();
    void replaceFromStatement();
    void onCurrentItemChanged(QTreeWidgetItem* item);
    void onItemEdited(QTreeWidgetItem* item);
    void onFindingActivated(int row);
    void enterTextPage();
    // Loads the selected line into the statement editor when another line is selected, or
    // always when forced; fields the author is filling in stay while the selection stays.
    void statementFollowsSelection(bool force);

    OptionsEditSession& m_session;
    QLabel* m_title = nullptr;
    QTabWidget* m_pages = nullptr;
    QTreeWidget* m_tree = nullptr;
    StatementPanel* m_statement = nullptr;
    QPlainTextEdit* m_text = nullptr;
    BlockHighlighter* m_highlighter = nullptr;
    QPushButton* m_applyText = nullptr;
    QListWidget* m_findings = nullptr;
    QList<QAction*> m_actions;
    QTimer m_checkTimer;
    bool m_textPending = false;
    // Set while the tree widget is filled or follows the session, so its signals are not edits.
    bool m_showing = false;
    // The selected line (position and text) the statement editor was last loaded with.
    std::pair<int, QString> m_statementLine{-1, QString()};
    // The control whose lines the statement editor last worked on.
    const CmDecisionItem* m_statementOf = nullptr;
};
