#pragma once

#include <QString>
#include <QStringList>

// Node paths: names joined by "\", absolute ones start with "\"; the root is "\" alone.
namespace StoragePath {

QString root();
bool isRoot(const QString& absolute);

// The absolute path of a path given relative to base (or absolute); empty names are dropped,
// so "\Databases\" and "\Databases" are the same node.
QString resolve(const QString& base, const QString& path);

QStringList names(const QString& absolute);
QString name(const QString& absolute);
QString join(const QString& parent, const QString& childName);

// Every path below a node sorts strictly between these two keys, also when compared without
// regard to ASCII case: the descendants share the prefix "<path>\" and "]" follows "\".
QString descendantsLower(const QString& absolute);
QString descendantsUpper(const QString& absolute);

} // namespace StoragePath
