#include "common/TestRegistry.h"

#include "base/StartUpTables.h"
#include "lang/BlockLine.h"

#include <QTest>

class TestBlockLine : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { StartUpTables::Fill(); }
    void keywords_data();
    void keywords();
};

void TestBlockLine::keywords_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<bool>("isGo");
    QTest::newRow("keyword and argument") << "!GO Next" << "GO" << "Next" << true;
    QTest::newRow("any case, blanks kept in the argument") << "!go  Next " << "go" << " Next " << true;
    QTest::newRow("keyword alone") << "!ENDIF" << "ENDIF" << "" << false;
    QTest::newRow("blank right after the marker") << "! GO Next" << "" << "GO Next" << false;
    QTest::newRow("tab before the keyword") << "!\tGO Next" << "GO" << "Next" << true;
    QTest::newRow("glued to its argument") << "!GO(Next)" << "GO(Next)" << "" << false;
    QTest::newRow("no action") << "^GO Next" << "" << "" << false;
}

void TestBlockLine::keywords()
{
    QFETCH(QString, line);
    QFETCH(QString, keyword);
    QFETCH(QString, argument);
    QFETCH(bool, isGo);
    QCOMPARE(BlockLine::ActionKeyword(line), keyword);
    QCOMPARE(BlockLine::ActionArgument(line), argument);
    QCOMPARE(BlockLine::IsKeyword(line, BlockLine::Go), isGo);
    QCOMPARE(BlockLine::IsKeywordAsWritten(line, BlockLine::Go), isGo && keyword == QLatin1String("GO"));
}

KV_REGISTER_TEST(TestBlockLine)
#include "tst_BlockLine.moc"
