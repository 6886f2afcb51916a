#pragma once

#include "persist/DatabaseLink.h"
#include "base/StorageResult.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The pictures of a document: the bytes of each picture file under a name that is unique
// without regard to ASCII case. The store keeps the bytes as given and never decodes them.
class PictureStore {
public:
    PictureStore() = default;
    explicit PictureStore(DatabaseLink link) : m_link(std::move(link)) {}

    // Adding under a name that exists replaces that picture.
    StorageResult add(const QString& name, const QByteArray& data);
    StorageResult addFromFile(const QString& name, const QString& filePath);
    StorageResult read(const QString& name, QByteArray& data) const;
    StorageResult exportToFile(const QString& name, const QString& filePath) const;
    StorageResult remove(const QString& name);
    StorageResult rename(const QString& oldName, const QString& newName);
    StorageResult contains(const QString& name, bool& found) const;
    // Ordered without regard to ASCII case.
    StorageResult names(QStringList& names) const;

private:
    static StorageResult missing(const QString& name);

    DatabaseLink m_link;
};
