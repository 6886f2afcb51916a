#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The project's selectors as the reference checks see them: which exist, the property names
// of each (the first row of its table) and its items (the first cell of every further row).
class ISelectorCatalog {
public:
    virtual ~ISelectorCatalog() = default;

    virtual bool Exists(const QString& name) const = 0;
    // Nothing when the names cannot be known here (an external selector's table lives in
    // another database); empty for a selector that does not exist.
    virtual std::optional<QStringList> Properties(const QString& name) const = 0;
    virtual std::optional<QStringList> Items(const QString& name) const = 0;

protected:
    ISelectorCatalog() = default;
    ISelectorCatalog(const ISelectorCatalog&) = default;
    ISelectorCatalog& operator=(const ISelectorCatalog&) = default;
};
