#include "SharedCluster.h"
#include "common/TestRegistry.h"

#include "database/SqlConnection.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

SqlSettings clusterSettings(const PostgresCluster& cluster, const QString& password)
{
    SqlSettings settings;
    settings.driver = QStringLiteral("postgresql");
    settings.server = cluster.socketFolder();
    settings.port = PostgresCluster::port();
    settings.database = QStringLiteral("shop");
    settings.user = PostgresCluster::user();
    settings.password = password;
    return settings;
}

CsvTable::Rows csvColumns(const QStringList& wanted)
{
    QFile file(SharedCluster::laptopsCsv());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    CsvTable::Rows all;
    if (!CsvTable::parse(QString::fromUtf8(file.readAll()), all) || all.isEmpty())
        return {};
    CsvTable::Rows picked;
    for (const QStringList& row : std::as_const(all)) {
        if (row.size() == 1 && row.first().isEmpty())
            continue;
        QStringList cells;
        for (const QString& name : wanted)
            cells.append(row.value(all.first().indexOf(name)));
        picked.append(cells);
    }
    return picked;
}

// A listening socket on the loopback that takes connections (the kernel's backlog) and never
// says a word; closed when it goes.
class SilentServer {
public:
    SilentServer()
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(m_socket, 4) != 0
            || ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        m_port = ntohs(address.sin_port);
    }
    ~SilentServer()
    {
        if (m_socket >= 0)
            ::close(m_socket);
    }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    int port() const { return m_port; }

private:
    int m_socket = -1;
    int m_port = 0;
};

} // namespace

// Connections through Qt SQL to a real PostgreSQL cluster and to SQLite files.
class TestSqlConnection : public QObject {
    Q_OBJECT

    PostgresCluster* m_cluster = nullptr;
    QTemporaryDir m_folder;

private slots:
    void initTestCase()
    {
        QString error;
        m_cluster = SharedCluster::get(error);
        QVERIFY2(m_cluster, qPrintable(error));
    }

    void driverNames_data()
    {
        QTest::addColumn<QString>("driver");
        QTest::addColumn<int>("kind"); // -1: none
        QTest::newRow("postgresql") << "postgresql" << int(SqlConnection::Kind::PostgreSql);
        QTest::newRow("postgres") << "postgres" << int(SqlConnection::Kind::PostgreSql);
        QTest::newRow("pgsql, blanks around") << " pgsql " << int(SqlConnection::Kind::PostgreSql);
        QTest::newRow("QPSQL") << "QPSQL" << int(SqlConnection::Kind::PostgreSql);
        QTest::newRow("sqlite") << "sqlite" << int(SqlConnection::Kind::Sqlite);
        QTest::newRow("QSQLITE") << "QSQLITE" << int(SqlConnection::Kind::Sqlite);
        QTest::newRow("mysql") << "mysql" << -1;
        QTest::newRow("ODBC") << "QODBC" << -1;
        QTest::newRow("empty") << "" << -1;
    }
    void driverNames()
    {
        QFETCH(QString, driver);
        QFETCH(int, kind);
        const std::optional<SqlConnection::Kind> found = SqlConnection::kindOf(driver);
        QCOMPARE(found ? int(*found) : -1, kind);
        if (kind < 0) {
            QString error;
            SqlSettings settings;
            settings.driver = driver;
            QVERIFY(!SqlConnection::open(settings, error));
            QVERIFY2(error.contains("postgresql") && error.contains("sqlite"), qPrintable(error));
        }
    }

