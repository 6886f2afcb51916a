#pragma once

#include <QJsonObject>
#include <QString>

// The outside XML readers the web tree files must satisfy: xmllint and Python's xml.etree.
namespace XmlReaders {

// Empty when xmllint accepts the file; otherwise what it said. skipped tells that xmllint is
// not installed.
QString XmlLint(const QString& path, bool& skipped);
// What data/read_kvw.py read from the file; empty with the error in message when it failed.
QJsonObject PythonRead(const QString& path, bool& skipped, QString& message);

inline const char* MissingXmlLint = "xmllint is not installed (Debian package libxml2-utils)";
inline const char* MissingPython = "python3 is not installed";

} // namespace XmlReaders
