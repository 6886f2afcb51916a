#pragma once

#include "spelling/ProjectSpelling.h"

#include <QList>

#include <optional>

class CmDecisionManager;
class SpellChecker;

// One pass of the spell check over the project, or over some of its controls, as the dialog
// steps through it: the current unknown word, and what the author does with it. Each step reads
// the text again from where the last one ended, so a replacement moves the rest along with it.
class SpellCheckSession {
public:
    // controls: the numbers to check, in order; empty for every control in decision order.
    SpellCheckSession(CmDecisionManager& decisions, SpellChecker& checker, QList<qint16> controls = {});

    // The next unknown word from where the check stands; empty at the end.
    const std::optional<SpellingFinding>& Next();
    const std::optional<SpellingFinding>& Current() const { return m_current; }

    // What to do with the current word; each moves past it. Replace is false when the text
    // changed under the check and the word was left as it is.
    bool Replace(const QString& replacement);
    void Ignore();
    void IgnoreAll();
    // False when the word list cannot be written; the word is still passed.
    bool Add();

    int Replaced() const { return m_replaced; }

private:
    void pass(int length);

    CmDecisionManager& m_decisions;
    SpellChecker& m_checker;
    QList<qint16> m_controls;
    int m_control = 0;
    int m_place = 0;
    int m_offset = 0;
    int m_replaced = 0;
    std::optional<SpellingFinding> m_current;
};
