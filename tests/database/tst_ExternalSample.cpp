#include "SharedCluster.h"
#include "ShopSample.h"
#include "common/TestRegistry.h"
#include "tests/cli/CliRun.h"

#include "cli/DatabaseOptions.h"
#include "cli/ServeCommand.h"
#include "persist/CsvTable.h"
#include "web/WebSite.h"

#include <QThread>

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using CliRun::run;
using CliRun::writeFile;

namespace {
QString readText(const QString& path)
{
    return QString::fromUtf8(CliRun::readFile(path));
}
} // namespace

// The sample with its selector in PostgreSQL and in SQLite runs exactly as with its own table.
class TestExternalSample : public QObject {
    Q_OBJECT

    PostgresCluster* m_cluster = nullptr;
    QTemporaryDir m_folder;

    QString path(const QString& name) const { return m_folder.filePath(name); }

private slots:
    void initTestCase()
    {
        QString error;
        m_cluster = SharedCluster::get(error);
        QVERIFY2(m_cluster, qPrintable(error));
        qputenv("KV_TEST_PG", PostgresCluster::password().toUtf8());
        const QString rules = readText(KV_SOURCE_DIR "/examples/laptop-selector.rules");
        const QString external = ShopSample::renamed(rules);
        QVERIFY(external != rules);
        QVERIFY(writeFile(path("external.rules"), external));
        QVERIFY(writeFile(path("journeys.txt"), readText(KV_SOURCE_DIR "/examples/laptop-selector.journeys.txt")
                                                    .replace(QStringLiteral("laptops:"), QStringLiteral("shop.laptops:"))));

        QCOMPARE(run({"from-rules", KV_SOURCE_DIR "/examples/laptop-selector.rules", "-o", path("internal.kvp")}).code, 0);
        QCOMPARE(run({"selector", "import", path("internal.kvp"), SharedCluster::laptopsCsv()}).code, 0);
        QCOMPARE(run({"from-rules", path("external.rules"), "-o", path("postgresql.kvp")}).code, 0);
        CliRun::Outcome made = run({"selector", "external", path("postgresql.kvp"), "shop.laptops", "--server",
                                    m_cluster->socketFolder(), "--user", PostgresCluster::user(), "--password-env",
                                    "KV_TEST_PG", "--fields", ShopSample::fields()});
        QVERIFY2(made.code == 0, qPrintable(made.err));
        // The SQLite file is named shop, beside the project, so both selectors are shop.laptops.
        QVERIFY2(ShopSample::makeSqliteProject(path("sqlite.kvp"), error), qPrintable(error));
        const CliRun::Outcome listed = run({"selector", "list", path("sqlite.kvp")});
        QCOMPARE(listed.out, QStringLiteral("shop.laptops\texternal\t-\t12\n"));
        // The same settings on a server that is not there.
        QVERIFY(QFile::copy(path("postgresql.kvp"), path("down.kvp")));
        QCOMPARE(run({"selector", "external", path("down.kvp"), "shop.laptops", "--server", path("no-server")}).code, 0);
    }
    void cleanupTestCase() { qunsetenv("KV_TEST_PG"); }

    void samePagesValuesAndItems_data()
    {
        QTest::addColumn<QString>("project");
        QTest::addColumn<QString>("answers");
        for (const char* project : {"postgresql.kvp", "sqlite.kvp"}) {
            QTest::addRow("%s, the sample's answers", project) << project << KV_SOURCE_DIR "/examples/laptop-selector.answers";
            QTest::addRow("%s, with Back", project) << project << KV_SOURCE_DIR "/examples/laptop-selector-back.answers";
        }
    }
    void samePagesValuesAndItems()
    {
        QFETCH(QString, project);
        QFETCH(QString, answers);
        const CliRun::Outcome internal = run({"run", path("internal.kvp"), "--answers", answers, "--explain"});
        QCOMPARE(internal.code, 0);
        const CliRun::Outcome external = run({"run", path(project), "--answers", answers, "--explain"});
        QVERIFY2(external.code == 0, qPrintable(external.err));
        QVERIFY(internal.out.contains("items remain"));
        QCOMPARE(QString(external.out).replace(QStringLiteral("shop.laptops"), QStringLiteral("laptops")), internal.out);
    }

