#include "CliRun.h"
#include "common/TestRegistry.h"

#include "persist/StorageDocument.h"
#include "selectors/SelectorStore.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

namespace {

using CliRun::run;
using CliRun::pdfText;

const QString Marker = QStringLiteral("pw-Marker-7Kq2");

// The marker in UTF-8 or UTF-16, as a file might hold it.
bool holdsMarker(const QByteArray& bytes)
{
    const QByteArray wide(reinterpret_cast<const char*>(Marker.utf16()), Marker.size() * 2);
    return bytes.contains(Marker.toUtf8()) || bytes.contains(wide);
}

bool storePassword(const QString& project, const QString& selector, const QString& password)
{
    StorageDocument document;
    if (!document.open(project).ok())
        return false;
    SelectorStore store(document);
    ExternalSelectorSettings settings;
    if (!store.ReadExternal(selector, settings).ok())
        return false;
    settings.password = password;
    return store.WriteExternal(settings).ok() && document.save().ok();
}

} // namespace

// What the commands write about a project with an external selector: never its password, and the
// desktop target refuses a tree that filters on one.
class TestExternalSelectorOutputs : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;

    QString path(const QString& name) const { return m_folder.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        // The sample filters on its own table; the external selector is stored beside it.
        QVERIFY(CliRun::makeSample(path("stored.kvp")));
        QCOMPARE(run({"selector", "external", path("stored.kvp"), "shop.laptops", "--driver", "sqlite", "--fields",
                      "Name,Price"})
                     .code,
                 0);
        QVERIFY(storePassword(path("stored.kvp"), "shop.laptops", Marker));

        // The same tree filtering and sorting on the external selector.
        QString rules = QString::fromUtf8(CliRun::readFile(KV_SOURCE_DIR "/examples/laptop-selector.rules"));
        rules.replace(QStringLiteral("!KILL laptops:"), QStringLiteral("!KILL shop.laptops:"))
            .replace(QStringLiteral("!SORT laptops:"), QStringLiteral("!SORT shop.laptops:"));
        QVERIFY(CliRun::writeFile(path("using.rules"), rules));
        QCOMPARE(run({"from-rules", path("using.rules"), "-o", path("using.kvp")}).code, 0);
        QCOMPARE(run({"selector", "external", path("using.kvp"), "shop.laptops", "--driver", "sqlite", "--fields",
                      "Name,Price"})
                     .code,
                 0);
    }

    void noPasswordWritten_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("output");
        const QString project = path("stored.kvp");
        QTest::newRow("desktop") << QStringList{"compile", project, "--desktop", "-o", path("out.kvd")} << path("out.kvd");
        QTest::newRow("web") << QStringList{"compile", project, "--web", "-o", path("out.kvw")} << path("out.kvw");
        QTest::newRow("print") << QStringList{"print", project, "-o", path("out.pdf")} << path("out.pdf");
        QTest::newRow("info") << QStringList{"info", project} << QString();
        QTest::newRow("records") << QStringList{"records", project} << QString();
        QTest::newRow("selector list") << QStringList{"selector", "list", project} << QString();
        QTest::newRow("validate") << QStringList{"validate", project} << QString();
        QTest::newRow("text") << QStringList{"text", project} << QString();
        QTest::newRow("diff") << QStringList{"diff", path("using.kvp"), project} << QString();
    }

    void noPasswordWritten()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, output);
        const CliRun::Outcome outcome = run(args);
        // A diff that finds differences says so with 1.
        QVERIFY2(outcome.code == 0 || (args.first() == QLatin1String("diff") && outcome.code == 1), qPrintable(outcome.err));
        QVERIFY(outcome.out.contains(QLatin1String("shop.laptops")) || args.first() != QLatin1String("text"));
        QVERIFY(!outcome.out.contains(Marker));
        QVERIFY(!outcome.err.contains(Marker));
        if (output.isEmpty())
            return;
        const QByteArray bytes = CliRun::readFile(output);
        QVERIFY(!bytes.isEmpty());
        QVERIFY(!holdsMarker(bytes));
        if (output.endsWith(QLatin1String(".pdf"))) {
            const QString text = pdfText(output);
            QVERIFY2(text.contains(QLatin1String("shop.laptops")), qPrintable(text.left(400)));
            QVERIFY(!text.contains(Marker));
        }
    }

    // After every command above, only the project itself holds the password: no log, working
    // copy, picture or other file written beside it.
    void noOtherFileHoldsIt()
    {
        QDirIterator files(m_folder.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        int read = 0;
        while (files.hasNext()) {
            const QString file = files.next();
            if (file == path("stored.kvp"))
                continue;
            QVERIFY2(!holdsMarker(CliRun::readFile(file)), qPrintable(file));
            ++read;
        }
        QVERIFY(read >= 4);
    }

    // The desktop file keeps the record, less the password.
    void desktopKeepsTheRestOfTheRecord()
    {
        QCOMPARE(run({"compile", path("stored.kvp"), "--desktop", "-o", path("kept.kvd")}).code, 0);
        StorageDocument compiled;
        QVERIFY(compiled.open(path("kept.kvd")).ok());
        ExternalSelectorSettings settings;
        QVERIFY(SelectorStore(compiled).ReadExternal(QStringLiteral("shop.laptops"), settings).ok());
        QCOMPARE(settings.table, QStringLiteral("laptops"));
        QCOMPARE(settings.driverName, QStringLiteral("sqlite"));
        QCOMPARE(settings.fields, (QStringList{"Name", "Price"}));
        QVERIFY(settings.password.isEmpty());
    }

    void desktopRefusesFilteringOnExternal()
    {
        QFile::remove(path("using.kvd"));
        const CliRun::Outcome refused = run({"compile", path("using.kvp"), "--desktop", "-o", path("using.kvd")});
        QCOMPARE(refused.code, 1);
        const QString all = refused.out + refused.err;
        QVERIFY2(all.contains(QLatin1String("Error. The Windows Desktop Component does not allow !KILL shop.laptops\r\n"
                                            "\tSource: Budget.Options and Actions\r\n")),
                 qPrintable(all));
        QVERIFY2(all.contains(QLatin1String("does not allow !SORT shop.laptops")), qPrintable(all));
        QVERIFY(!QFile::exists(path("using.kvd")));

        // The same check from validate, for the desktop only; the web target reads the table.
        QCOMPARE(run({"validate", path("using.kvp"), "--desktop"}).code, 1);
        QCOMPARE(run({"validate", path("using.kvp"), "--web"}).code, 0);
        QCOMPARE(run({"compile", path("using.kvp"), "--web", "-o", path("using.kvw")}).code, 0);
    }
};

KV_REGISTER_TEST(TestExternalSelectorOutputs)
#include "tst_ExternalSelectorOutputs.moc"
