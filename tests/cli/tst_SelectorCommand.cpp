#include "CliRun.h"
#include "common/TestRegistry.h"

#include "cli/CommandLine.h"
#include "persist/StorageDocument.h"
#include "selectors/SelectorText.h"
#include "selectors/StoredSelectorCatalog.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

using CliRun::writeFile;

struct Outcome {
    int code;
    QString out;
    QString err;
};

Outcome run(const QStringList& args)
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int code = CommandLine().run(args, outStream, errStream);
    outStream.flush();
    errStream.flush();
    return {code, out, err};
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Rows as Python's csv module reads the file: a JSON array of arrays of strings.
const char* PythonReader = "import csv, json, sys\n"
                           "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                           "    print(json.dumps(list(csv.reader(f))))\n";

} // namespace

class TestSelectorCommand : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;

    QString path(const QString& name) const { return m_folder.filePath(name); }

    // A project of the sample rules, without selectors.
    QString sampleProject(const QString& name)
    {
        const QString project = path(name);
        const Outcome built = run({"from-rules", QStringLiteral(KV_SOURCE_DIR "/examples/laptop-selector.rules"), "-o", project});
        return built.code == 0 ? project : QString();
    }

private slots:
    void importsListsAndExports()
    {
        const QString project = sampleProject(QStringLiteral("shop.kvp"));
        QVERIFY(!project.isEmpty());
        QVERIFY(writeFile(path("prices.csv"), "Item,Price\r\nTea,3\r\n,\r\n"));
        QVERIFY(writeFile(path("v1.2.csv"), "A\tB\r\n"));
        Outcome imported = run({"selector", "import", project, path("prices.csv"), path("v1.2.csv"), path("prices.csv")});
        QCOMPARE(imported.err, QString());
        QCOMPARE(imported.out, QStringLiteral("prices\nv1\nprices1\n"));
        QCOMPARE(imported.code, 0);
        QVERIFY(!QFile::exists(path("shop.tmp")));

        const Outcome listed = run({"selector", "list", project});
        // In name order, as the project lists them when it is opened.
        QCOMPARE(listed.out, QStringLiteral("prices\tinternal\t2\t2\nprices1\tinternal\t2\t2\nv1\tinternal\t0\t2\n"));
        QCOMPARE(listed.code, 0);

        const QString target = path("out.csv");
        QVERIFY(writeFile(target, "an older and longer file\r\n"));
        const Outcome exported = run({"selector", "export", project, "PRICES1", "-o", target});
        QCOMPARE(exported.err + exported.out, QString());
        QCOMPARE(exported.code, 0);
        QCOMPARE(readFile(target), QByteArray("Item,Price\r\nTea,3\r\n,\r\n"));
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("firstErrorLine");
        QTest::newRow("no action") << QStringList{"selector"} << 2 << "kestrova: name what to do: list, import or export.";
        QTest::newRow("unknown action") << QStringList{"selector", "merge", "x"} << 2 << "kestrova: unknown selector command 'merge'.";
        QTest::newRow("import without files") << QStringList{"selector", "import", "PROJECT"} << 2
                                              << "kestrova: import takes a project file and at least one .csv file.";
        QTest::newRow("export without -o") << QStringList{"selector", "export", "PROJECT", "prices", "out.csv"} << 2
                                           << "kestrova: export takes a project file, a selector name and -o FILE.csv.";
        QTest::newRow("missing selector") << QStringList{"selector", "export", "PROJECT", "ghost", "-o", "OUT"} << 1
                                          << "There is no Solution Set Selector named \"ghost\".";
        QTest::newRow("malformed file") << QStringList{"selector", "import", "PROJECT", "GOOD", "BAD"} << 1
                                        << "The file \"BAD\" is not a Solution Set Selector table. Line 2: a quoted cell is not closed.";
        QTest::newRow("missing project") << QStringList{"selector", "list", "NOPROJECT"} << 1
                                         << "The file \"NOPROJECT\" was not found.";
    }
    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, firstErrorLine);
        const QString project = sampleProject(QStringLiteral("refusals.kvp"));
        QVERIFY(!project.isEmpty());
        QVERIFY(writeFile(path("good.csv"), "A\r\n"));
        QVERIFY(writeFile(path("bad.csv"), "A,B\r\n\"open,cell\r\n"));
        const QByteArray before = readFile(project);
        const QMap<QString, QString> places{{"PROJECT", project}, {"NOPROJECT", path("none.kvp")},
                                            {"GOOD", path("good.csv")}, {"BAD", path("bad.csv")}, {"OUT", path("o.csv")}};
        for (QString& arg : args)
            arg = places.value(arg, arg);
        for (auto place = places.cbegin(); place != places.cend(); ++place)
            firstErrorLine.replace(place.key(), place.value());
        const Outcome outcome = run(args);
        QTEST(outcome.code, "code");
        QCOMPARE(outcome.err.section(QLatin1Char('\n'), 0, 0), firstErrorLine);
        QCOMPARE(outcome.out, QString());
        QCOMPARE(readFile(project), before);
        QVERIFY(!QFile::exists(path("o.csv")));
    }

    // Another program reads what export writes: Python's csv module, cell for cell.
    void pythonReadsExport_data()
    {
        QTest::addColumn<SelectorText::Rows>("rows");
        QTest::newRow("plain with empty cells") << SelectorText::Rows{{"Name", "Price", "Note"}, {"Tea", "", "green"}, {"", "", ""}, {"Cake", "4", ""}};
        QTest::newRow("commas") << SelectorText::Rows{{"Colour", "Size"}, {"Green, Blue", "10"}, {"a,b,c", ","}};
        QTest::newRow("one column with a gap") << SelectorText::Rows{{"Name"}, {""}, {"x"}};
        // Quotes: doubled inside quoted cells, unchanged elsewhere; both read back as written.
        QTest::newRow("quotes") << SelectorText::Rows{{"Size", "Say"}, {"15\" screen", "\"hi\""}, {"a \"b\", c", "x"}};
    }
    void pythonReadsExport()
    {
        QFETCH(SelectorText::Rows, rows);
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            QSKIP("python3 is not installed: the exchange with Python's csv module is not checked");
        const QString project = sampleProject(QStringLiteral("python.kvp"));
        QVERIFY(!project.isEmpty());
        QVERIFY(writeFile(path("table.csv"), SelectorText::Write(rows).toUtf8()));
        QCOMPARE(run({"selector", "import", project, path("table.csv")}).code, 0);
        const QString exported = path("exported.csv");
        QCOMPARE(run({"selector", "export", project, "table", "-o", exported}).code, 0);

        QProcess reader;
        reader.start(python, {QStringLiteral("-c"), QString::fromLatin1(PythonReader), exported});
        QVERIFY(reader.waitForFinished(30000));
        QCOMPARE(reader.exitCode(), 0);
        SelectorText::Rows read;
        for (const QJsonValue& row : QJsonDocument::fromJson(reader.readAllStandardOutput()).array()) {
            QStringList cells;
            for (const QJsonValue& cell : row.toArray())
                cells.append(cell.toString());
            read.append(cells);
        }
        QCOMPARE(read, rows);
    }

    // The sample's selector actions name a selector and properties that its imported table has.
    void sampleReferencesResolve()
    {
        const QString project = sampleProject(QStringLiteral("sample.kvp"));
        QVERIFY(!project.isEmpty());
        QCOMPARE(run({"selector", "import", project, QStringLiteral(KV_SOURCE_DIR "/examples/laptops.csv")}).code, 0);
        StorageDocument document;
        QVERIFY(document.open(project).ok());
        const StoredSelectorCatalog catalog(document.rootNode());
        const QString rules = QString::fromUtf8(readFile(QStringLiteral(KV_SOURCE_DIR "/examples/laptop-selector.rules")));
        static const QRegularExpression action(QStringLiteral("!(?:KILL|SORT) (\\w+): ([^;\\t\"]+)"));
        static const QRegularExpression property(QStringLiteral("(?:^|[|,]) *(\\w+)"));
        int checked = 0;
        for (const QRegularExpressionMatch& use : action.globalMatch(rules)) {
            QVERIFY2(catalog.Exists(use.captured(1)), qPrintable(use.captured(1)));
            const QStringList properties = catalog.Properties(use.captured(1)).value_or(QStringList());
            for (const QRegularExpressionMatch& name : property.globalMatch(use.captured(2))) {
                QVERIFY2(properties.contains(name.captured(1)), qPrintable(name.captured(1)));
                ++checked;
            }
        }
        QVERIFY(checked > 10);
    }
};

KV_REGISTER_TEST(TestSelectorCommand)
#include "tst_SelectorCommand.moc"
