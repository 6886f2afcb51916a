#include "PersistTestFiles.h"
#include "common/Scaling.h"
#include "common/TestRegistry.h"
#include "persist/PropertyBag.h"
#include "persist/StorageDocument.h"

#include <QTemporaryDir>
#include <QTest>

#include <vector>

using namespace PersistTestFiles;

namespace {

enum ClassId { RootClass = 1, SettingsClass = 100, ItemClass = 101 };

const QStringList& noteNames()
{
    static const QStringList names = [] {
        QStringList all;
        for (int i = 1; i <= 16; ++i)
            all << QStringLiteral("Note%1").arg(i);
        return all;
    }();
    return names;
}

// One of a kind: the lookup hands out the live object.
class TestSettings : public IClassPersistable {
public:
    QString title;
    int level = 1;

    int IClassPersistable_UCID() const override { return SettingsClass; }
    void IClassPersistable_WriteProperties(PropertyBag& bag) const override
    {
        bag.WriteProperty(QStringLiteral("Title"), title, QString());
        bag.WriteProperty(QStringLiteral("Level"), level, 1);
    }
    void IClassPersistable_ReadProperties(PropertyBag& bag) override
    {
        title = bag.ReadProperty(QStringLiteral("Title"), QString()).toString();
        level = bag.ReadProperty(QStringLiteral("Level"), 1).toInt();
    }
};

// Made anew for every stored copy; may hold another item.
class TestItem : public IClassPersistable {
public:
    QString name;
    double weight = 0.0;
    QStringList notes; // sixteen of them, as a real control has about twenty properties
    std::unique_ptr<TestItem> child;

    int IClassPersistable_UCID() const override { return ItemClass; }
    void IClassPersistable_WriteProperties(PropertyBag& bag) const override
    {
        bag.WriteProperty(QStringLiteral("Name"), name, QString());
        bag.WriteProperty(QStringLiteral("Weight"), weight, 0.0);
        for (qsizetype i = 0; i < notes.size(); ++i)
            bag.WriteProperty(noteNames().at(i), notes.at(i), QString());
        if (child)
            bag.WriteObject(QStringLiteral("Child"), *child);
    }
    void IClassPersistable_ReadProperties(PropertyBag& bag) override
    {
        name = bag.ReadProperty(QStringLiteral("Name"), QString()).toString();
        weight = bag.ReadProperty(QStringLiteral("Weight"), 0.0).toDouble();
        notes.clear();
        for (const QString& note : noteNames()) {
            if (bag.Contains(note))
                notes << bag.ReadProperty(note, QString()).toString();
        }
        child = adopt(bag.ReadObject(QStringLiteral("Child")));
    }

    static std::unique_ptr<TestItem> adopt(ClassInstance instance)
    {
        if (!dynamic_cast<TestItem*>(instance.owned.get()))
            return nullptr;
        return std::unique_ptr<TestItem>(static_cast<TestItem*>(instance.owned.release()));
    }
};

class TestRoot : public IClassPersistable {
public:
    TestSettings* settings = nullptr;
    std::vector<std::unique_ptr<TestItem>> items;
    bool settingsCameBackLive = false;

    int IClassPersistable_UCID() const override { return RootClass; }
    void IClassPersistable_WriteProperties(PropertyBag& bag) const override
    {
        bag.WriteObject(QStringLiteral("Settings"), *settings);
        bag.WriteProperty(QStringLiteral("Count"), static_cast<int>(items.size()), 0);
        for (size_t i = 0; i < items.size(); ++i)
            bag.WriteObject(QStringLiteral("Item%1").arg(i + 1), *items[i]);
    }
    void IClassPersistable_ReadProperties(PropertyBag& bag) override
    {
        const ClassInstance found = bag.ReadObject(QStringLiteral("Settings"));
        settingsCameBackLive = found.object == settings && !found.owned;
        items.clear();
        const int count = bag.ReadProperty(QStringLiteral("Count"), 0).toInt();
        for (int i = 1; i <= count; ++i)
            items.push_back(TestItem::adopt(bag.ReadObject(QStringLiteral("Item%1").arg(i))));
    }
};

class TestLookup : public IClassLookup {
public:
    TestSettings settings;
    int itemsCreated = 0;

