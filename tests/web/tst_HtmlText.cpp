#include "common/TestRegistry.h"

#include "web/HtmlText.h"

#include <QTest>

// Text from trees and users in each HTML context of a page.
class TestHtmlText : public QObject {
    Q_OBJECT

private slots:
    void escapesText_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("attribute");
        QTest::newRow("script") << "<script>alert(1)</script>" << "&lt;script&gt;alert(1)&lt;/script&gt;"
                                << "&lt;script&gt;alert(1)&lt;/script&gt;";
        QTest::newRow("quotes and ampersand") << "a \"b\" & 'c'" << "a \"b\" &amp; 'c'" << "a &quot;b&quot; &amp; &#39;c&#39;";
        QTest::newRow("entity stays text") << "&lt;" << "&amp;lt;" << "&amp;lt;";
        QTest::newRow("controls as references") << QString("a\x01" "b\rc\x7f") << "a&#1;b&#13;c&#127;" << "a&#1;b&#13;c&#127;";
        QTest::newRow("tab and line feed kept") << "a\tb\nc" << "a\tb\nc" << "a\tb\nc";
        QTest::newRow("nul dropped") << QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b")) << "ab" << "ab";
        QTest::newRow("lone surrogate dropped") << QString(QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y")) << "xy" << "xy";
        QTest::newRow("pair kept") << QString::fromUtf8("\xF0\x9F\x98\x80") << QString::fromUtf8("\xF0\x9F\x98\x80")
                                   << QString::fromUtf8("\xF0\x9F\x98\x80");
    }
    void escapesText()
    {
        QFETCH(QString, raw);
        QFETCH(QString, text);
        QFETCH(QString, attribute);
        QCOMPARE(HtmlText::text(raw), text);
        QCOMPARE(HtmlText::attribute(raw), attribute);
    }

    void keepsOnlyTheHeaderTags_data()
    {
        QTest::addColumn<QString>("tagged");
        QTest::addColumn<QString>("html");
        QTest::newRow("kept, any case") << "<B>bold</B> and <i>it</I>" << "<b>bold</b> and <i>it</i>";
        QTest::newRow("script") << "<script>alert(1)</script>" << "&lt;script&gt;alert(1)&lt;/script&gt;";
        QTest::newRow("kept tag with attribute") << "<b onclick=\"x()\">b</b>" << "&lt;b onclick=\"x()\"&gt;b</b>";
        QTest::newRow("picture with handler") << "<img src=x onerror=alert(1)>" << "&lt;img src=x onerror=alert(1)&gt;";
        QTest::newRow("escaped sign") << "1 \\<b> 2" << "1 &lt;b&gt; 2";
        QTest::newRow("line breaks") << "a\r\nb\nc<BR>d<br/>e" << "a<br>b<br>c<br>d<br>e";
        QTest::newRow("ampersand") << "R&D <u>x</u>" << "R&amp;D <u>x</u>";
        QTest::newRow("unclosed sign") << "a < b <b" << "a &lt; b &lt;b";
    }
    void keepsOnlyTheHeaderTags()
    {
        QFETCH(QString, tagged);
        QFETCH(QString, html);
        QCOMPARE(HtmlText::header(tagged), html);
    }

    void followsOnlyWebAddresses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("followed");
        QTest::newRow("http") << "http://example.com/a?b=c" << true;
        QTest::newRow("https, spaces around") << "  https://example.com  " << true;
        QTest::newRow("script") << "javascript:alert(1)" << false;
        QTest::newRow("data") << "data:text/html,<script>" << false;
        QTest::newRow("no scheme") << "//example.com" << false;
        QTest::newRow("ftp") << "ftp://example.com" << false;
        QTest::newRow("no host") << "http:///etc/passwd" << false;
        QTest::newRow("empty") << "" << false;
    }
    void followsOnlyWebAddresses()
    {
        QFETCH(QString, address);
        QFETCH(bool, followed);
        QCOMPARE(HtmlText::isWebAddress(address), followed);
    }
};

KV_REGISTER_TEST(TestHtmlText)
#include "tst_HtmlText.moc"
