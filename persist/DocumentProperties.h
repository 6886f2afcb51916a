#pragma once

#include "persist/DatabaseLink.h"
#include "base/StorageResult.h"

#include <QLatin1String>
#include <QString>
#include <QStringList>

// Named texts describing a document (title, author ...), kept in the document file. Names are
// compared without regard to ASCII case; any name may be used besides the usual ones below.
class DocumentProperties {
public:
    static constexpr QLatin1String Title{"Title"};
    static constexpr QLatin1String Subject{"Subject"};
    static constexpr QLatin1String Author{"Author"};
    static constexpr QLatin1String Keywords{"Keywords"};
    static constexpr QLatin1String Comments{"Comments"};

    DocumentProperties() = default;
    explicit DocumentProperties(DatabaseLink link) : m_link(std::move(link)) {}

    // A property never set reads as empty text.
    StorageResult value(const QString& name, QString& value) const;
    StorageResult setValue(const QString& name, const QString& value);
    // Names of the properties set, ordered without regard to ASCII case.
    StorageResult names(QStringList& names) const;

private:
    DatabaseLink m_link;
};
