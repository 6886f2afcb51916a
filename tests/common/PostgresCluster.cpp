#include "common/PostgresCluster.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

namespace {
constexpr int InitMs = 120'000;
constexpr int StartStopMs = 60'000;
constexpr int PsqlMs = 120'000;

// Debian keeps the server programs out of PATH, one folder per major version.
QString serverBinFolder()
{
    QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList found = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(found.begin(), found.end(), [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
    for (const QString& version : found) {
        const QString bin = versions.filePath(version + QStringLiteral("/bin"));
        if (QFileInfo(bin + QStringLiteral("/initdb")).isExecutable())
            return bin;
    }
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("initdb"));
    return onPath.isEmpty() ? QString() : QFileInfo(onPath).absolutePath();
}
} // namespace

PostgresCluster::PostgresCluster() = default;

PostgresCluster::~PostgresCluster()
{
    stop();
}

QString PostgresCluster::socketFolder() const
{
    return m_folder ? m_folder->path() : QString();
}

QString PostgresCluster::tool(const QString& name) const
{
    return m_binFolder + QLatin1Char('/') + name;
}

bool PostgresCluster::run(const QString& program, const QStringList& arguments, QString& output, int timeoutMs) const
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(socketFolder());
    if (m_asPostgres)
        process.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), program} + arguments);
    else
        process.start(program, arguments);
    const bool finished = process.waitForFinished(timeoutMs);
    output = QString::fromLocal8Bit(process.readAll());
    if (!finished) {
        process.kill();
        process.waitForFinished();
        output += QStringLiteral("\n(timed out)");
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool PostgresCluster::start(QString& error, qint64 owner)
{
    m_binFolder = serverBinFolder();
    if (m_binFolder.isEmpty()) {
        error = QStringLiteral("initdb not found: install the postgresql package");
        return false;
    }
    m_asPostgres = ::geteuid() == 0;
    // The postgres user must reach the folder (a TMPDIR inside root's home would not let it), and a
    // socket's path must stay short: /tmp serves both.
    const QString base = m_asPostgres && QFileInfo(QStringLiteral("/tmp")).isDir() ? QStringLiteral("/tmp") : QDir::tempPath();
    m_folder = std::make_unique<QTemporaryDir>(base + QStringLiteral("/kv-pg-XXXXXX"));
    if (!m_folder->isValid()) {
        error = m_folder->errorString();
        return false;
    }
    const QString passwordFile = m_folder->filePath(QStringLiteral("password"));
    {
        QFile file(passwordFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(password().toUtf8() + '\n') < 0) {
            error = file.errorString();
            return false;
        }
    }
    if (m_asPostgres) {
        const passwd* postgres = ::getpwnam("postgres");
        if (!postgres) {
            error = QStringLiteral("no postgres user: install the postgresql package");
            return false;
        }
        for (const QString& path : {m_folder->path(), passwordFile})
            if (::chown(QFile::encodeName(path).constData(), postgres->pw_uid, postgres->pw_gid) != 0) {
                error = QStringLiteral("cannot hand %1 to the postgres user").arg(path);
                return false;
            }
    }
    const QString data = m_folder->filePath(QStringLiteral("data"));
    QString output;
    if (!run(tool(QStringLiteral("initdb")),
             {QStringLiteral("-D"), data, QStringLiteral("-U"), user(), QStringLiteral("--pwfile=") + passwordFile,
              QStringLiteral("-A"), QStringLiteral("scram-sha-256"), QStringLiteral("-E"), QStringLiteral("UTF8"),
              QStringLiteral("--locale=C"), QStringLiteral("--no-sync")},
             output, InitMs)) {
        error = QStringLiteral("initdb failed: ") + output;
        return false;
    }
    // No TCP at all: the socket in the folder is the only way in. fsync off: nothing here must last.
    const QString options = QStringLiteral("-k %1 -c listen_addresses= -p %2 -F").arg(m_folder->path(), port());
    if (!run(tool(QStringLiteral("pg_ctl")),
             {QStringLiteral("-D"), data, QStringLiteral("-o"), options, QStringLiteral("-l"), m_folder->filePath(QStringLiteral("server.log")),
              QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("start")},
             output, StartStopMs)) {
        QFile log(m_folder->filePath(QStringLiteral("server.log")));
        error = QStringLiteral("pg_ctl start failed: ") + output + (log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll()) : QString());
        m_running = true; // it may have started after all: stop() tries
        stop();
        return false;
    }
    m_running = true;
    if (!watch(owner > 0 ? owner : QCoreApplication::applicationPid())) {
        error = QStringLiteral("cannot start the watcher of the cluster");
        stop();
        return false;
    }
    return true;
}

// A detached shell that waits for the owner to end, then stops the server and removes the
// folder; after a clean stop it finds nothing left to do.
bool PostgresCluster::watch(qint64 owner) const
{
    const QString script = QStringLiteral(
        "while kill -0 %1 2>/dev/null; do sleep 1; done\n"
        "%2 \"$0\" -D \"$1/data\" -m immediate -w stop >/dev/null 2>&1\n"
        "rm -rf \"$1\"\n")
                               .arg(owner)
                               .arg(m_asPostgres ? QStringLiteral("runuser -u postgres --") : QString());
    QProcess watcher;
    watcher.setProgram(QStringLiteral("/bin/sh"));
    watcher.setArguments({QStringLiteral("-c"), script, tool(QStringLiteral("pg_ctl")), socketFolder()});
    watcher.setWorkingDirectory(QStringLiteral("/"));
    // Holding none of this program's output open, so whoever reads it sees its end.
    watcher.setStandardInputFile(QProcess::nullDevice());
    watcher.setStandardOutputFile(QProcess::nullDevice());
    watcher.setStandardErrorFile(QProcess::nullDevice());
    return watcher.startDetached();
}

bool PostgresCluster::psql(const QString& sql, QString& error, const QString& database) const
{
    const QString script = m_folder->filePath(QStringLiteral("script.sql"));
    {
        QFile file(script);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(sql.toUtf8()) < 0) {
            error = file.errorString();
            return false;
        }
        file.setPermissions(file.permissions() | QFileDevice::ReadOther);
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PGPASSWORD"), password());
    process.setProcessEnvironment(environment);
    process.start(tool(QStringLiteral("psql")), {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
                                                 QStringLiteral("-h"), socketFolder(), QStringLiteral("-p"), port(),
                                                 QStringLiteral("-U"), user(), QStringLiteral("-d"), database, QStringLiteral("-f"), script});
    const bool finished = process.waitForFinished(PsqlMs);
    error = QString::fromLocal8Bit(process.readAll());
    if (!finished) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

void PostgresCluster::stop()
{
    if (m_running) {
        QString output;
        run(tool(QStringLiteral("pg_ctl")),
            {QStringLiteral("-D"), m_folder->filePath(QStringLiteral("data")), QStringLiteral("-m"), QStringLiteral("immediate"),
             QStringLiteral("-w"), QStringLiteral("stop")},
            output, StartStopMs);
        m_running = false;
    }
    m_folder.reset(); // removes the folder with the cluster in it
}
