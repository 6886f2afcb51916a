#include "views/ProjectSelectorCatalog.h"

#include "project/CvProject.h"

ProjectSelectorCatalog::ProjectSelectorCatalog(const CvProject& project, StorageNode root)
    : m_project(project), m_stored(std::move(root))
{
}

bool ProjectSelectorCatalog::named(const QString& name) const
{
    return m_project.CLExists(name) || m_project.ExternalCLExists(name);
}

bool ProjectSelectorCatalog::Exists(const QString& name) const
{
    return named(name);
}

std::optional<QStringList> ProjectSelectorCatalog::Properties(const QString& name) const
{
    if (!named(name))
        return QStringList();
    return m_stored.Exists(name) ? m_stored.Properties(name) : std::nullopt;
}

std::optional<QStringList> ProjectSelectorCatalog::Items(const QString& name) const
{
    if (!named(name))
        return QStringList();
    return m_stored.Exists(name) ? m_stored.Items(name) : std::nullopt;
}
