#include "common/CollectedErrors.h"
#include "common/TestRegistry.h"

#include "ValidationTree.h"
#include "base/ResourceStrings.h"
#include "lang/ISelectorCatalog.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "validate/CcValidation.h"
#include "validate/FileTypeConversion.h"
#include "validate/IValidationLog.h"
#include "validate/SelectorPropertyCheck.h"

#include <QMap>
#include <QTest>

namespace {

// Selectors by name with their header rows; "External" keeps its table elsewhere.
// Counts the tables read, as a stored catalog reads one per question about its properties.
class Catalog : public ISelectorCatalog {
public:
    QMap<QString, QStringList> headers;
    mutable QMap<QString, int> reads;

    bool Exists(const QString& name) const override { return headers.contains(name) || name == QLatin1String("External"); }
    std::optional<QStringList> Properties(const QString& name) const override
    {
        ++reads[name];
        if (name == QLatin1String("External"))
            return std::nullopt;
        return headers.value(name);
    }
    std::optional<QStringList> Items(const QString&) const override { return QStringList(); }
};

using Log = CollectedErrors;

} // namespace

class TestSelectorPropertyCheck : public QObject {
    Q_OBJECT

private slots:
    void propertiesAreCheckedAgainstTheHeader_data()
    {
        QTest::addColumn<QString>("selector");
        QTest::addColumn<QStringList>("expressions");
        QTest::addColumn<QStringList>("missing");
        QTest::newRow("known, any case") << "Laptops" << QStringList{"price > 500 & GPU = \"Entry\""} << QStringList();
        QTest::newRow("unknown in a kill") << "Laptops" << QStringList{"GPU = \"Entry\" | Colour = \"Red\""}
                                           << QStringList{"Colour"};
        QTest::newRow("unknown sort key, named once") << "Laptops" << QStringList{"Weight", "ABS(Weight)", "Price"}
                                                      << QStringList{"Weight"};
        QTest::newRow("references are no properties") << "Laptops" << QStringList{"Price < [[Budget]]"} << QStringList();
        QTest::newRow("unknown selector left to the reference check") << "Tablets" << QStringList{"Colour = 1"}
                                                                      << QStringList();
        QTest::newRow("external table not known here") << "External" << QStringList{"Colour = 1"} << QStringList();
        QTest::newRow("broken expression left to the expression check") << "Laptops" << QStringList{"Colour = ("}
                                                                        << QStringList();
    }
    void propertiesAreCheckedAgainstTheHeader()
    {
        QFETCH(QString, selector);
        QFETCH(QStringList, expressions);
        QFETCH(QStringList, missing);
        Catalog catalog;
        catalog.headers.insert(QStringLiteral("Laptops"), {"Name", "Price", "GPU"});
        Log log;
        SelectorPropertyCheck(catalog, log).Check(QStringLiteral("Budget.Options"), selector, expressions);
        QStringList expected;
        for (const QString& property : missing)
            expected.append(QStringLiteral("Budget.Options: ") + LoadResString(32513).arg(selector, property));
        QCOMPARE(log.errors, expected);
    }

    // A header row left blank (a new selector's) is an error once per selector, with its column.
    void aBlankHeaderCellIsReportedOnce()
    {
        Catalog catalog;
        catalog.headers.insert(QStringLiteral("Laptops"), {"Name", "", "GPU"});
        Log log;
        SelectorPropertyCheck check(catalog, log);
        check.Check(QStringLiteral("A.Options"), QStringLiteral("Laptops"), {QStringLiteral("GPU = 1")});
        check.Check(QStringLiteral("B.Options"), QStringLiteral("Laptops"), {QStringLiteral("GPU = 2")});
        QCOMPARE(log.errors, QStringList{QStringLiteral("A.Options: ") + LoadResString(36160).arg("Laptops").arg(2)});
    }

    // A validation run reads each table as often with many !KILL and !SORT lines as with one
    // (the reference check reads it once more for itself); the next run reads it again, since
    // the table may have changed between runs.
    void aRunReadsEachTableOnce()
    {
        const auto readsFor = [](int controls, int runs) {
            Catalog catalog;
            catalog.headers.insert(QStringLiteral("Laptops"), {"Name", "Price"});
            catalog.headers.insert(QStringLiteral("Phones"), {"Name", "Weight"});
            CmDecisionManager decisions;
            CmDocument document;
            CcValidation validation(decisions, document);
            validation.setSelectorCatalog(&catalog);
            for (int i = 1; i <= controls; ++i) {
                const QString next = i < controls ? QStringLiteral("!GO C%1").arg(i + 1) : QStringLiteral("!GO C1");
                ValidationTree::add(decisions, ValidationTree::Control(QStringLiteral("C%1").arg(i), MDecisionDataUtil::Radio,
                                                                       {"^Yes", QStringLiteral("!KILL Laptops: Price > %1").arg(i),
                                                                        "!KILL External: Colour = 1", "!SORT Phones: Weight", next,
                                                                        "^No", QStringLiteral("!KILL Laptops: Colour = %1").arg(i), next}));
            }
            for (int run = 0; run < runs; ++run) {
                validation.Clear();
                validation.Validate();
            }
            // The unknown property is still reported on every line that names it.
            const QStringList findings = ValidationTree::findingsAt(validation.Findings(), QString());
            if (findings.filter(LoadResString(32513).arg("Laptops", "Colour")).size() != controls)
                catalog.reads.insert(QStringLiteral("missing findings"), 1);
            return catalog.reads;
        };
        const QMap<QString, int> one = readsFor(1, 1);
        QVERIFY(!one.isEmpty());
        for (const int reads : one)
            QVERIFY2(reads <= 2, "one table read for the references and one for the properties at most");
        QCOMPARE(readsFor(300, 1), one);
        QMap<QString, int> twice = one;
        for (int& reads : twice)
            reads *= 2;
        QCOMPARE(readsFor(300, 2), twice);
    }

    // The desktop check asks of each selector's !KILL and !SORT lines whether its table is
    // external, which reads the table: once per selector and check.
    void desktopCheckReadsEachTableOnce()
    {
        Catalog catalog;
        catalog.headers.insert(QStringLiteral("Laptops"), {"Name", "Price"});
        CmDecisionManager decisions;
        CmDocument document;
        FileTypeConversion conversion(decisions, document);
        conversion.setSelectorCatalog(&catalog);
        for (int i = 1; i <= 200; ++i)
            ValidationTree::add(decisions, ValidationTree::Control(QStringLiteral("C%1").arg(i), MDecisionDataUtil::Radio,
                                                                   {"^Yes", "!KILL Laptops: Price > 1", "!KILL External: Colour = 1",
                                                                    "!SORT Laptops: Price"}));
        QVERIFY(conversion.CheckKVDCompat(false, false));
        QCOMPARE(catalog.reads, (QMap<QString, int>{{"External", 1}, {"Laptops", 1}}));
        QVERIFY(conversion.CheckKVDCompat(false, false));
        QCOMPARE(catalog.reads, (QMap<QString, int>{{"External", 2}, {"Laptops", 2}}));
    }
};

KV_REGISTER_TEST(TestSelectorPropertyCheck)
#include "tst_SelectorPropertyCheck.moc"
