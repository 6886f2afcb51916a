#include "CompileFixture.h"
#include "common/TestRegistry.h"

#include "compile/KvwNotation.h"
#include "compile/KvwTreeWriter.h"
#include "model/CmDecisionItem.h"
#include "model/MDecisionDataUtil.h"

#include <QTest>

// Two pictures whose names clean to one file name go to two files: neither is lost, and each
// decision's reference names its own.
class TestPictureFileNames : public QObject {
    Q_OBJECT

private slots:
    void namesAreUniqueAfterCleaning_data()
    {
        QTest::addColumn<QStringList>("pictures");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("no clash") << QStringList{"Logo", "../x"} << QStringList{"Logo", "___x"};
        QTest::newRow("cleaned onto a plain name") << QStringList{"a/b", "a_b"} << QStringList{"a_b", "a_b~2"};
        QTest::newRow("three ways") << QStringList{"a:b", "a/b", "a_b"} << QStringList{"a_b", "a_b~2", "a_b~3"};
        QTest::newRow("letter case") << QStringList{"A_b", "a/b"} << QStringList{"A_b", "a_b~2"};
        QTest::newRow("a name like a made one") << QStringList{"a/b", "a_b", "a_b~2"} << QStringList{"a_b", "a_b~2", "a_b~2~2"};
        QTest::newRow("one picture twice") << QStringList{"a/b", "A/B"} << QStringList{"a_b", "a_b"};
    }
    void namesAreUniqueAfterCleaning()
    {
        QFETCH(QStringList, pictures);
        QFETCH(QStringList, files);
        const QHash<QString, QString> names = KvwTreeWriter::PictureFileNames(pictures);
        QStringList got;
        for (const QString& picture : pictures)
            got.append(names.value(picture.toUpper()));
        QCOMPARE(got, files);
    }

    void eachDecisionRefersToItsOwnFile()
    {
        CompileFixture tree;
        tree.add(1, QStringLiteral("First"), MDecisionDataUtil::Info).setPicture(QStringLiteral("a/b"));
        tree.add(2, QStringLiteral("Second"), MDecisionDataUtil::Info).setPicture(QStringLiteral("a_b"));
        tree.number();
        KvwNotation notation(tree.decisions, tree.numbers);
        const KvwTreeWriter writer(tree.numbers, notation);
        QVERIFY(writer.DecisionBlock(*tree.numbers.byNumber(1), QString()).contains(QStringLiteral("<LeftImg>a_b.jpg</LeftImg>")));
        QVERIFY(writer.DecisionBlock(*tree.numbers.byNumber(2), QString()).contains(QStringLiteral("<LeftImg>a_b~2.jpg</LeftImg>")));
        QCOMPARE(writer.PictureFile(QStringLiteral("A_B")), QStringLiteral("a_b~2"));
    }
};

KV_REGISTER_TEST(TestPictureFileNames)
#include "tst_PictureFileNames.moc"
