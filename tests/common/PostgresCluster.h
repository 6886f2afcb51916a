#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A PostgreSQL cluster of its own in a temporary folder, reached on a Unix socket in that folder
// only, with password logins. initdb refuses root, so as root the server runs as the package's
// postgres user. Stopped and removed when the object goes, whatever the test did, and by a
// watcher of its own when the program ends without its destructors (a crash, a kill).
class PostgresCluster {
public:
    PostgresCluster();
    ~PostgresCluster();
    PostgresCluster(const PostgresCluster&) = delete;
    PostgresCluster& operator=(const PostgresCluster&) = delete;

    // Makes and starts the cluster; false with the reason (missing programs, initdb's output).
    // The cluster goes at the latest when the process owner ends (this program unless told).
    bool start(QString& error, qint64 owner = 0);
    bool running() const { return m_running; }
    // Stops and removes it now (the destructor does the same).
    void stopNow() { stop(); }

    // The socket folder, which libpq takes as the host.
    QString socketFolder() const;
    static QString port() { return QStringLiteral("5432"); }
    static QString user() { return QStringLiteral("kestrova"); }
    static QString password() { return QStringLiteral("k3strova-test-secret"); }
    static QString database() { return QStringLiteral("postgres"); }

    // Runs SQL text through psql as the cluster's superuser; false with psql's output.
    bool psql(const QString& sql, QString& error, const QString& database = QStringLiteral("postgres")) const;

private:
    bool run(const QString& program, const QStringList& arguments, QString& output, int timeoutMs) const;
    QString tool(const QString& name) const;
    void stop();
    bool watch(qint64 owner) const;

    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_binFolder;
    bool m_asPostgres = false;
    bool m_running = false;
};
