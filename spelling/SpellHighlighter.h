#pragma once

#include <QSyntaxHighlighter>

class SpellChecker;

// Underlines the words of a text document that the checker does not know, as the author types.
// An editor attaches it to its document; without a checker, or while switched off, it marks
// nothing.
class SpellHighlighter final : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit SpellHighlighter(QTextDocument* document, const SpellChecker* checker = nullptr);

    void setChecker(const SpellChecker* checker);
    bool active() const { return m_active; }
    void setActive(bool active);

protected:
    void highlightBlock(const QString& text) override;

private:
    const SpellChecker* m_checker = nullptr;
    bool m_active = true;
};
