#pragma once

#include <QString>

class KvError;

// The process-wide error log: the application object's buffer for this run, and "DTDERR.LOG"
// in the per-user data folder.

// Writes "Error:<n>\tSource:<source>|<procedure>\tDescription:<text>\r\n" piece by piece.
void ReportError(const KvError& error, const QString& procedure);
// Any other exception reaching a procedure's boundary; reported with number 0.
void ReportError(const std::exception& error, const QString& procedure);
void AppendErrorLog(const QString& text);
void AppendErrorFile(const QString& text);
void WriteErrorLog(const QString& text);

// Full path of "DTDERR.LOG".
QString ErrorLogFilePath();
