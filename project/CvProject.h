#pragma once

#include "persist/IClassPersistable.h"
#include "selectors/ISelectorExplorer.h"

#include <QObject>
#include <QStringList>

// The project explorer's content: the project name and the names of its pictures, internal
// selectors and external selectors. The Designer's explorer window shows it.
class CvProject : public QObject, public IClassPersistable, public ISelectorExplorer {
    Q_OBJECT
public:
    static constexpr int ClassId = 11;

    const QString& Name() const { return m_name; }
    void RenameFile(const QString& name);
    const QString& ActiveNode() const { return m_activeNode; }
    void setActiveNode(const QString& key) { m_activeNode = key; }

    const QStringList& Pictures() const { return m_pictures; }
    const QStringList& CriteriaLists() const { return m_criteriaLists; }
    const QStringList& ExternalCriteriaLists() const { return m_externalCriteriaLists; }
    int PicturesCount() const { return static_cast<int>(m_pictures.size()); }
    int CriteriaListCount() const { return static_cast<int>(m_criteriaLists.size()); }

    void AddPicture(const QString& name);
    void RemovePicture(const QString& name);
    void RenamePicture(const QString& oldName, const QString& newName);
    void AddCriteriaList(const QString& name) override;
    void AddExternalCriteriaList(const QString& name);

    // The selector commands keep the two selector lists through these.
    void AddExternalCL(const QString& name) override { AddExternalCriteriaList(name); }
    QStringList CriteriaListNames() const override { return m_criteriaLists; }
    QStringList ExternalCLNames() const override { return m_externalCriteriaLists; }
    bool CLExists(const QString& name) const override;
    bool ExternalCLExists(const QString& name) const override;
    int ExternalCLCount() const { return static_cast<int>(m_externalCriteriaLists.size()); }
    void RemoveNode(const QString& name) override;
    void RenameNode(const QString& oldName, const QString& newName) override;
    // The three lists only; the selected entry stays.
    void ClearLists();
    void Clear();

    int IClassPersistable_UCID() const override { return ClassId; }
    void IClassPersistable_ReadProperties(PropertyBag& bag) override;
    void IClassPersistable_WriteProperties(PropertyBag& bag) const override;

signals:
    void changed();

private:
    QString m_name;
    QString m_activeNode;
    QStringList m_pictures;
    QStringList m_criteriaLists;
    QStringList m_externalCriteriaLists;
};
