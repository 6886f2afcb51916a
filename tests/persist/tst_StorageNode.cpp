#include "PersistTestFiles.h"
#include "common/Scaling.h"
#include "common/TestRegistry.h"
#include "persist/StorageDocument.h"

#include <QTest>

using namespace PersistTestFiles;

namespace {

QStringList childrenOf(const StorageDocument& document, const QString& path)
{
    StorageNode node = document.rootNode();
    QStringList names;
    if (!node.open(path) || !node.children(names))
        return {QStringLiteral("<failed>")};
    return names;
}

bool existsIn(const StorageDocument& document, const QString& path)
{
    bool found = false;
    return document.rootNode().exists(path, found) && found;
}

} // namespace

class tst_StorageNode : public QObject {
    Q_OBJECT

private slots:
    void opensByPath_data()
    {
        QTest::addColumn<QString>("created");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<bool>("existed");
        QTest::addColumn<QString>("path");
        const QString devFile = QStringLiteral("\\DecisionTreeData\\Basic\\DevFile");
        QTest::newRow("same spelling") << devFile << "\\" << devFile << true << devFile;
        QTest::newRow("other letter case") << devFile << "\\" << "\\decisiontreedata\\BASIC\\devfile" << true
                                           << devFile;
        QTest::newRow("relative from the root") << devFile << "\\" << "DecisionTreeData\\Basic" << true
                                                << "\\DecisionTreeData\\Basic";
        QTest::newRow("relative from a child") << devFile << "\\DecisionTreeData" << "basic\\DevFile" << true
                                               << devFile;
        QTest::newRow("absolute from a child") << devFile << "\\DecisionTreeData\\Basic" << "\\Images" << false
                                               << "\\Images";
        QTest::newRow("trailing separator") << "\\Databases\\Prices" << "\\" << "\\Databases\\" << true
                                            << "\\Databases";
        QTest::newRow("doubled separators") << "\\Databases\\Prices" << "\\" << "\\\\Databases\\\\Prices" << true
                                            << "\\Databases\\Prices";
        QTest::newRow("new child keeps the parent's spelling")
            << "\\Databases\\Prices" << "\\" << "\\DATABASES\\Fruit" << false << "\\Databases\\Fruit";
        QTest::newRow("empty path stays") << "\\Databases" << "\\Databases" << "" << true << "\\Databases";
        QTest::newRow("non-ASCII case is a different name")
            << "\\Bilder\\\u00c4pfel" << "\\" << "\\bilder\\\u00e4pfel" << false << "\\Bilder\\\u00e4pfel";
    }

    void opensByPath()
    {
        QFETCH(QString, created);
        QFETCH(QString, start);
        QFETCH(QString, opened);
        QFETCH(bool, existed);
        QFETCH(QString, path);
        StorageDocument document;
        QVERIFY(document.create());
        StorageNode node = nodeAt(document, created);
        QVERIFY(node.open(start));
        bool found = !existed;
        QVERIFY(node.open(opened, &found));
        QCOMPARE(found, existed);
        QCOMPARE(node.path(), path);
        // Opening creates the node, so a second open finds it.
        QVERIFY(node.open(path, &found));
        QVERIFY(found);
    }

    void openingCreatesTheAncestors()
    {
        StorageDocument document;
        QVERIFY(document.create());
        StorageNode node = nodeAt(document, QStringLiteral("\\A\\B\\C"));
        QCOMPARE(node.name(), QStringLiteral("C"));
        QVERIFY(existsIn(document, QStringLiteral("\\A")));
        QVERIFY(existsIn(document, QStringLiteral("\\a\\b")));
        QCOMPARE(childrenOf(document, QStringLiteral("\\A")), QStringList{QStringLiteral("B")});
        node.reset();
        QVERIFY(node.isRoot());
        QCOMPARE(node.path(), QStringLiteral("\\"));
    }

    void removeTakesTheWholeSubtreeOnly()
    {
        StorageDocument document;
        QVERIFY(document.create());
        StorageNode node = document.rootNode();
        const QStringList all{"\\A\\B\\C", "\\A\\D", "\\AB", "\\A B", "\\A]", "\\A_", "\\A[x", "\\B\\A"};
        for (const QString& path : all)
            QVERIFY(node.open(path));
        QVERIFY(node.open(QStringLiteral("\\A\\D")));
        QVERIFY(node.writeText(QStringLiteral("gone soon")));
        QVERIFY(node.remove(QStringLiteral("\\a")));

        for (const QString path : {"\\A", "\\A\\B", "\\A\\B\\C", "\\A\\D"})
            QVERIFY2(!existsIn(document, path), qPrintable(path));
        for (const QString path : {"\\AB", "\\A B", "\\A]", "\\A_", "\\A[x", "\\B\\A"})
            QVERIFY2(existsIn(document, path), qPrintable(path));

        // The handle still points at the deleted node; it reads empty and opens anew.
        QString text;
        QVERIFY(node.readText(text));
        QVERIFY(text.isEmpty());
        bool existed = true;
        QVERIFY(node.open(QString(), &existed));
        QVERIFY(!existed);
        QVERIFY(existsIn(document, QStringLiteral("\\A\\D")));
    }

