#pragma once

#include "vcs/ProjectData.h"

class CmDocument;

// The document's own settings as text properties, in their written order: the name, the file
// type, the calling applications (numbered from 1) and the web settings.
namespace ProjectSettings {

inline const QString Name = QStringLiteral("name");
inline const QString FileType = QStringLiteral("file type");
inline const QString FileTypeSet = QStringLiteral("file type set");
inline const QString WebDeterminesUrl = QStringLiteral("web determines url");
inline const QString WebEarlyFinish = QStringLiteral("web early finish");
inline const QString WebHostUrl = QStringLiteral("web host url");
inline const QString WebTemplate = QStringLiteral("web template");

QString CallingAppNameKey(int index);
QString CallingAppClassKey(int index);

QList<TextProperty> Read(const CmDocument& document);
void Apply(const QList<TextProperty>& settings, CmDocument& document);

} // namespace ProjectSettings
