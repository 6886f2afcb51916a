#include "SharedCluster.h"
#include "common/TestRegistry.h"

#include "views/ExternalSelectorDialog.h"

#include <QLineEdit>
#include <QListWidget>
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
