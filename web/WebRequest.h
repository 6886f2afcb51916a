#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// An HTTP request as the site reads it; the front end has parsed it and checked its limits.
struct WebRequest {
    QByteArray method; // GET or POST
    QString path;      // decoded, without the query
    // The form's fields and the query's, in order; a name may come more than once.
    QList<std::pair<QString, QString>> fields;

    QString field(const QString& name) const
    {
        for (const auto& [key, value] : fields)
            if (key == name)
                return value;
        return {};
    }
    bool hasField(const QString& name) const
    {
        for (const auto& entry : fields)
            if (entry.first == name)
                return true;
        return false;
    }
};