    void removingTheRootEmptiesTheDocument()
    {
        StorageDocument document;
        QVERIFY(document.create());
        StorageNode node = nodeAt(document, QStringLiteral("\\X\\Y"));
        node.reset();
        QVERIFY(node.writeText(QStringLiteral("root value")));
        QVERIFY(node.remove(QStringLiteral("\\")));
        QVERIFY(childrenOf(document, QStringLiteral("\\")).isEmpty());
        QString text = QStringLiteral("?");
        QVERIFY(node.readText(text));
        QVERIFY(text.isEmpty());
        QVERIFY(existsIn(document, QStringLiteral("\\")));
    }

    void childrenAreDirectAndOrdered()
    {
        StorageDocument document;
        QVERIFY(document.create());
        StorageNode node = document.rootNode();
        for (const QString path : {"\\Databases\\zeta", "\\Databases\\Alpha", "\\Databases\\beta\\deep",
                                    "\\Databases\\External\\Sales", "\\DatabasesOld\\x", "\\Databases\\\u00e9t\u00e9"})
            QVERIFY(node.open(path));
        QCOMPARE(childrenOf(document, QStringLiteral("\\databases")),
                 (QStringList{"Alpha", "beta", "External", "zeta", "\u00e9t\u00e9"}));
        QCOMPARE(childrenOf(document, QStringLiteral("\\")), (QStringList{"Databases", "DatabasesOld"}));
        QCOMPARE(childrenOf(document, QStringLiteral("\\Databases\\\u00e9t\u00e9")), QStringList());
        QCOMPARE(childrenOf(document, QStringLiteral("\\Databases\\External")), QStringList{"Sales"});
    }

    void valueKeepsTextAndBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("binary with zeros") << QByteArray::fromHex("0000ff10fe00");
        QTest::newRow("UTF-8 text") << QStringLiteral("\u00c4 \u20ac \U0001F600\r\n").toUtf8();
        QTest::newRow("large") << QByteArray(3 * 1024 * 1024, 'L');
    }

    void valueKeepsTextAndBytes()
    {
        QFETCH(QByteArray, bytes);
        StorageDocument document;
        QVERIFY(document.create());
        StorageNode node = nodeAt(document, QStringLiteral("\\Value"));
        QVERIFY(node.writeBytes(QByteArray("old content that must go")));
        QVERIFY(node.writeBytes(bytes));
        StorageNode again = nodeAt(document, QStringLiteral("\\VALUE"));
        QByteArray read;
        QVERIFY(again.readBytes(read));
        QCOMPARE(read, bytes);
        QString text;
        QVERIFY(again.readText(text));
        QCOMPARE(text, QString::fromUtf8(bytes));
    }

    // Listing every node's children must not scan the whole tree: four times the tree, about four
    // times the time.
    void childrenStayFastInALargeTree()
    {
        // tops x 100 x 10 nodes, and the paths of every node that has children.
        const auto build = [](StorageDocument& document, int tops, QStringList& parents) {
            QVERIFY(document.create());
            StorageNode node = document.rootNode();
            parents = QStringList{QStringLiteral("\\")};
            for (int a = 0; a < tops; ++a) {
                parents << QStringLiteral("\\T%1").arg(a);
                for (int b = 0; b < 100; ++b) {
                    const QString parent = QStringLiteral("\\T%1\\M%2").arg(a).arg(b);
                    parents << parent;
                    for (int c = 0; c < 10; ++c)
                        QVERIFY(node.open(parent + QStringLiteral("\\L%1").arg(c)));
                }
            }
        };
        constexpr int Tops = 15;
        StorageDocument small;
        StorageDocument large;
        QStringList smallParents;
        QStringList largeParents;
        build(small, Tops, smallParents);
        build(large, 4 * Tops, largeParents);
        qsizetype listed = 0;
        const double ratio = GrowthRatio(
            [&](int tops) {
                StorageNode node = (tops == Tops ? small : large).rootNode();
                listed = 0;
                for (const QString& parent : tops == Tops ? smallParents : largeParents) {
                    QStringList names;
                    if (node.open(parent) && node.children(names))
                        listed += names.size();
                }
            },
            Tops, 4);
        QCOMPARE(listed, qsizetype(60 + 60 * 100 + 60 * 100 * 10));
        // Linear listing gives about 4, one that grows with the square 16.
        QVERIFY2(ratio < 7, qPrintable(QString::number(ratio)));
    }
};

KV_REGISTER_TEST(tst_StorageNode)
#include "tst_StorageNode.moc"
