#pragma once

#include <QList>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

class CmDecisionItem;
class CmDecisionManager;
class CmDocument;
class ISelectorCatalog;

// A copy of what the checks read of a project, taken on the thread that edits it and read on
// another while the editing goes on: every property of each control the checks read, and, when
// asked for, the stored selectors and the pictures' names. Taking it copies no text (Qt's
// strings are shared until written) and indexes nothing, so the editing thread pays a pass over
// the controls; the tree the checks walk is built from it on the thread that reads it. Nothing in
// it refers to the project afterwards except the list of the controls it was taken from, to
// carry what was found back to them.
class TreeSnapshot {
public:
    enum class Content { Controls, Everything };

    // The copies in a decision manager of their own, in the project's order, and the project's
    // control each copy was taken from.
    struct Tree {
        std::unique_ptr<CmDecisionManager> decisions;
        QList<const CmDecisionItem*> originals;
    };

    TreeSnapshot(const CmDecisionManager& decisions, const CmDocument& document, Content content);
    ~TreeSnapshot();
    TreeSnapshot(const TreeSnapshot&) = delete;
    TreeSnapshot& operator=(const TreeSnapshot&) = delete;

    // On the thread that will read the tree, which should also be the one to drop it.
    Tree build() const;
    // The document's stored selectors; null unless everything was taken.
    const ISelectorCatalog* selectors() const { return m_selectors.get(); }
    const QStringList& pictures() const { return m_pictures; }

private:
    struct Control {
        const CmDecisionItem* original = nullptr;
        qint16 number = 0;
        qint16 type = 0;
        qint16 helpNumber = 0;
        QString name;
        QStringList lines;
        QStringList group;
        QString caption;
        QString heading;
        QString picture;
        QVariant defaultValue;
        QString min;
        QString max;
        QString help;
    };

    std::vector<Control> m_controls;
    std::unique_ptr<ISelectorCatalog> m_selectors;
    QStringList m_pictures;
};