    // The references to a selector's items and their count read the external table as the
    // sample's own: a sorted !KILL, <<S>>, <<S:P;I>> and <<S:P>> of the first remaining item.
    void selectorReferences_data()
    {
        QTest::addColumn<QString>("project");
        QTest::addColumn<QStringList>("settings");
        QTest::newRow("PostgreSQL") << "refs-postgresql.kvp"
                                    << QStringList{"--server", m_cluster->socketFolder(), "--user", PostgresCluster::user(),
                                                   "--password-env", "KV_TEST_PG"};
        QTest::newRow("SQLite") << "refs-sqlite.kvp" << QStringList{"--driver", "sqlite"};
    }
    void selectorReferences()
    {
        QFETCH(QString, project);
        QFETCH(QStringList, settings);
        const QString rules = QStringLiteral(
            "BEGIN\r\n"
            "1\t\tBudget\t\t\t\"Budget?\"\tNumBox\t&1000\t!KILL laptops: Price > [[Budget]]\t!SORT laptops: Price; True\t"
            "!SET [[Left]] = <<laptops>>\t!SET [[Cost]] = <<laptops:Price;Lumen Air 13>>\t!SET [[Top]] = <<laptops:Name>>\t"
            "!GO End\t^300-5000\t\r\n"
            "2\t\tLeft\t\t\t\"Left\"\tStringBox\t!GO End\t\r\n"
            "3\t\tCost\t\t\t\"Cost\"\tStringBox\t!GO End\t\r\n"
            "4\t\tTop\t\t\t\"Top\"\tStringBox\t!GO End\t\r\n"
            "5\t\tEnd\t\t\t\"Done\"\tDone\t\r\n");
        QVERIFY(writeFile(path("refs.rules"), rules));
        QVERIFY(writeFile(path("refs-external.rules"), ShopSample::renamed(rules)));
        QVERIFY(writeFile(path("refs.answers"), "Budget=1400\n"));
        QCOMPARE(run({"from-rules", path("refs.rules"), "-o", path("refs.kvp")}).code, 0);
        QCOMPARE(run({"selector", "import", path("refs.kvp"), SharedCluster::laptopsCsv()}).code, 0);
        QCOMPARE(run({"from-rules", path("refs-external.rules"), "-o", path(project)}).code, 0);
        const CliRun::Outcome made = run(QStringList{"selector", "external", path(project), "shop.laptops", "--fields",
                                                     ShopSample::fields()}
                                         + settings);
        QVERIFY2(made.code == 0, qPrintable(made.err));

        const CliRun::Outcome internal = run({"run", path("refs.kvp"), "--answers", path("refs.answers")});
        QVERIFY2(internal.code == 0, qPrintable(internal.err));
        for (const char* value : {"(Left = 9)", "(Cost = 1199)", "(Top = Aero 14 Pro)"})
            QVERIFY2(internal.out.contains(value), qPrintable(internal.out));
        const CliRun::Outcome external = run({"run", path(project), "--answers", path("refs.answers")});
        QVERIFY2(external.code == 0, qPrintable(external.err));
        QCOMPARE(QString(external.out).replace(QStringLiteral("shop.laptops"), QStringLiteral("laptops")), internal.out);
    }

    void webTreeWithSettingsFromTheProject()
    {
        const QString answers = KV_SOURCE_DIR "/examples/laptop-selector.answers";
        QCOMPARE(run({"compile", path("postgresql.kvp"), "--web", "-o", path("external.kvw")}).code, 0);
        QVERIFY(!readText(path("external.kvw")).contains(PostgresCluster::user() + "\n"));
        const CliRun::Outcome internal = run({"run", path("internal.kvp"), "--answers", answers});
        // Without the project the tree lacks its selector's table.
        QCOMPARE(run({"run", path("external.kvw"), "--answers", answers}).code, 1);
        const CliRun::Outcome external =
            run({"run", path("external.kvw"), "--answers", answers, "--external-settings", path("postgresql.kvp")});
        QVERIFY2(external.code == 0, qPrintable(external.err));
        QCOMPARE(QString(external.out).replace(QStringLiteral("shop.laptops"), QStringLiteral("laptops")), internal.out);
    }

