#include "common/TestRegistry.h"

#include "selectors/SelectorNames.h"
#include "selectors/SelectorText.h"

#include <QTest>

using Rows = SelectorText::Rows;

class tst_SelectorText : public QObject {
    Q_OBJECT

private slots:
    void writesCells_data()
    {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QString>("text");
        QTest::newRow("comma cell quoted") << Rows{{"Red", "Green, Blue", "10"}} << "Red,\"Green, Blue\",10\r\n";
        QTest::newRow("quote without comma unchanged") << Rows{{"5\" screen", "x"}} << "5\" screen,x\r\n";
        QTest::newRow("quote and comma doubled") << Rows{{"a \"b\", c"}} << "\"a \"\"b\"\", c\"\r\n";
        QTest::newRow("leading quote quoted") << Rows{{"\"hi\""}} << "\"\"\"hi\"\"\"\r\n";
        QTest::newRow("empty cells kept") << Rows{{"A", "", "C"}, {"", "", ""}} << "A,,C\r\n,,\r\n";
        QTest::newRow("lone empty cell") << Rows{{"A"}, {""}} << "A\r\n\"\"\r\n";
        QTest::newRow("blanks kept") << Rows{{" a ", "b "}} << " a ,b \r\n";
    }
    void writesCells()
    {
        QFETCH(Rows, rows);
        QFETCH(QString, text);
        QCOMPARE(SelectorText::Write(rows), text);
        Rows back;
        QVERIFY(SelectorText::Read(text, back).ok());
        QCOMPARE(back, rows);
    }

    void readsCells_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Rows>("rows");
        QTest::newRow("tab splits") << "Name\tPrice,Weight\r\nTea\t3,1\r\n"
                                    << Rows{{"Name", "Price", "Weight"}, {"Tea", "3", "1"}};
        QTest::newRow("lf and cr line ends") << "a,b\nc\rd" << Rows{{"a", "b"}, {"c"}, {"d"}};
        QTest::newRow("empty line") << "a\r\n\r\nb\r\n" << Rows{{"a"}, {""}, {"b"}};
        QTest::newRow("trailing delimiter") << "a,\r\n" << Rows{{"a", ""}};
        QTest::newRow("quoted tab stays") << "\"a\tb\",c\r\n" << Rows{{"a\tb", "c"}};
        QTest::newRow("quoted line break") << "\"a\r\nb\",c\r\n" << Rows{{"a\r\nb", "c"}};
        QTest::newRow("text after closing quote") << "\"a\"b,c\r\n" << Rows{{"ab", "c"}};
        QTest::newRow("nothing") << "" << Rows{};
    }
    void readsCells()
    {
        QFETCH(QString, text);
        QFETCH(Rows, rows);
        Rows read;
        QVERIFY(SelectorText::Read(text, read).ok());
        QCOMPARE(read, rows);
    }

    void refusesUnclosedQuote()
    {
        Rows rows{{"old"}};
        const StorageResult result = SelectorText::Read(QStringLiteral("a,b\r\nc,\"d\r\ne\r\n"), rows);
        QVERIFY(!result.ok());
        QVERIFY2(result.message.contains(QLatin1String("2")), qPrintable(result.message));
        QVERIFY(rows.isEmpty());
    }

    // The next name after a taken one, and the name an imported file proposes.
    void derivedNames_data()
    {
        QTest::addColumn<bool>("fromFile");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("name");
        const auto next = [](const char* tag, const char* given, const char* name) {
            QTest::newRow(tag) << false << QString::fromUtf8(given) << QString::fromUtf8(name);
        };
        const auto file = [](const char* tag, const char* given, const char* name) {
            QTest::newRow(tag) << true << QString::fromUtf8(given) << QString::fromUtf8(name);
        };
        next("tail", "SSS1", "SSS2");
        next("carry", "SSS9", "SSS10");
        next("leading zero", "v09", "v10");
        next("no tail", "prices", "prices1");
        next("long tail", "x99999999999999999999", "x100000000000000000000");
        next("digits inside", "a1b", "a1b1");
        file("extension", "/tmp/prices.csv", "prices");
        file("first dot", "/tmp/v1.2.csv", "v1");
        file("several dots", "report.data.csv", "report");
        file("leading dot", "/tmp/.hidden.csv", ".hidden");
        file("no dot", "/tmp/plain", "plain");
    }
    void derivedNames()
    {
        QFETCH(bool, fromFile);
        QFETCH(QString, given);
        QFETCH(QString, name);
        QCOMPARE(fromFile ? SelectorNames::FromFile(given) : SelectorNames::GetNextID(given), name);
    }

    void firstFreeSkipsTakenAndInvalid()
    {
        const QStringList taken{"prices", "PRICES1"};
        const auto isTaken = [&](const QString& n) { return taken.contains(n, Qt::CaseInsensitive); };
        QCOMPARE(SelectorNames::FirstFree(QStringLiteral("prices"), isTaken), QStringLiteral("prices2"));
        QCOMPARE(SelectorNames::FirstFree(QStringLiteral("External"), isTaken), QStringLiteral("External1"));
        QCOMPARE(SelectorNames::FirstFree(QStringLiteral("Add Solution Set Selector"), isTaken),
                 QStringLiteral("Add Solution Set Selector1"));
    }
};

KV_REGISTER_TEST(tst_SelectorText)
#include "tst_SelectorText.moc"
