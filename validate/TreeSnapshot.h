#pragma once

#include <QList>
#include <QStringList>

#include <memory>

class CmDecisionItem;
class CmDecisionManager;
class CmDocument;
class ISelectorCatalog;

// A copy of what the checks read of a project, taken on the thread that edits it and read on
// another while the editing goes on: the controls, in a decision manager of its own and in the
// same order, and, when asked for, the stored selectors and the pictures' names. Taking it is
// linear in the controls and copies no text (Qt's strings are shared until written); nothing in
// it refers to the project afterwards except the list of the controls it was taken from, to
// carry what was found back to them.
class TreeSnapshot {
public:
    enum class Content { Controls, Everything };

    TreeSnapshot(const CmDecisionManager& decisions, const CmDocument& document, Content content);
    ~TreeSnapshot();
    TreeSnapshot(const TreeSnapshot&) = delete;
    TreeSnapshot& operator=(const TreeSnapshot&) = delete;

    const CmDecisionManager& decisions() const { return *m_decisions; }
    // The project's controls the copies were taken from, in the copies' order.
    const QList<const CmDecisionItem*>& originals() const { return m_originals; }
    // The document's stored selectors; null unless everything was taken.
    const ISelectorCatalog* selectors() const { return m_selectors.get(); }
    const QStringList& pictures() const { return m_pictures; }

private:
    std::unique_ptr<CmDecisionManager> m_decisions;
    QList<const CmDecisionItem*> m_originals;
    std::unique_ptr<ISelectorCatalog> m_selectors;
    QStringList m_pictures;
};