    // The server's tables follow the database at each refresh; when it fails, the last good copy
    // keeps serving and the failure is logged.
    void servedTablesFollowTheDatabase()
    {
        QVERIFY(QDir(m_folder.path()).mkpath("served"));
        QVERIFY(QFile::copy(path("sqlite.kvp"), path("served/served.kvp")));
        QVERIFY(QFile::copy(path("shop"), path("served/shop")));
        const auto change = [this](const QString& statement) {
            bool done = false;
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("changer"));
                db.setDatabaseName(path("served/shop"));
                QSqlQuery query(db);
                done = db.open() && query.exec(statement);
                db.close();
            }
            QSqlDatabase::removeDatabase(QStringLiteral("changer"));
            return done;
        };
        DatabaseOptions database;
        database.refreshSeconds = 1;
        QStringList logged;
        WebSite site(QByteArray(32, 'k'), nullptr, [&logged](const QString& line) { logged.append(line); });
        const auto items = [&site]() {
            for (const CompiledTree::Table& table : site.tree("served")->compiled.tables)
                if (table.name == QLatin1String("shop.laptops"))
                    return table.rows.size() - 1;
            return qsizetype(-1);
        };
        const StorageResult added = site.add(path("served/served.kvp"), [&database](const QString& file, WebTree& tree) {
            return ServeCommand::readTree(file, database, tree);
        });
        QVERIFY2(added, qPrintable(added.message));
        QCOMPARE(items(), 16);
        QCOMPARE(site.handle(WebRequest{"GET", "/served/", {}}).status, 200);

        QVERIFY(change("DELETE FROM laptops WHERE \"Name\" = 'Lumen Air 13'"));
        QThread::msleep(1100);
        site.refresh();
        QCOMPARE(items(), 15);

        QVERIFY(change("ALTER TABLE laptops RENAME TO gone"));
        QThread::msleep(1100);
        site.refresh();
        QCOMPARE(items(), 15);
        QCOMPARE(logged.size(), 1);
        QVERIFY2(logged.first().contains("laptops"), qPrintable(logged.first()));
        QCOMPARE(site.handle(WebRequest{"GET", "/served/", {}}).status, 200);
    }

    void journeysOnTheWebTarget_data()
    {
        QTest::addColumn<QString>("project");
        QTest::newRow("PostgreSQL") << "postgresql.kvp";
        QTest::newRow("SQLite") << "sqlite.kvp";
    }
    void journeysOnTheWebTarget()
    {
        QFETCH(QString, project);
        const CliRun::Outcome tested = run({"test", path(project), path("journeys.txt"), "--target", "web"});
        QVERIFY2(tested.code == 0, qPrintable(tested.out + tested.err));
        QVERIFY2(tested.out.contains("4 of 4 journeys passed"), qPrintable(tested.out));
        // The desktop runtime has no external selectors and says where to try them.
        const CliRun::Outcome desktop = run({"test", path(project), path("journeys.txt")});
        QCOMPARE(desktop.code, 1);
        QVERIFY2(desktop.err.contains("--target web"), qPrintable(desktop.err));
    }

    void hostileSettings_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("said");
        QTest::newRow("field that would end the statement")
            << QStringList{"--fields", "Name,x\"; DROP TABLE laptops; --"} << "cannot be used";
        QTest::newRow("driver we have not") << QStringList{"--driver", "oracle"} << "postgresql";
        QTest::newRow("no fields") << QStringList{"--fields", ","} << "no accessible fields";
    }
    void hostileSettings()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, said);
        const QByteArray before = readText(path("postgresql.kvp")).toUtf8();
        const CliRun::Outcome refused = run(QStringList{"selector", "external", path("postgresql.kvp"), "shop.laptops"} + options);
        QCOMPARE(refused.code, 1);
        QVERIFY2(refused.err.contains(said), qPrintable(refused.err));
        QCOMPARE(readText(path("postgresql.kvp")).toUtf8(), before);
    }

    void refusedAtStart_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("said");
        const QString answers = KV_SOURCE_DIR "/examples/laptop-selector.answers";
        QTest::newRow("wrong password") << QStringList{"run", path("postgresql.kvp"), "--answers", answers, "--database-password-env", "KV_TEST_WRONG"}
                                        << "password authentication failed";
        QTest::newRow("more rows than --max-rows") << QStringList{"run", path("postgresql.kvp"), "--answers", answers, "--max-rows", "15"}
                                                   << "more than 15 rows";
        QTest::newRow("serve: more rows than --max-rows")
            << QStringList{"serve", path("sqlite.kvp"), "--max-rows", "15", "--results", "sqlite:" + path("r.sqlite")}
            << "more than 15 rows";
        QTest::newRow("serve: wrong password")
            << QStringList{"serve", path("postgresql.kvp"), "--database-password-env", "KV_TEST_WRONG", "--results", "sqlite:" + path("r.sqlite")}
            << "password authentication failed";
        QTest::newRow("serve: server down") << QStringList{"serve", path("down.kvp"), "--results", "sqlite:" + path("r.sqlite")}
                                            << "Cannot connect to " + path("no-server") + "/shop";
    }
    void refusedAtStart()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, said);
        qputenv("KV_TEST_WRONG", "not-it");
        const CliRun::Outcome refused = run(arguments);
        qunsetenv("KV_TEST_WRONG");
        QCOMPARE(refused.code, 1);
        QVERIFY2(refused.err.contains(said), qPrintable(refused.err));
        QVERIFY(!refused.err.contains(PostgresCluster::password()));
        QVERIFY(!refused.err.contains("not-it"));
    }

    void validateWithTheDatabase()
    {
        QCOMPARE(run({"validate", path("postgresql.kvp"), "--web", "--database"}).code, 0);
        QVERIFY(QFile::copy(path("postgresql.kvp"), path("checked.kvp")));
        QCOMPARE(run({"selector", "external", path("checked.kvp"), "shop.laptops", "--fields", "Name,Colour,Price"}).code, 0);
        QCOMPARE(run({"selector", "external", path("checked.kvp"), "shop.desktops", "--server", m_cluster->socketFolder(),
                      "--user", PostgresCluster::user(), "--password-env", "KV_TEST_PG", "--fields", "Name"})
                     .code,
                 0);
        // Without --database nothing connects.
        QCOMPARE(run({"validate", path("checked.kvp"), "--web"}).code, 0);
        const CliRun::Outcome checked = run({"validate", path("checked.kvp"), "--web", "--database"});
        QCOMPARE(checked.code, 1);
        QCOMPARE(checked.out, QStringLiteral("Error. External selector shop.desktops: The table \"desktops\" cannot be read: "
                                             "ERROR:  relation \"desktops\" does not exist\r\n\tSource: shop.desktops.Accessible Fields\r\n"
                                             "Error. The table \"laptops\" has no field \"Colour\".\r\n\tSource: shop.laptops.Accessible Fields\r\n"));
    }

    void millionAndOneRows()
    {
        QString error;
        QVERIFY2(m_cluster->psql("CREATE TABLE big AS SELECT 'item ' || n AS \"Name\", n AS \"Price\" FROM generate_series(1, 1000001) AS n;\n",
                                 error, "shop"),
                 qPrintable(error));
        QVERIFY(QFile::copy(path("postgresql.kvp"), path("big.kvp")));
        QCOMPARE(run({"selector", "external", path("big.kvp"), "shop.big", "--server", m_cluster->socketFolder(), "--user",
                      PostgresCluster::user(), "--password-env", "KV_TEST_PG", "--fields", "Name,Price"})
                     .code,
                 0);
        const CliRun::Outcome refused =
            run({"run", path("big.kvp"), "--answers", KV_SOURCE_DIR "/examples/laptop-selector.answers", "--max-rows", "1000000"});
        QCOMPARE(refused.code, 1);
        QVERIFY2(refused.err.contains("more than 1000000 rows"), qPrintable(refused.err));
        QVERIFY2(m_cluster->psql("SELECT 1/(count(*) - 1000000) FROM big;\n", error, "shop"), qPrintable(error));
    }
};

