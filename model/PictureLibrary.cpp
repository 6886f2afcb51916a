#include "model/PictureLibrary.h"

#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "model/DecisionProperties.h"
#include "persist/ProjectNodes.h"

PictureLibrary::PictureLibrary(CmDocument& document, CmDecisionManager& decisions)
    : m_document(document), m_decisions(decisions)
{
}

QStringList PictureLibrary::Names() const
{
    QStringList names;
    m_document.Storage().pictures().names(names);
    return names;
}

bool PictureLibrary::Contains(const QString& name) const
{
    bool found = false;
    return m_document.Storage().pictures().contains(name, found).ok() && found;
}

StorageResult PictureLibrary::Read(const QString& name, QByteArray& bytes) const
{
    return m_document.Storage().pictures().read(name, bytes);
}

StorageResult PictureLibrary::Put(const QString& name, const QByteArray& bytes)
{
    PictureStore pictures = m_document.Storage().pictures();
    if (StorageResult added = pictures.add(name, bytes); !added)
        return added;
    m_document.setDirty(true);
    return writeEntry(name);
}

StorageResult PictureLibrary::Remove(const QString& name)
{
    PictureStore pictures = m_document.Storage().pictures();
    if (StorageResult removed = pictures.remove(name); !removed)
        return removed;
    m_document.setDirty(true);
    return removeEntry(name);
}

StorageResult PictureLibrary::Rename(const QString& oldName, const QString& newName)
{
    PictureStore pictures = m_document.Storage().pictures();
    if (StorageResult renamed = pictures.rename(oldName, newName); !renamed)
        return renamed;
    m_document.setDirty(true);
    if (StorageResult removed = removeEntry(oldName); !removed)
        return removed;
    return writeEntry(newName);
}

QList<qint16> PictureLibrary::Follow(const QString& oldName, const QString& newName)
{
    QList<qint16> users;
    for (const CmDecisionItem* user : UsersOf(oldName))
        users.append(user->intID());
    PointAt(users, newName);
    return users;
}

void PictureLibrary::PointAt(const QList<qint16>& controls, const QString& name)
{
    for (const qint16 number : controls) {
        if (CmDecisionItem* decision = m_decisions.Item(int{number}))
            MDecisionDataUtil::SetProperty(*decision, MDecisionDataUtil::PictureLabel, name);
    }
}

QList<CmDecisionItem*> PictureLibrary::UsersOf(const QString& name) const
{
    QList<CmDecisionItem*> users;
    for (int i = 1; i <= m_decisions.Count(); ++i) {
        CmDecisionItem* decision = m_decisions.ItemByIndex(i);
        if (decision && decision->Picture().compare(name, Qt::CaseInsensitive) == 0)
            users.append(decision);
    }
    return users;
}

StorageResult PictureLibrary::writeEntry(const QString& name)
{
    StorageNode node = m_document.Storage().rootNode();
    return node.open(ProjectNodes::Images + name);
}

StorageResult PictureLibrary::removeEntry(const QString& name)
{
    StorageNode node = m_document.Storage().rootNode();
    bool found = false;
    if (StorageResult looked = node.exists(ProjectNodes::Images + name, found); !looked || !found)
        return looked;
    return node.remove(ProjectNodes::Images + name);
}
