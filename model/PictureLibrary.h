#pragma once

#include "base/StorageResult.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class CmDecisionItem;
class CmDecisionManager;
class CmDocument;

// The project's pictures as the commands and their undo change them: the bytes in the
// document's picture store, an entry under "\Images\" that the project explorer lists, and the
// controls that show each picture. Every change marks the document changed.
class PictureLibrary {
public:
    PictureLibrary(CmDocument& document, CmDecisionManager& decisions);

    // The store's names, ordered without regard to case.
    QStringList Names() const;
    bool Contains(const QString& name) const;
    StorageResult Read(const QString& name, QByteArray& bytes) const;

    // Adds the picture, or replaces the bytes of one of that name.
    StorageResult Put(const QString& name, const QByteArray& bytes);
    StorageResult Remove(const QString& name);
    // The picture takes the new name; a name held by another picture is refused. The controls
    // keep their references: Follow moves them.
    StorageResult Rename(const QString& oldName, const QString& newName);
    // The controls showing the old name show the new one; their numbers are handed back.
    QList<qint16> Follow(const QString& oldName, const QString& newName);
    // The listed controls show the named picture, as a rename's undo puts them back.
    void PointAt(const QList<qint16>& controls, const QString& name);

    // The controls that show the picture, in decision order.
    QList<CmDecisionItem*> UsersOf(const QString& name) const;

private:
    StorageResult writeEntry(const QString& name);
    StorageResult removeEntry(const QString& name);

    CmDocument& m_document;
    CmDecisionManager& m_decisions;
};
