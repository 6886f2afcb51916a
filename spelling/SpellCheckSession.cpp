#include "spelling/SpellCheckSession.h"

#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "spelling/SpellChecker.h"

SpellCheckSession::SpellCheckSession(CmDecisionManager& decisions, SpellChecker& checker, QList<qint16> controls)
    : m_decisions(decisions), m_checker(checker), m_controls(std::move(controls))
{
    if (m_controls.isEmpty()) {
        for (int i = 1; i <= decisions.Count(); ++i) {
            if (const CmDecisionItem* decision = decisions.ItemByIndex(i))
                m_controls.append(decision->intID());
        }
    }
}

const std::optional<SpellingFinding>& SpellCheckSession::Next()
{
    m_current.reset();
    for (; m_control < m_controls.size(); ++m_control, m_place = 0, m_offset = 0) {
        const qint16 number = m_controls.at(m_control);
        const CmDecisionItem* decision = m_decisions.Item(int{number});
        if (!decision)
            continue;
        const QList<ProjectSpelling::Place> places = ProjectSpelling::PlacesOf(*decision);
        for (; m_place < places.size(); ++m_place, m_offset = 0) {
            const ProjectSpelling::Place& place = places.at(m_place);
            const QString text = ProjectSpelling::TextAt(*decision, place);
            for (const SpellChecker::Span& span : m_checker.UnknownWords(text)) {
                if (span.start < m_offset)
                    continue;
                m_offset = span.start;
                m_current = SpellingFinding{number, place.field, place.line, span.start, text.mid(span.start, span.length)};
                return m_current;
            }
        }
    }
    return m_current;
}

void SpellCheckSession::pass(int length)
{
    m_offset += length;
    m_current.reset();
}

bool SpellCheckSession::Replace(const QString& replacement)
{
    if (!m_current)
        return false;
    const bool done = ProjectSpelling::Replace(m_decisions, *m_current, replacement);
    m_replaced += done ? 1 : 0;
    pass(static_cast<int>(done ? replacement.size() : m_current->word.size()));
    return done;
}

void SpellCheckSession::Ignore()
{
    if (m_current)
        pass(static_cast<int>(m_current->word.size()));
}

void SpellCheckSession::IgnoreAll()
{
    if (!m_current)
        return;
    m_checker.Ignore(m_current->word);
    pass(static_cast<int>(m_current->word.size()));
}

bool SpellCheckSession::Add()
{
    if (!m_current)
        return true;
    const bool added = m_checker.AddWord(m_current->word);
    // A word that could not be written is still passed for this check.
    if (!added)
        m_checker.Ignore(m_current->word);
    pass(static_cast<int>(m_current->word.size()));
    return added;
}
