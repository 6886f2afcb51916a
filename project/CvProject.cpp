#include "project/CvProject.h"

#include "base/ErrorLog.h"
#include "base/ProcedureBoundary.h"
#include "persist/PropertyBag.h"

namespace {

// The explorer's placeholder entry of older projects; never a selector.
const QString AddCriteriaListEntry = QStringLiteral("Add Criteria List");

void writeSeries(PropertyBag& bag, const QString& base, const QString& countName, const QStringList& names)
{
    for (qsizetype i = 0; i < names.size(); ++i)
        bag.WriteProperty(base + QString::number(i + 1), names.at(i), QString());
    bag.WriteProperty(countName, static_cast<int>(names.size()), 0);
}

QStringList readSeries(const PropertyBag& bag, const QString& base, const QString& countName,
                       bool selectorNames)
{
    const int count = bag.BoundedCount(countName, {base});
    QStringList names;
    for (int i = 1; i <= count; ++i) {
        const QString name = bag.ReadProperty(base + QString::number(i), QString()).toString();
        if (!selectorNames || name != AddCriteriaListEntry)
            names.append(name);
    }
    return names;
}

} // namespace

void CvProject::RenameFile(const QString& name)
{
    m_name = name;
    emit changed();
}

void CvProject::AddPicture(const QString& name)
{
    m_pictures.append(name);
    emit changed();
}

void CvProject::RemovePicture(const QString& name)
{
    if (m_pictures.removeIf([&](const QString& entry) { return entry.compare(name, Qt::CaseInsensitive) == 0; }) > 0)
        emit changed();
}

void CvProject::RenamePicture(const QString& oldName, const QString& newName)
{
    for (QString& entry : m_pictures) {
        if (entry.compare(oldName, Qt::CaseInsensitive) == 0) {
            entry = newName;
            emit changed();
            return;
        }
    }
}

void CvProject::AddCriteriaList(const QString& name)
{
    m_criteriaLists.append(name);
    emit changed();
}

void CvProject::AddExternalCriteriaList(const QString& name)
{
    m_externalCriteriaLists.append(name);
    emit changed();
}

bool CvProject::CLExists(const QString& name) const
{
    return m_criteriaLists.contains(name, Qt::CaseInsensitive);
}

bool CvProject::ExternalCLExists(const QString& name) const
{
    return m_externalCriteriaLists.contains(name, Qt::CaseInsensitive);
}

void CvProject::RemoveNode(const QString& name)
{
    const auto matches = [&](const QString& entry) { return entry.compare(name, Qt::CaseInsensitive) == 0; };
    if (m_criteriaLists.removeIf(matches) + m_externalCriteriaLists.removeIf(matches) > 0)
        emit changed();
}

void CvProject::RenameNode(const QString& oldName, const QString& newName)
{
    for (QStringList* names : {&m_criteriaLists, &m_externalCriteriaLists}) {
        for (QString& entry : *names) {
            if (entry.compare(oldName, Qt::CaseInsensitive) == 0) {
                entry = newName;
                emit changed();
                return;
            }
        }
    }
}

void CvProject::Clear()
{
    m_activeNode.clear();
    ClearLists();
}

void CvProject::ClearLists()
{
    m_pictures.clear();
    m_criteriaLists.clear();
    m_externalCriteriaLists.clear();
    emit changed();
}

void CvProject::IClassPersistable_WriteProperties(PropertyBag& bag) const
{
    bag.WriteProperty(QStringLiteral("ActiveNode"), m_activeNode, QString());
    bag.WriteProperty(QStringLiteral("Name"), m_name, QString());
    writeSeries(bag, QStringLiteral("Picture"), QStringLiteral("PictureCount"), m_pictures);
    writeSeries(bag, QStringLiteral("CL"), QStringLiteral("CLCount"), m_criteriaLists);
    writeSeries(bag, QStringLiteral("ExternalCL"), QStringLiteral("ExternalCLCount"), m_externalCriteriaLists);
}

void CvProject::IClassPersistable_ReadProperties(PropertyBag& bag)
{
    ProcedureBoundary::run("CvProject.IClassPersistable_ReadProperties", [&] {
        m_activeNode = bag.ReadProperty(QStringLiteral("ActiveNode"), QString()).toString();
        m_name = bag.ReadProperty(QStringLiteral("Name"), QString()).toString();
        m_pictures = readSeries(bag, QStringLiteral("Picture"), QStringLiteral("PictureCount"), false);
        m_criteriaLists = readSeries(bag, QStringLiteral("CL"), QStringLiteral("CLCount"), true);
        m_externalCriteriaLists = readSeries(bag, QStringLiteral("ExternalCL"), QStringLiteral("ExternalCLCount"), true);
    });
    emit changed();
}
