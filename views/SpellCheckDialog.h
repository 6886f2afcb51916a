#pragma once

#include <QDialog>

class CmDecisionManager;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTextEdit;
class SpellCheckSession;
class SpellChecker;
class SpellHighlighter;

// Steps through the unknown words of a spell check: where the word stands, the text around it
// with the unknown words underlined, the dictionary's suggestions, and what to do with it.
// Closes itself when the check reaches the end.
class SpellCheckDialog final : public QDialog {
    Q_OBJECT
public:
    SpellCheckDialog(SpellCheckSession& session, const SpellChecker& checker, const CmDecisionManager& decisions,
                     QWidget* parent = nullptr);

    // Whether the check ran to its end rather than being closed.
    bool finished() const { return m_finished; }

private:
    // Shows the session's current word, or ends the dialog when there is none.
    void showCurrent();
    void advance();

    SpellCheckSession& m_session;
    const SpellChecker& m_checker;
    const CmDecisionManager& m_decisions;
    QLabel* m_location = nullptr;
    QTextEdit* m_context = nullptr;
    SpellHighlighter* m_highlighter = nullptr;
    QLineEdit* m_changeTo = nullptr;
    QListWidget* m_suggestions = nullptr;
    QPushButton* m_replace = nullptr;
    bool m_finished = false;
};
