#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <functional>

// Changes to saved documents behind the program's back, as damage or a hostile author would
// make them: raw SQL on the file, and edits of a project's stored object tree.
namespace DocumentEdits {

// Runs SQL on a file through SQLite directly, with none of the program's guards; empty on
// success, else the error.
QString execSql(const QString& filePath, const QString& sql);

// Sets a property of the stored object reached from a bag through the nested objects named
// by path ({"Model", "DecisionManager", "Decision1"}).
void setBagProperty(QJsonObject& bag, const QStringList& path, const QString& name, const QJsonValue& value);

// Writes the checksum of what a file holds into it, as a save would, keeping its format.
bool reseal(const QString& filePath);

// Runs SQL on a file and writes its checksum anew: what the file then holds is hostile, not
// damaged. Empty on success, else the error.
QString editSql(const QString& filePath, const QString& sql);

// Rewrites the project's stored object tree and saves the project through the storage, so that
// its checksum matches: what the file then holds is hostile, not damaged. The controls are
// moved into the tree first, each a nested bag "Decision<n>" of the decision manager, as older
// projects hold them.
bool editModel(const QString& projectPath, const std::function<void(QJsonObject& root)>& change);

} // namespace DocumentEdits