// The server keeps a tree's external tables and reads them again; a failing read keeps the last good
// tables and is logged once a minute.
class TestTableRefresh : public QObject {
    Q_OBJECT

private slots:
    void lastGoodTablesKeepServing()
    {
        int reads = 0;
        bool down = false;
        QStringList logged;
        WebSite site(QByteArray(32, 'k'), nullptr, [&logged](const QString& line) { logged.append(line); });
        const WebSite::Loader loader = [&](const QString&, WebTree& tree) {
            tree.name = QStringLiteral("shop");
            tree.compiled.rulesText = QStringLiteral("BEGIN\n");
            tree.compiled.tables = {{QStringLiteral("own"), {{"Name"}, {"A"}}}, {QStringLiteral("shop.items"), {{"Name"}, {"first"}}}};
            tree.tableRefresh = std::chrono::seconds(0);
            tree.externalTables = [&](QList<CompiledTree::Table>& tables) {
                if (down)
                    return StorageResult::failure(StorageErrorKind::Io, QStringLiteral("server closed the connection"));
                tables = {{QStringLiteral("shop.items"), {{"Name"}, {QStringLiteral("read %1").arg(++reads)}}}};
                return StorageResult::success();
            };
            return StorageResult::success();
        };
        QVERIFY(site.add(QStringLiteral("shop.kvp"), loader));
        const auto cell = [&site](const QString& table) {
            for (const CompiledTree::Table& served : site.tree(QStringLiteral("shop"))->compiled.tables)
                if (served.name == table)
                    return served.rows.value(1).value(0);
            return QString();
        };
        site.refresh();
        QCOMPARE(cell("shop.items"), QStringLiteral("read 1"));
        QCOMPARE(cell("own"), QStringLiteral("A"));
        down = true;
        site.refresh();
        site.refresh();
        QCOMPARE(cell("shop.items"), QStringLiteral("read 1"));
        QCOMPARE(logged.size(), 1);
        QVERIFY(logged.first().contains("server closed the connection"));
        down = false;
        site.refresh();
        QCOMPARE(cell("shop.items"), QStringLiteral("read 2"));
    }
};

KV_REGISTER_TEST(TestExternalSample)
KV_REGISTER_TEST(TestTableRefresh)
#include "tst_ExternalSample.moc"