    ClassInstance IClassLookup_CreateClass(int classId) override
    {
        if (classId == SettingsClass)
            return ClassInstance::live(&settings);
        if (classId == ItemClass) {
            ++itemsCreated;
            return ClassInstance::created(std::make_unique<TestItem>());
        }
        return {};
    }
};

std::unique_ptr<TestItem> makeItem(int number)
{
    auto item = std::make_unique<TestItem>();
    item->name = QStringLiteral("Item \"%1\"").arg(number);
    item->weight = number + 0.25;
    for (int i = 1; i <= 16; ++i)
        item->notes << QStringLiteral("note %1 of %2").arg(i).arg(number);
    return item;
}

PropertyBag reread(const PropertyBag& bag, IClassLookup* lookup = nullptr)
{
    PropertyBag copy;
    copy.SetClassLookup(lookup);
    if (!copy.FromText(bag.ToText()))
        qWarning("stored bag text did not read back");
    return copy;
}

// Writes count items under a root and reads them back into readRoot.
void roundTrip(int count, TestLookup& lookup, TestRoot& readRoot)
{
    TestRoot root;
    root.settings = &lookup.settings;
    for (int i = 1; i <= count; ++i)
        root.items.push_back(makeItem(i));
    readRoot.items.clear();
    PropertyBag bag;
    bag.WriteRoot(root);
    PropertyBag loaded;
    loaded.SetClassLookup(&lookup);
    if (!loaded.FromText(bag.ToText()) || !loaded.ReadRoot(readRoot))
        readRoot.items.clear();
}

} // namespace

class tst_PropertyBag : public QObject {
    Q_OBJECT

private slots:
    void valuesKeepTheirKind_data()
    {
        QTest::addColumn<QVariant>("written");
        QTest::addColumn<QVariant>("writeDefault");
        QTest::addColumn<QVariant>("readDefault");
        QTest::addColumn<QVariant>("expected");
        QTest::addColumn<bool>("stored");
        const QVariant none;
        QTest::newRow("text of digits stays text") << QVariant("12") << none << none << QVariant("12") << true;
        QTest::newRow("number stays number") << QVariant(12) << none << none << QVariant(12) << true;
        QTest::newRow("fraction") << QVariant(2.5) << none << none << QVariant(2.5) << true;
        QTest::newRow("large whole number") << QVariant(qlonglong(1) << 40) << none << none
                                            << QVariant(qlonglong(1) << 40) << true;
        QTest::newRow("bool") << QVariant(true) << none << none << QVariant(true) << true;
        QTest::newRow("empty text is not empty") << QVariant("") << none << none << QVariant("") << true;
        QTest::newRow("empty stays empty") << none << QVariant(5) << none << none << true;
        QTest::newRow("empty read as a number") << none << QVariant(5) << QVariant(5) << QVariant(0) << true;
        QTest::newRow("text read as a number") << QVariant("12") << none << QVariant(0) << QVariant(12) << true;
        QTest::newRow("number read as text") << QVariant(7) << none << QVariant("") << QVariant("7") << true;
        QTest::newRow("text that is no number") << QVariant("abc") << none << QVariant(3) << QVariant(3) << true;
        QTest::newRow("16-bit number") << QVariant::fromValue(qint16(-5)) << QVariant::fromValue(qint16(0))
                                       << QVariant::fromValue(qint16(0)) << QVariant::fromValue(qint16(-5))
                                       << true;
        QTest::newRow("equal to the default is left out") << QVariant(0) << QVariant(0) << QVariant(9)
                                                          << QVariant(9) << false;
        QTest::newRow("same number of another type is left out")
            << QVariant(1.0) << QVariant(1) << QVariant(4) << QVariant(4) << false;
        QTest::newRow("false as default is left out") << QVariant(false) << QVariant(false) << QVariant(true)
                                                      << QVariant(true) << false;
        QTest::newRow("empty as default is left out") << none << none << QVariant("d") << QVariant("d") << false;
        QTest::newRow("text equal to the number default is written")
            << QVariant("0") << QVariant(0) << QVariant(9) << QVariant(0) << true;
        QTest::newRow("empty text differs from an empty default")
            << QVariant("") << none << QVariant("d") << QVariant("") << true;
    }

