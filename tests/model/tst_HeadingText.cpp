#include "common/TestRegistry.h"

#include "model/HeadingText.h"

#include <QTest>
#include <QTextDocument>

using namespace MDecisionDataUtil;

class TestHeadingText : public QObject {
    Q_OBJECT

private slots:
    // Tagged text through the editor and back: a tag the reader did not apply would come back
    // escaped as text.
    void taggedTextThroughTheEditor_data()
    {
        QTest::addColumn<QString>("tagged");
        QTest::addColumn<QString>("saved");
        QTest::newRow("empty") << "" << "";
        QTest::newRow("nested") << "<B>bold <I>both</I></B> <U>under</U>" << "<B>bold <I>both</I></B> <U>under</U>";
        QTest::newRow("escaped less-than") << "a \\< b > c" << "a \\< b > c";
        QTest::newRow("paragraphs and tabs") << "one\r\n\ttwo\r\n\r\nfour" << "one\r\n\ttwo\r\n\r\nfour";
        QTest::newRow("bullets") << "Pick:\r\n\u2022\tlight\r\n\u2022\t<B>fast</B>\r\nthen"
                                 << "Pick:\r\n\u2022\tlight\r\n\u2022\t<B>fast</B>\r\nthen";
        QTest::newRow("lower case, crossed and open tags") << "a<b>B<i>C</B>d</I>\ne<U>f"
                                                           << "a<B>B<I>C</I></B><I>d</I>\r\ne<U>f</U>";
        QTest::newRow("other tags are text") << "<P>x<BR>" << "\\<P>x\\<BR>";
    }
    void taggedTextThroughTheEditor()
    {
        QFETCH(QString, tagged);
        QFETCH(QString, saved);
        QTextDocument document;
        LoadHeading(document, tagged);
        QCOMPARE(SaveHeading(document), saved);
    }
};

KV_REGISTER_TEST(TestHeadingText)
#include "tst_HeadingText.moc"
