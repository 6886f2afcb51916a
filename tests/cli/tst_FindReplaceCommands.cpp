#include "CliRun.h"
#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

using CliRun::readFile;
using CliRun::writeFile;

using CliRun::Outcome;
using CliRun::run;

const QString Rules = QStringLiteral("BEGIN\n"
                                     "1\t\tStart\t\t\t\"Pick a cat\"\tRadio\t$The concat cat\t^Cat\t!GO Cats\t\n"
                                     "2\t\tCats\t\t\t\"Cats\"\tDone\t$End\t\n");

const QString Prices = QStringLiteral("Item,Note\r\nTea,no cat\r\nCake,catalogue\r\n");

} // namespace

class TestFindReplaceCommands : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;

    QString path(const QString& name) const { return m_folder.filePath(name); }

    QString project()
    {
        const QString rules = path(QStringLiteral("tree.rules"));
        const QString built = path(QStringLiteral("tree.kvp"));
        QFile::remove(built);
        if (!writeFile(rules, Rules) || !writeFile(path("prices.csv"), Prices) ||
            run({"from-rules", rules, "-o", built}).code != 0 ||
            run({"selector", "import", built, path("prices.csv")}).code != 0)
            return QString();
        return built;
    }

private slots:
    void findListsEveryMatch_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("out");
        const QString heading = LoadResString(32750);
        const QString caption = LoadResString(8006);
        const QString options = LoadResString(32751);
        const QString name = LoadResString(8002);
        QTest::newRow("whole word, both areas")
            << QStringList{"cat", "--whole-word"}
            << "Start." + heading + ": Pick a cat\nStart." + caption + ": The concat cat\nStart." + options +
                   ": ^Cat\nprices[2,2]: no cat\n";
        QTest::newRow("case counts, tree only")
            << QStringList{"Cat", "--match-case", "--area", "tree"}
            << "Start." + options + ": ^Cat\nStart." + options + ": !GO Cats\nCats." + name + ": Cats\nCats." +
                   heading + ": Cats\n";
        QTest::newRow("selectors only") << QStringList{"cat", "--area", "selectors"}
                                        << QStringLiteral("prices[2,2]: no cat\nprices[3,2]: catalogue\n");
    }
    void findListsEveryMatch()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, out);
        const QString file = project();
        QVERIFY(!file.isEmpty());
        const Outcome found = run(QStringList{"find", file} + options);
        QCOMPARE(found.err, QString());
        QCOMPARE(found.out, out);
        QCOMPARE(found.code, 0);
    }

    void replaceRenamesAndSaves()
    {
        const QString file = project();
        QVERIFY(!file.isEmpty());
        const Outcome replaced = run({"replace", file, "Cats", "Dogs", "--match-case"});
        QCOMPARE(replaced.err, QString());
        QCOMPARE(replaced.out, LoadResString(32763).arg(3) + '\n');
        QCOMPARE(replaced.code, 0);
        // The go line follows the rename; nothing named Cats is left.
        QCOMPARE(run({"find", file, "Cats", "--match-case"}).out, QString());
        QVERIFY(run({"find", file, "!GO Dogs"}).out.contains(QStringLiteral("Start.")));

        QCOMPARE(run({"replace", file, "cat", "kitty cat", "--whole-word", "--area", "selectors"}).out,
                 LoadResString(32763).arg(1) + '\n');
        QCOMPARE(run({"find", file, "kitty", "--area", "selectors"}).out, QStringLiteral("prices[2,2]: no kitty cat\n"));
    }

    void replaceRefusalsAreCountedAndNothingChangedIsNotWritten()
    {
        const QString file = project();
        QVERIFY(!file.isEmpty());
        const QByteArray before = readFile(file);
        const Outcome nothing = run({"replace", file, "zebra", "x"});
        QCOMPARE(nothing.out, LoadResString(32763).arg(0) + '\n');
        QCOMPARE(readFile(file), before);
        // Start cannot be renamed to Cats: the name is taken.
        const Outcome refused = run({"replace", file, "Start", "Cats", "--area", "tree"});
        QVERIFY(refused.err.endsWith(LoadResString(32764).arg(1) + '\n'));
        QCOMPARE(refused.code, 0);
    }

    void badArgumentsAreUsageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("find without text") << QStringList{"find", "a.kvp"};
        QTest::newRow("replace without new text") << QStringList{"replace", "a.kvp", "x"};
        QTest::newRow("unknown area") << QStringList{"find", "a.kvp", "x", "--area", "moon"};
    }
    void badArgumentsAreUsageErrors()
    {
        QFETCH(QStringList, args);
        QCOMPARE(run(args).code, 2);
    }
};

KV_REGISTER_TEST(TestFindReplaceCommands)
#include "tst_FindReplaceCommands.moc"