    void valuesKeepTheirKind()
    {
        QFETCH(QVariant, written);
        QFETCH(QVariant, writeDefault);
        QFETCH(QVariant, readDefault);
        QFETCH(QVariant, expected);
        QFETCH(bool, stored);
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("Before"), 1);
        bag.WriteProperty(QStringLiteral("Value"), written, writeDefault);
        bag.WriteProperty(QStringLiteral("After"), QStringLiteral("x"));
        const PropertyBag copy = reread(bag);
        QCOMPARE(copy.Contains(QStringLiteral("Value")), stored);
        const QVariant read = copy.ReadProperty(QStringLiteral("Value"), readDefault);
        QCOMPARE(read.metaType(), expected.metaType());
        QCOMPARE(read, expected);
        QCOMPARE(copy.ReadProperty(QStringLiteral("Missing"), readDefault), readDefault);
    }

    void textsSurviveStorage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("quotes and backslashes") << QStringLiteral("say \"hi\" \\ C:\\dir\\");
        QTest::newRow("line breaks and tabs") << QStringLiteral("a\r\nb\tc\n");
        QTest::newRow("other control characters") << QString(QChar(1)) + QChar(0x1f) + QChar(0x7f);
        QTest::newRow("accents, euro, emoji") << QStringLiteral("\u00e4\u20ac\U0001F600");
        QTest::newRow("half a surrogate pair") << QString(QChar(0xd83d)) + QStringLiteral("x") + QChar(0xde00);
        QTest::newRow("looks like JSON") << QStringLiteral(R"({"class":1,"props":{}})");
    }

    void textsSurviveStorage()
    {
        QFETCH(QString, text);
        PropertyBag bag;
        bag.WriteProperty(text, text, QString());
        StorageDocument document;
        QVERIFY(document.create());
        StorageNode node = nodeAt(document, QStringLiteral("\\Bag"));
        QVERIFY(bag.StoreInto(node));
        PropertyBag loaded;
        QVERIFY(loaded.LoadFrom(node));
        QCOMPARE(loaded.ReadProperty(text, QString()).toString(), text);
    }

    void readsBagTextWrittenElsewhere_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("spaces and props first")
            << "\n { \"props\" : { \"V\" : 5 } ,\r\n \"class\" : 3 } " << QVariant(5);
        QTest::newRow("escaped letters") << R"({"class":3,"props":{"\u0056":"\u00e4\/\b\f"}})"
                                         << QVariant(QStringLiteral("\u00e4/\b\f"));
        QTest::newRow("surrogate pair escaped") << R"({"class":3,"props":{"V":"\ud83d\ude00"}})"
                                                << QVariant(QStringLiteral("\U0001F600"));
        QTest::newRow("exponent") << R"({"class":3,"props":{"V":-2.5e3}})" << QVariant(-2500.0);
        QTest::newRow("beyond 64 bits") << R"({"class":3,"props":{"V":123456789012345678901234}})"
                                        << QVariant(1.2345678901234568e23);
        QTest::newRow("a name twice, the last counts") << R"({"class":3,"props":{"V":1,"W":0,"V":"two"}})"
                                                        << QVariant("two");
        QTest::newRow("null") << R"({"class":3,"props":{"V":null}})" << QVariant();
    }

    void readsBagTextWrittenElsewhere()
    {
        QFETCH(QString, text);
        QFETCH(QVariant, expected);
        PropertyBag bag;
        QVERIFY(bag.FromText(text));
        QCOMPARE(bag.RootClassId(), 3);
        const QVariant read = bag.ReadProperty(QStringLiteral("V"));
        QCOMPARE(read.metaType(), expected.metaType());
        QCOMPARE(read, expected);
    }

    void laterWritesReplaceEarlierOnes()
    {
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("A"), 1);
        bag.WriteProperty(QStringLiteral("B"), QStringLiteral("set"), QString());
        QCOMPARE(bag.ReadProperty(QStringLiteral("B")), QVariant("set"));
        bag.WriteProperty(QStringLiteral("A"), 2);
        bag.WriteProperty(QStringLiteral("B"), QString(), QString());
        const PropertyBag copy = reread(bag);
        QCOMPARE(copy.ReadProperty(QStringLiteral("A")), QVariant(2));
        QVERIFY(!copy.Contains(QStringLiteral("B")));
        QCOMPARE(copy.ReadProperty(QStringLiteral("B"), QStringLiteral("default")), QVariant("default"));
    }

    void nestedObjectsComeBackThroughTheLookup()
    {
        TestLookup writerLookup;
        writerLookup.settings.title = QStringLiteral("Bikes");
        writerLookup.settings.level = 3;
        TestRoot root;
        root.settings = &writerLookup.settings;
        for (int i = 1; i <= 3; ++i)
            root.items.push_back(makeItem(i));
        root.items[1]->child = makeItem(20);
        root.items[1]->child->child = makeItem(30);
        PropertyBag bag;
        bag.WriteRoot(root);

        // Through a node of a saved and reopened document.
        QTemporaryDir dir;
        const QString filePath = dir.filePath(QStringLiteral("tree.kvp"));
        {
            StorageDocument document;
            QVERIFY(document.create());
            StorageNode node = nodeAt(document, QStringLiteral("\\DecisionTreeData\\Basic\\DevFile"));
            QVERIFY(bag.StoreInto(node));
            QVERIFY(document.saveAs(filePath));
        }
        StorageDocument document;
        QVERIFY(document.open(filePath));
        StorageNode node = nodeAt(document, QStringLiteral("\\DecisionTreeData\\Basic\\DevFile"));
        TestLookup lookup;
        PropertyBag loaded;
        loaded.SetClassLookup(&lookup);
        QVERIFY(loaded.LoadFrom(node));
        QCOMPARE(loaded.RootClassId(), int(RootClass));
        TestRoot readRoot;
        readRoot.settings = &lookup.settings;
        QVERIFY(loaded.ReadRoot(readRoot));

        QVERIFY(readRoot.settingsCameBackLive);
        QCOMPARE(lookup.settings.title, QStringLiteral("Bikes"));
        QCOMPARE(lookup.settings.level, 3);
        QCOMPARE(lookup.itemsCreated, 5);
        QCOMPARE(readRoot.items.size(), size_t(3));
        for (int i = 0; i < 3; ++i) {
            const TestItem* item = readRoot.items[i].get();
            QVERIFY(item);
            QCOMPARE(item->name, root.items[i]->name);
            QCOMPARE(item->weight, root.items[i]->weight);
            QCOMPARE(item->notes, root.items[i]->notes);
        }
        QVERIFY(!readRoot.items[0]->child);
        QVERIFY(readRoot.items[1]->child && readRoot.items[1]->child->child);
        QCOMPARE(readRoot.items[1]->child->child->name, QStringLiteral("Item \"30\""));
    }

    void objectsTheLookupDoesNotKnowStayEmpty()
    {
        PropertyBag bag;
        QVERIFY(bag.FromText(QStringLiteral(
            R"({"class":1,"props":{"Unknown":{"class":999,"props":{"A":1}},"Scalar":5,"Item":{"class":101,"props":{}}}})")));
        QVERIFY(!bag.ReadObject(QStringLiteral("Item"))); // no lookup set
        TestLookup lookup;
        bag.SetClassLookup(&lookup);
        QVERIFY(!bag.ReadObject(QStringLiteral("Unknown")));
        QVERIFY(!bag.ReadObject(QStringLiteral("Scalar")));
        QVERIFY(!bag.ReadObject(QStringLiteral("Missing")));
        QCOMPARE(bag.ReadProperty(QStringLiteral("Unknown"), 4), QVariant(4));
        const ClassInstance item = bag.ReadObject(QStringLiteral("Item"));
        QVERIFY(item && item.owned);
        QCOMPARE(item.object->IClassPersistable_UCID(), int(ItemClass));
    }

    void rootOfAnotherClassIsNotRead()
    {
        TestSettings settings;
        settings.title = QStringLiteral("not a root");
        PropertyBag bag;
        bag.WriteRoot(settings);
        TestRoot root;
        QVERIFY(!reread(bag).ReadRoot(root));
        QVERIFY(!PropertyBag().ReadRoot(root));
    }

    void refusesTextThatIsNoBag_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("not JSON") << "class=1";
        QTest::newRow("cut off") << R"({"class":1,"props":{"A":)";
        QTest::newRow("array") << "[1,2]";
        QTest::newRow("no props") << R"({"class":1})";
        QTest::newRow("props not an object") << R"({"class":1,"props":[]})";
        QTest::newRow("class not a number") << R"({"class":"1","props":{}})";
        QTest::newRow("array value") << R"({"class":1,"props":{"A":[1]}})";
        QTest::newRow("nested object that is no bag") << R"({"class":1,"props":{"A":{"x":1}}})";
        QTest::newRow("text after the bag") << R"({"class":1,"props":{}} x)";
        QTest::newRow("unknown escape") << R"({"class":1,"props":{"A":"\q"}})";
        QTest::newRow("string never closed") << "{\"class\":1,\"props\":{\"A\":\"abc";
        QTest::newRow("nesting without end") << QString(QStringLiteral(R"({"class":1,"props":{"A":)")).repeated(400);
    }

    void refusesTextThatIsNoBag()
    {
        QFETCH(QString, text);
        PropertyBag bag;
        QCOMPARE(bag.FromText(text).kind, StorageErrorKind::Corrupt);

        StorageDocument document;
        QVERIFY(document.create());
        StorageNode node = nodeAt(document, QStringLiteral("\\Broken"));
        QVERIFY(node.writeText(text));
        const StorageResult loaded = bag.LoadFrom(node);
        QCOMPARE(loaded.kind, StorageErrorKind::Corrupt);
        QVERIFY(loaded.message.contains(QStringLiteral("\\Broken")));
    }

    void nodeNeverWrittenGivesAnEmptyBag()
    {
        StorageDocument document;
        QVERIFY(document.create());
        StorageNode node = nodeAt(document, QStringLiteral("\\DecisionTreeData\\Basic\\DevFile"));
        PropertyBag bag;
        QVERIFY(bag.FromText(QStringLiteral(R"({"class":7,"props":{"A":1}})")));
        QVERIFY(bag.LoadFrom(node));
        QCOMPARE(bag.RootClassId(), 0);
        QVERIFY(!bag.Contains(QStringLiteral("A")));
    }

    void thirtyThousandObjectsRoundTrip()
    {
        constexpr int Count = 30000;
        TestLookup lookup;
        TestRoot readRoot;
        readRoot.settings = &lookup.settings;
        roundTrip(Count, lookup, readRoot);
        QCOMPARE(readRoot.items.size(), size_t(Count));
        QCOMPARE(readRoot.items.back()->name, QStringLiteral("Item \"30000\""));
        QCOMPARE(readRoot.items[4999]->weight, 5000.25);
        QCOMPARE(readRoot.items[4999]->notes.last(), QStringLiteral("note 16 of 5000"));

        const double ratio = GrowthRatio([&](int count) { roundTrip(count, lookup, readRoot); }, 4000);
        QCOMPARE(readRoot.items.size(), size_t(8000));
        QVERIFY2(ratio < 3.5, qPrintable(QString::number(ratio)));
    }

    void writingGrowsLinearly()
    {
        qsizetype written = 0;
        const double ratio = GrowthRatio(
            [&written](int count) {
                PropertyBag bag;
                for (int i = 1; i <= count; ++i)
                    bag.WriteProperty(QStringLiteral("Key%1").arg(i), i);
                written = bag.ToText().size();
            },
            40000);
        QVERIFY(written > 80000 * 6);
        QVERIFY2(ratio < 3.5, qPrintable(QString::number(ratio)));
    }
};

KV_REGISTER_TEST(tst_PropertyBag)
#include "tst_PropertyBag.moc"