    void passwordWays_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("connects");
        QTest::addColumn<QString>("said");
        QTest::newRow("as stored") << PostgresCluster::password() << true << "";
        QTest::newRow("from env:NAME") << "env:KV_TEST_DB_PASSWORD" << true << "";
        QTest::newRow("empty: PGPASSWORD") << "" << true << "";
        QTest::newRow("wrong") << "not-the-password" << false << "password authentication failed";
        QTest::newRow("env: variable not set") << "env:KV_TEST_NOT_SET" << false << "KV_TEST_NOT_SET";
        QTest::newRow("env: not a name") << "env:1-x" << false << "env:1-x";
    }
    void passwordWays()
    {
        QFETCH(QString, stored);
        QFETCH(bool, connects);
        QFETCH(QString, said);
        qputenv("KV_TEST_DB_PASSWORD", PostgresCluster::password().toUtf8());
        qputenv("PGPASSWORD", stored.isEmpty() ? PostgresCluster::password().toUtf8() : QByteArray("wrong"));
        qunsetenv("KV_TEST_NOT_SET");
        QString error;
        const std::unique_ptr<SqlConnection> connection = SqlConnection::open(clusterSettings(*m_cluster, stored), error);
        qunsetenv("PGPASSWORD");
        qunsetenv("KV_TEST_DB_PASSWORD");
        QCOMPARE(bool(connection), connects);
        QVERIFY2(error.contains(said), qPrintable(error));
        QVERIFY2(!error.contains(PostgresCluster::password()), "a message shows the password");
    }

    void readsAccessibleFieldsInOrder()
    {
        QString error;
        const std::unique_ptr<SqlConnection> connection =
            SqlConnection::open(clusterSettings(*m_cluster, PostgresCluster::password()), error);
        QVERIFY2(connection, qPrintable(error));
        // Fields found without regard to case, named as the record lists them.
        const QStringList fields{"Name", "price", "Weight", "Touch"};
        CsvTable::Rows rows;
        QVERIFY2(connection->readTable("laptops", fields, 1000, rows, error), qPrintable(error));
        CsvTable::Rows expected = csvColumns({"Name", "Price", "Weight", "Touch"});
        expected.first() = fields;
        std::sort(rows.begin() + 1, rows.end());
        std::sort(expected.begin() + 1, expected.end());
        QCOMPARE(rows, expected);
    }

    void hostileSettings_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<qint64>("maxRows");
        QTest::addColumn<QString>("said");
        QTest::newRow("field that would end the statement")
            << "laptops" << QStringList{"Name", "x\"; DROP TABLE laptops; --"} << qint64(100) << "cannot be used";
        QTest::newRow("table that would end the statement")
            << "laptops\"; DROP TABLE laptops; --" << QStringList{"Name"} << qint64(100) << "cannot be used";
        QTest::newRow("NUL in a field") << "laptops" << QStringList{QStringLiteral("Na") + QChar(0) + "me"} << qint64(100)
                                        << "cannot be used";
        QTest::newRow("missing table") << "desktops" << QStringList{"Name"} << qint64(100) << "desktops";
        QTest::newRow("missing fields") << "laptops" << QStringList{"Name", "Colour", "Price", "Keys"} << qint64(100)
                                        << "lacks the accessible fields: Colour, Keys";
        QTest::newRow("more rows than allowed") << "laptops" << QStringList{"Name"} << qint64(15) << "more than 15 rows";
        QTest::newRow("no fields") << "laptops" << QStringList{} << qint64(100) << "no accessible fields";
    }
    void hostileSettings()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, fields);
        QFETCH(qint64, maxRows);
        QFETCH(QString, said);
        QString error;
        const std::unique_ptr<SqlConnection> connection =
            SqlConnection::open(clusterSettings(*m_cluster, PostgresCluster::password()), error);
        QVERIFY2(connection, qPrintable(error));
        CsvTable::Rows rows;
        QVERIFY(!connection->readTable(table, fields, maxRows, rows, error));
        QVERIFY2(error.contains(said), qPrintable(error));
        QVERIFY(rows.isEmpty());
        // Nothing was dropped.
        CsvTable::Rows still;
        QVERIFY2(connection->readTable("laptops", {"Name"}, 1000, still, error), qPrintable(error));
        QCOMPARE(still.size(), 17);
    }

    void serverThatDoesNotAnswer()
    {
        const SilentServer silent;
        QVERIFY(silent.port() > 0);
        SqlSettings settings = clusterSettings(*m_cluster, "x");
        settings.server = QStringLiteral("127.0.0.1");
        settings.port = QString::number(silent.port());
        // It gives up instead of waiting forever; how soon is measured in bench/, not here.
        QString error;
        QVERIFY(!SqlConnection::open(settings, error));
        QVERIFY2(error.contains("127.0.0.1"), qPrintable(error));
    }

    // A cluster whose program ends without stopping it, as in a crash, is stopped and removed
    // all the same.
    void clusterGoesWithItsProgram()
    {
        QProcess owner;
        owner.start(QStringLiteral("sleep"), {QStringLiteral("600")});
        QVERIFY(owner.waitForStarted());
        PostgresCluster orphan;
        QString error;
        QVERIFY2(orphan.start(error, owner.processId()), qPrintable(error));
        const QString folder = orphan.socketFolder();
        SqlSettings settings = clusterSettings(orphan, PostgresCluster::password());
        settings.database = PostgresCluster::database();
        QVERIFY2(SqlConnection::open(settings, error), qPrintable(error));
        owner.kill();
        QVERIFY(owner.waitForFinished());
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(folder), 60'000);
        QVERIFY(!SqlConnection::open(settings, error));
    }

    void sqliteFileRelativeToTheTree()
    {
        const QString file = m_folder.filePath("shop.sqlite");
        {
            QSqlDatabase maker = QSqlDatabase::addDatabase("QSQLITE", "maker");
            maker.setDatabaseName(file);
            QVERIFY(maker.open());
            QSqlQuery query(maker);
            QVERIFY(query.exec("CREATE TABLE items (\"Name\" text, \"Price\" real)"));
            QVERIFY(query.exec("INSERT INTO items VALUES ('Pen', 1.5), ('Ink', 12), ('Nib', NULL)"));
            maker.close();
        }
        QSqlDatabase::removeDatabase("maker");
        SqlSettings settings;
        settings.driver = QStringLiteral("sqlite");
        settings.database = QStringLiteral("shop.sqlite");
        settings.baseFolder = m_folder.path();
        QString error;
        const std::unique_ptr<SqlConnection> connection = SqlConnection::open(settings, error);
        QVERIFY2(connection, qPrintable(error));
        CsvTable::Rows rows;
        QVERIFY2(connection->readTable("items", {"Name", "Price"}, 10, rows, error), qPrintable(error));
        QCOMPARE(rows, (CsvTable::Rows{{"Name", "Price"}, {"Pen", "1.5"}, {"Ink", "12"}, {"Nib", ""}}));

        // A file that is not there is not made.
        settings.database = QStringLiteral("missing.sqlite");
        QVERIFY(!SqlConnection::open(settings, error));
        QVERIFY(!QFile::exists(m_folder.filePath("missing.sqlite")));
        QVERIFY2(error.contains("missing.sqlite"), qPrintable(error));
    }
};

KV_REGISTER_TEST(TestSqlConnection)
#include "tst_SqlConnection.moc"
