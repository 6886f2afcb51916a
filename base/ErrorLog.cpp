#include "base/ErrorLog.h"

#include "base/KvError.h"
#include "base/ResourceStrings.h"
#include "base/StorageResult.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <utility>

namespace {

const QString LineEnd = QStringLiteral("\r\n");
// A hostile file can cause an error per value it holds; one run writes no more entries than
// this, and then says how many it left out.
constexpr int MaxEntriesPerRun = 100;
constexpr int LeftOutId = 33212;

ErrorLogBuffer& attachedBuffer()
{
    static ErrorLogBuffer buffer;
    return buffer;
}

// The entries of the current run: a run begins when a buffer is attached.
struct RunEntries {
    int written = 0;
    int leftOut = 0;
};

RunEntries& runEntries()
{
    static RunEntries entries;
    return entries;
}

void appendPiece(const QString& text)
{
    AppendErrorFile(text);
    // Without the application object there is no buffer; the piece is already in the file.
    // Replacing the file with each piece here would keep only the last one of a report.
    if (const ErrorLogBuffer& buffer = attachedBuffer(); buffer.append)
        buffer.append(text);
}

// Says once how many entries the run left out.
void reportLeftOut()
{
    RunEntries& entries = runEntries();
    if (entries.leftOut == 0)
        return;
    const QString line = LoadResString(LeftOutId).arg(entries.leftOut);
    entries.leftOut = 0;
    appendPiece(line);
    appendPiece(LineEnd);
}

void writeLine(const QString& text, QIODevice::OpenMode mode)
{
    // The error log must never raise an error of its own: a failure here is dropped.
    QFile file(ErrorLogFilePath());
    if (!file.open(mode | QIODevice::WriteOnly))
        return;
    file.write((text + LineEnd).toUtf8());
}

void reportPieces(int number, const QString& source, const QString& description, const QString& procedure)
{
    AppendErrorLog(QStringLiteral("Error:"));
    AppendErrorLog(QString::number(number));
    AppendErrorLog(QStringLiteral("\t"));
    AppendErrorLog(QStringLiteral("Source:"));
    AppendErrorLog(source);
    if (!procedure.isEmpty()) {
        if (!source.isEmpty())
            AppendErrorLog(QStringLiteral("|"));
        AppendErrorLog(procedure);
    }
    AppendErrorLog(QStringLiteral("\t"));
    AppendErrorLog(QStringLiteral("Description:"));
    AppendErrorLog(description);
    AppendErrorLog(LineEnd);
}

} // namespace

QString ErrorLogFilePath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("DTDERR.LOG"));
}

void ReportError(const KvError& error, const QString& procedure)
{
    reportPieces(error.number(), error.source(), error.description(), procedure);
}

void ReportError(const std::exception& error, const QString& procedure)
{
    if (const auto* kvError = dynamic_cast<const KvError*>(&error)) {
        ReportError(*kvError, procedure);
        return;
    }
    reportPieces(0, QString(), QString::fromLocal8Bit(error.what()), procedure);
}

ErrorLogBufferScope::ErrorLogBufferScope(ErrorLogBuffer buffer) : m_previous(std::exchange(attachedBuffer(), std::move(buffer)))
{
    runEntries() = RunEntries();
}

ErrorLogBufferScope::~ErrorLogBufferScope()
{
    reportLeftOut();
    attachedBuffer() = std::move(m_previous);
    runEntries() = RunEntries();
}

void ReportError(const StorageResult& result, const QString& procedure)
{
    if (!result)
        reportPieces(0, QStringLiteral("StorageDocument"), result.message, procedure);
}

void AppendErrorLog(const QString& text)
{
    // An entry ends with its line end; an entry beyond the run's share is left out whole.
    RunEntries& entries = runEntries();
    const bool entryEnds = text.endsWith(LineEnd);
    if (entries.written >= MaxEntriesPerRun) {
        entries.leftOut += entryEnds ? 1 : 0;
        return;
    }
    entries.written += entryEnds ? 1 : 0;
    appendPiece(text);
}

void AppendErrorFile(const QString& text)
{
    writeLine(text, QIODevice::Append);
}

void WriteErrorLog(const QString& text)
{
    reportLeftOut();
    QString content = text;
    if (const ErrorLogBuffer& buffer = attachedBuffer(); content.isEmpty() && buffer.contents)
        content = buffer.contents();
    if (content.isEmpty())
        return;
    writeLine(content, QIODevice::Truncate);
}
