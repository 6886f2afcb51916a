#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"
#include "lang/ISelectorCatalog.h"
#include "validate/IValidationLog.h"
#include "validate/SelectorPropertyCheck.h"

#include <QMap>
#include <QTest>

namespace {

// Selectors by name with their header rows; "External" keeps its table elsewhere.
class Catalog : public ISelectorCatalog {
public:
    QMap<QString, QStringList> headers;

    bool Exists(const QString& name) const override { return headers.contains(name) || name == QLatin1String("External"); }
    std::optional<QStringList> Properties(const QString& name) const override
    {
        if (name == QLatin1String("External"))
            return std::nullopt;
        return headers.value(name);
    }
    std::optional<QStringList> Items(const QString&) const override { return QStringList(); }
};

class Log : public IValidationLog {
public:
    QStringList errors;
    void AppendToLog(bool isError, const QString& message, const QString& location, const QString&) override
    {
        if (isError)
            errors.append(location + QLatin1String(": ") + message);
    }
};

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
};

KV_REGISTER_TEST(TestSelectorPropertyCheck)
#include "tst_SelectorPropertyCheck.moc"
