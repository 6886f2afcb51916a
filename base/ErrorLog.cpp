#include "base/ErrorLog.h"

#include "base/KvError.h"
#include "base/ResourceStrings.h"
#include "base/StorageResult.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString LineEnd = QStringLiteral("\r\n");
// A hostile file can cause an error per value it holds; one run writes no more entries than
// this, and then says how many it left out.
constexpr int MaxEntriesPerRun = 100;
constexpr int LeftOutId = 33212;
// The most the file ever holds: a piece that would grow it beyond is left out of the file (the
// run's buffer still has it), and the log written at the end of a run is cut there.
constexpr qint64 MaxLogBytes = 1024 * 1024;

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

int openLog(const QString& path, bool replace);

// What this process reported, as the file is to hold it at exit. A program that writes no log of
// its own at exit (the command line) gets it written here, so the file never grows from run to run.
class ProcessErrors {
public:
    void add(const QString& piece)
    {
        if (m_path.isEmpty())
            m_path = ErrorLogFilePath();
        m_text += piece.toUtf8().left(std::max<qint64>(0, MaxLogBytes - m_text.size()));
        m_unsaved = true;
    }
    void saved() { m_unsaved = false; }
    ~ProcessErrors()
    {
        if (!m_unsaved)
            return;
        if (const int fd = openLog(m_path, true); fd >= 0) {
            for (qsizetype done = 0; done < m_text.size();) {
                const ssize_t written = ::write(fd, m_text.constData() + done, static_cast<size_t>(m_text.size() - done));
                if (written <= 0)
                    break;
                done += written;
            }
            ::close(fd);
        }
    }

private:
    QString m_path;
    QByteArray m_text;
    bool m_unsaved = false;
};

ProcessErrors& processErrors()
{
    static ProcessErrors errors;
    return errors;
}

void appendPiece(const QString& text)
{
    processErrors().add(text);
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

// The log file opened for writing, never through a link and only when it is a file of its own:
// a link, a second name of another file, a pipe or a device there is left alone.
int openLog(const QString& path, bool replace)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (replace ? 0 : O_APPEND), 0666);
    if (fd < 0)
        return -1;
    struct stat info {};
    const bool own = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink == 1;
    if (own && (replace ? ::ftruncate(fd, 0) == 0 : info.st_size < MaxLogBytes))
        return fd;
    ::close(fd);
    return -1;
}

void writeLine(const QString& text, bool replace)
{
    // The error log must never raise an error of its own: a failure here is dropped.
    const int fd = openLog(ErrorLogFilePath(), replace);
    if (fd < 0)
        return;
    QFile file;
    if (file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        const QByteArray bytes = (text + LineEnd).toUtf8();
        file.write(bytes.left(std::max<qint64>(0, MaxLogBytes - file.size())));
    } else {
        ::close(fd);
    }
}

// Replaces the file with the run's entries, when there were any.
void saveRun(const QString& text)
{
    QString content = text;
    if (const ErrorLogBuffer& buffer = attachedBuffer(); content.isEmpty() && buffer.contents)
        content = buffer.contents();
    if (content.isEmpty())
        return;
    writeLine(content, true);
    processErrors().saved();
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
    writeLine(text, false);
}

void WriteErrorLog(const QString& text)
{
    reportLeftOut();
    saveRun(text);
}
