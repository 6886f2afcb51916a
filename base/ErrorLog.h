#pragma once

#include <QString>

#include <functional>

class KvError;
struct StorageResult;

// The process-wide error log: the buffer of this run, which the application attaches, and
// "DTDERR.LOG" in the per-user data folder. Each piece is appended to the file as it comes; the
// log written at exit (WriteErrorLog), or else the end of the process, replaces the file with the
// errors of that run. The file never holds more than 1 MB and is never written through a link.

// Where the pieces of this run's reports collect. Without one, pieces go to the file only.
struct ErrorLogBuffer {
    std::function<void(const QString&)> append;
    std::function<QString()> contents;
};
// Attaches the run's buffer for as long as the scope lives; the previous one comes back after.
// The scope is one run: it writes at most a fixed number of entries (an entry ends with CR LF),
// and when it ends, or the log is written, a line says how many it left out.
class ErrorLogBufferScope {
public:
    explicit ErrorLogBufferScope(ErrorLogBuffer buffer);
    ~ErrorLogBufferScope();
    ErrorLogBufferScope(const ErrorLogBufferScope&) = delete;
    ErrorLogBufferScope& operator=(const ErrorLogBufferScope&) = delete;

private:
    ErrorLogBuffer m_previous;
};

// Writes "Error:<n>\tSource:<source>|<procedure>\tDescription:<text>\r\n" piece by piece.
void ReportError(const KvError& error, const QString& procedure);
// Any other exception reaching a procedure's boundary; reported with number 0.
void ReportError(const std::exception& error, const QString& procedure);
// A storage failure reaching a procedure's boundary; a success reports nothing.
void ReportError(const StorageResult& result, const QString& procedure);
void AppendErrorLog(const QString& text);
void AppendErrorFile(const QString& text);
void WriteErrorLog(const QString& text);

// Full path of "DTDERR.LOG".
QString ErrorLogFilePath();
