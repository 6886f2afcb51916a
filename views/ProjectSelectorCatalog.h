#pragma once

#include "lang/ISelectorCatalog.h"
#include "selectors/StoredSelectorCatalog.h"

class CvProject;

// The selectors as the Designer has them now: the project explorer's names, which follow a
// selector made, renamed or removed at once, over the stored tables. A selector the explorer
// names but the project has not stored yet (a new grid) exists, and its names cannot be known
// here until it is stored.
class ProjectSelectorCatalog final : public ISelectorCatalog {
public:
    // The project must outlive the catalog.
    ProjectSelectorCatalog(const CvProject& project, StorageNode root);

    bool Exists(const QString& name) const override;
    std::optional<QStringList> Properties(const QString& name) const override;
    std::optional<QStringList> Items(const QString& name) const override;

private:
    bool named(const QString& name) const;

    const CvProject& m_project;
    StoredSelectorCatalog m_stored;
};
