#include "SharedCluster.h"
#include "common/TestRegistry.h"

#include "views/ExternalSelectorDialog.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {
// The dialog's fields in their stored order.
enum Field { Table, Database, Server, Port, Driver, DriverLocation, User, Password };
} // namespace

// The settings dialog's Test Connection against the real cluster, and its pick list of columns.
class TestExternalSelectorDialog : public QObject {
    Q_OBJECT

    PostgresCluster* m_cluster = nullptr;

    void fill(ExternalSelectorDialog& dialog, const QString& table, const QString& password) const
    {
        dialog.Field(Table).setText(table);
        dialog.Field(Database).setText("shop");
        dialog.Field(Server).setText(m_cluster->socketFolder());
        dialog.Field(Port).setText(PostgresCluster::port());
        dialog.Field(Driver).setText("postgresql");
        dialog.Field(User).setText(PostgresCluster::user());
        dialog.Field(Password).setText(password);
    }

private slots:
    void initTestCase()
    {
        QString error;
        m_cluster = SharedCluster::get(error);
        QVERIFY2(m_cluster, qPrintable(error));
    }

    void testConnection_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<bool>("connects");
        QTest::addColumn<QString>("said");
        QTest::addColumn<int>("columns");
        // First, so the rows after it show the table is still there.
        QTest::newRow("field that would end the statement")
            << "laptops" << PostgresCluster::password() << QStringList{"Name", "x\"; DROP TABLE laptops; --"} << false
            << "cannot be used" << 0;
        QTest::newRow("every field there") << "laptops" << PostgresCluster::password() << QStringList{"Name", "price"} << true
                                           << "every accessible field" << 12;
        QTest::newRow("no fields yet: columns to pick") << "laptops" << PostgresCluster::password() << QStringList{} << true
                                                        << "every accessible field" << 12;
        QTest::newRow("fields the table lacks") << "laptops" << PostgresCluster::password() << QStringList{"Name", "Colour", "Keys"}
                                                << true << "lacks the accessible fields: Colour, Keys" << 12;
        QTest::newRow("missing table") << "desktops" << PostgresCluster::password() << QStringList{"Name"} << false
                                       << "relation \"desktops\" does not exist" << 0;
        QTest::newRow("wrong password") << "laptops" << "nope" << QStringList{"Name"} << false << "password authentication failed" << 0;
    }
    void testConnection()
    {
        QFETCH(QString, table);
        QFETCH(QString, password);
        QFETCH(QStringList, fields);
        QFETCH(bool, connects);
        QFETCH(QString, said);
        QFETCH(int, columns);
        ExternalSelectorSession session;
        ExternalSelectorDialog dialog(session);
        fill(dialog, table, password);
        dialog.AccessibleFields().addItems(fields);
        QCOMPARE(dialog.TestConnection(), connects);
        QVERIFY2(dialog.TestResult().contains(said), qPrintable(dialog.TestResult()));
        QVERIFY(!dialog.TestResult().contains(password));
        QCOMPARE(dialog.TableColumns().count(), columns);
    }

    // The password is hidden, and its tooltip names the ways that keep it out of the project.
    void passwordFieldSaysTheWays()
    {
        ExternalSelectorSession session;
        ExternalSelectorDialog dialog(session);
        QCOMPARE(dialog.Field(Password).echoMode(), QLineEdit::Password);
        for (const char* way : {"env:NAME", "PGPASSWORD", "~/.pgpass"})
            QVERIFY2(dialog.Field(Password).toolTip().contains(way), qPrintable(dialog.Field(Password).toolTip()));
    }

    // An SQLite file is found from the saved project's folder; a project never saved has none.
    void sqliteFileFromTheProjectFolder_data()
    {
        QTest::addColumn<QString>("baseFolder");
        QTest::addColumn<QString>("database");
        QTest::addColumn<bool>("connects");
        QTest::addColumn<QString>("said");
        QTest::newRow("beside the saved project") << "saved" << "shop.sqlite" << true << "every accessible field";
        QTest::newRow("project never saved") << "" << "shop.sqlite" << false << "Save the project first";
        QTest::newRow("never saved, a full path") << "" << "/saved/shop.sqlite" << true << "every accessible field";
        QTest::newRow("not beside the project") << "saved" << "other.sqlite" << false << "other.sqlite";
    }
    void sqliteFileFromTheProjectFolder()
    {
        QFETCH(QString, baseFolder);
        QFETCH(QString, database);
        QFETCH(bool, connects);
        QFETCH(QString, said);
        QTemporaryDir folder;
        // The Designer started elsewhere, where a file of the same name, without the prices,
        // must not be read.
        for (const auto& [place, columns] : {std::pair{"saved", "\"Name\" text, \"Price\" real"}, {"elsewhere", "\"Name\" text"}}) {
            QVERIFY(QDir(folder.path()).mkpath(place));
            QSqlDatabase maker = QSqlDatabase::addDatabase("QSQLITE", "maker");
            maker.setDatabaseName(folder.filePath(QStringLiteral("%1/shop.sqlite").arg(place)));
            QVERIFY(maker.open());
            QVERIFY(QSqlQuery(maker).exec(QStringLiteral("CREATE TABLE items (%1)").arg(columns)));
            maker.close();
            maker = QSqlDatabase();
            QSqlDatabase::removeDatabase("maker");
        }
        ExternalSelectorSession session;
        session.baseFolder = baseFolder.isEmpty() ? QString() : folder.filePath(baseFolder);
        ExternalSelectorDialog dialog(session);
        dialog.Field(Table).setText("items");
        dialog.Field(Database).setText(database.startsWith('/') ? folder.path() + database : database);
        dialog.Field(Driver).setText("sqlite");
        dialog.AccessibleFields().addItems({"Name", "Price"});
        const QString started = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.filePath("elsewhere")));
        const bool connected = dialog.TestConnection();
        QVERIFY(QDir::setCurrent(started));
        QCOMPARE(connected, connects);
        QVERIFY2(dialog.TestResult().contains(said), qPrintable(dialog.TestResult()));
    }

    void pickedColumnJoinsTheFieldsOnce()
    {
        ExternalSelectorSession session;
        ExternalSelectorDialog dialog(session);
        fill(dialog, "laptops", PostgresCluster::password());
        dialog.AccessibleFields().addItem("Name");
        QVERIFY(dialog.TestConnection());
        QListWidget& columns = dialog.TableColumns();
        for (const char* name : {"Price", "Name", "Price"}) {
            const QList<QListWidgetItem*> found = columns.findItems(name, Qt::MatchExactly);
            QCOMPARE(found.size(), 1);
            emit columns.itemDoubleClicked(found.first());
        }
        QCOMPARE(dialog.Settings().fields, (QStringList{"Name", "Price"}));
    }
};

KV_REGISTER_TEST(TestExternalSelectorDialog)
#include "tst_ExternalSelectorDialog.moc"
