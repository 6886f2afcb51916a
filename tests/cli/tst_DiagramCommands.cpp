#include "CliRun.h"
#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"
#include "cli/CommandLine.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

using CliRun::readFile;
using CliRun::writeFile;

using CliRun::Outcome;
using CliRun::run;

// Control2 is referred to from a page header, a displayed-controls list, !SET, !IF and !GO.
const QString Rules = QStringLiteral(
    "BEGIN\n"
    "1\t2\tStart\t\t\t\"Welcome [[Control2]]\"\tRadio\t$Start here\t!SET Control2 = 5\t^Go on\t"
    "!IF [[Control2]] > 3\t!GO Control2\t!ENDIF\t!GO Control3\t^Control2\t!GO control2\t\n"
    "2\t\tControl2\t\t\t\"Price\"\tNumBox\t$Price\t!GO Control3\t^1-10\t\n"
    "3\t\tControl3\t\t\t\"Done\"\tDone\t$End\t\n");

const QString Renamed = QStringLiteral(
    "1\t\"2\"\tStart\t\t\t\"Welcome [[Price]]\"\tRadio\t$Start here\t!SET Price = 5\t^Go on\t"
    "!IF [[Price]] > 3\t!GO Price\t!ENDIF\t!GO Control3\t^Control2\t!GO control2\t\n"
    "2\t\tPrice\t\t\t\"Price\"\tNumBox\t$Price\t!GO Control3\t^1-10\t\n"
    "3\t\tControl3\t\t\t\"Done\"\tDone\t$End\t\n");

} // namespace

class TestDiagramCommands : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;

    QString path(const QString& name) const { return m_folder.filePath(name); }

    QString project()
    {
        const QString rules = path(QStringLiteral("tree.rules"));
        const QString built = path(QStringLiteral("tree.kvp"));
        QFile::remove(built);
        if (!writeFile(rules, Rules) || run({"from-rules", rules, "-o", built}).code != 0)
            return QString();
        return built;
    }

private slots:
    void renameUpdatesEveryReference()
    {
        const QString file = project();
        QVERIFY(!file.isEmpty());
        const Outcome renamed = run({"rename", file, "Control2", "Price"});
        QCOMPARE(renamed.err, QString());
        QCOMPARE(renamed.out, QString());
        QCOMPARE(renamed.code, 0);
        QCOMPARE(run({"records", file}).out, Renamed);
    }

    void renameRefusalsWriteNothing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("err");
        QTest::addColumn<int>("code");
        QTest::newRow("taken") << QStringList{"Control2", "Control3"} << LoadResString(12104) + '\n' << 1;
        QTest::newRow("number") << QStringList{"Control2", "12"}
                                << LoadResString(12106) + ' ' + LoadResString(12107) + '\n' << 1;
        QTest::newRow("bad character") << QStringList{"Control2", "a-b"}
                                       << LoadResString(12106) + ' ' + LoadResString(12108) + '\n' << 1;
        QTest::newRow("no such control") << QStringList{"Nothing", "Other"} << LoadResString(32634).arg("Nothing") + '\n'
                                         << 1;
        QTest::newRow("other letter case") << QStringList{"control2", "Other"}
                                           << LoadResString(32634).arg("control2") + '\n' << 1;
        QTest::newRow("same name") << QStringList{"Control2", "Control2"} << QString() << 0;
    }
    void renameRefusalsWriteNothing()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, err);
        QFETCH(int, code);
        const QString file = project();
        QVERIFY(!file.isEmpty());
        const QByteArray before = readFile(file);
        const Outcome outcome = run(QStringList{"rename", file} + args);
        QCOMPARE(outcome.err, err);
        QCOMPARE(outcome.code, code);
        QCOMPARE(readFile(file), before);
    }

    void renameWantsThreeArguments()
    {
        const Outcome outcome = run({"rename", "a.kvp", "Old"});
        QCOMPARE(outcome.code, 2);
        QCOMPARE(outcome.err, LoadResString(32003).arg(LoadResString(32633)) + '\n' + LoadResString(32632) + '\n');
    }

    void graphAsDot()
    {
        const QString file = project();
        QVERIFY(!file.isEmpty());
        const QString dot = path(QStringLiteral("tree.dot"));
        const Outcome outcome = run({"graph", file, "-o", dot});
        QCOMPARE(outcome.err, QString());
        QCOMPARE(outcome.code, 0);
        // Control2 is displayed with Start, so it shares the first row.
        QCOMPARE(QString::fromUtf8(readFile(dot)),
                 QStringLiteral("digraph \"tree\" {\n"
                                "  node [shape=box];\n"
                                "  n1 [label=\"Start\\nRadio\", pos=\"290.0,-38.0!\"];\n"
                                "  n2 [label=\"Control2\\nNumBox\", pos=\"66.0,-38.0!\"];\n"
                                "  n3 [label=\"Control3\\nDone\", pos=\"290.0,-263.0!\"];\n"
                                "  n1 -> n2 [label=\"Go on & [[Control2]] > 3\"];\n"
                                "  n1 -> n3 [label=\"Go on\"];\n"
                                "  n1 -> n2 [label=\"Control2\"];\n"
                                "  n2 -> n3;\n"
                                "}\n"));
    }

    void graphAsSvgDrawsEveryControlAndLink()
    {
        const QString file = project();
        QVERIFY(!file.isEmpty());
        const QString svg = path(QStringLiteral("tree.svg"));
        QCOMPARE(run({"graph", file, "-o", svg}).code, 0);
        const QString text = QString::fromUtf8(readFile(svg));
        QCOMPARE(text.count(QStringLiteral("<rect ")), 3);
        QCOMPARE(text.count(QStringLiteral("marker-end=")), 4);
        QVERIFY(text.contains(QStringLiteral(">Go on &amp; [[Control2]] &gt; 3<")));
    }

    void graphNeedsAKnownOutput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no output") << QStringList{"graph", "a.kvp"};
        QTest::newRow("other kind") << QStringList{"graph", "a.kvp", "-o", "a.png"};
        QTest::newRow("two projects") << QStringList{"graph", "a.kvp", "b.kvp", "-o", "a.dot"};
        QTest::newRow("empty output name") << QStringList{"graph", "a.kvp", "-o", ""};
        QTest::newRow("unknown format") << QStringList{"graph", "a.kvp", "-o", "-", "--format", "png"};
        QTest::newRow("unknown option") << QStringList{"graph", "a.kvp", "-o", "a.dot", "--bogus"};
    }
    void graphNeedsAKnownOutput()
    {
        QFETCH(QStringList, args);
        const Outcome outcome = run(args);
        QCOMPARE(outcome.code, 2);
        QCOMPARE(outcome.err, LoadResString(32003).arg(LoadResString(36121)) + '\n' + LoadResString(36120) + '\n');
    }

    void fromRulesLaysOutWhatItWrites()
    {
        const QString file = project();
        QVERIFY(!file.isEmpty());
        // The stored diagram is read back, not made again: a renamed control keeps its place.
        QCOMPARE(run({"rename", file, "Control3", "Finish"}).code, 0);
        const QString dot = path(QStringLiteral("after.dot"));
        QCOMPARE(run({"graph", file, "-o", dot}).code, 0);
        QVERIFY(QString::fromUtf8(readFile(dot)).contains(QStringLiteral("n3 [label=\"Finish\\nDone\", pos=\"290.0,-263.0!\"]")));
    }
};

KV_REGISTER_TEST(TestDiagramCommands)
#include "tst_DiagramCommands.moc"
