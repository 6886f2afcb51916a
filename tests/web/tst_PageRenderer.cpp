#include "common/TestRegistry.h"

#include "tests/runtime/RuntimeFixture.h"
#include "web/PageRenderer.h"
#include "web/WebTree.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using RuntimeFixture::record;

namespace {
// The page of a one-control tree (a done page after it).
QString pageOf(const QString& type, const QStringList& tail, const QString& templateHtml = QString(),
               const QString& header = QString())
{
    WebTree tree;
    tree.name = QStringLiteral("t");
    tree.title = QStringLiteral("T & <t>");
    tree.templateHtml = templateHtml;
    tree.compiled = RuntimeFixture::tree({record(1, "One", type, tail, {}, header), record(2, "End", "Done", {"$End"})},
                                         QStringLiteral("Cars"), RuntimeFixture::cars());
    RuntimeEngine engine;
    if (!engine.load(tree.compiled) || !engine.start())
        return QStringLiteral("the tree does not run");
    return PageRenderer::runPage(tree, engine, PageRenderer::RunPage{QByteArray("tok"), {}, {}, {}, {}, {}});
}
} // namespace

// Each interface as the form element a user expects, and the author's template around the page.
class TestPageRenderer : public QObject {
    Q_OBJECT

private slots:
    void showsEachInterface_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("tail");
        QTest::addColumn<QStringList>("expected");
        const QStringList abc{"$Pick", "&B", "^A", "^B", "^C"};
        QTest::newRow("Radio") << "Radio" << abc
                               << QStringList{"<fieldset><legend>Pick</legend>", "<label><input type=\"radio\" name=\"c1\" autofocus value=\"A\"> A</label>",
                                              "value=\"B\" checked> B</label>"};
        QTest::newRow("Check") << "Check" << QStringList{"$Agree", "^True", "^False"}
                               << QStringList{"<input type=\"checkbox\" name=\"c1\" id=\"c1\" autofocus value=\"True\"> <label for=\"c1\">Agree</label>"};
        QTest::newRow("List") << "List" << abc
                              << QStringList{"<label for=\"c1\">Pick</label>", "<select name=\"c1\" id=\"c1\" autofocus size=\"3\">",
                                             "<option value=\"B\" selected>B</option>"};
        QTest::newRow("MultiList") << "MultiList" << QStringList{"$Pick", "&A|C", "^A", "^B", "^C"}
                                   << QStringList{"<fieldset><legend>Pick</legend>", "type=\"checkbox\" name=\"c1\" autofocus value=\"A\" checked>",
                                                  "type=\"checkbox\" name=\"c1\" value=\"B\"> B"};
        QTest::newRow("dList") << "dList" << QStringList{"$Cars", "^Cars"}
                               << QStringList{"size=\"8\"><option value=\"Mini\">Mini</option><option value=\"Van\">Van</option>"};
        QTest::newRow("Combo") << "Combo" << abc << QStringList{"<select name=\"c1\" id=\"c1\" autofocus size=\"1\">"};
        QTest::newRow("dCombo") << "dCombo" << QStringList{"$Cars", "^Cars"}
                                << QStringList{"size=\"1\"><option value=\"Mini\">Mini</option>"};
        QTest::newRow("NumBox") << "NumBox" << QStringList{"$Age", "&30", "^0-120"}
                                << QStringList{"<input type=\"number\" name=\"c1\" id=\"c1\" autofocus min=\"0\" max=\"120\" step=\"1\" value=\"30\">"};
        QTest::newRow("RealNumBox") << "RealNumBox" << QStringList{"$Weight", "^0.5-4.5"}
                                    << QStringList{"type=\"number\" name=\"c1\" id=\"c1\" autofocus min=\"0.5\" max=\"4.5\" step=\"any\""};
        QTest::newRow("Slide") << "Slide" << abc
                               << QStringList{"type=\"range\" name=\"c1\" id=\"c1\" autofocus min=\"0\" max=\"2\" step=\"1\" value=\"1\" list=\"c1-ticks\">",
                                              "<output for=\"c1\">B</output>", "<ol start=\"0\" class=\"ticks\"><li>A</li><li>B</li><li>C</li></ol>"};
        QTest::newRow("NumSlide") << "NumSlide" << QStringList{"$Level", "&3", "^1-5"}
                                  << QStringList{"type=\"range\" name=\"c1\" id=\"c1\" autofocus min=\"1\" max=\"5\" step=\"1\" value=\"3\">",
                                                 "<output for=\"c1\">3</output>"};
        QTest::newRow("StringBox") << "StringBox" << QStringList{"$Name", "&A \"b\""}
                                   << QStringList{"<input type=\"text\" name=\"c1\" id=\"c1\" autofocus value=\"A &quot;b&quot;\">"};
        QTest::newRow("TextArea") << "TextArea" << QStringList{"$Notes", "&<x>"}
                                  << QStringList{"<textarea name=\"c1\" id=\"c1\" autofocus rows=\"5\">\n&lt;x&gt;</textarea>"};
        QTest::newRow("Command") << "Command" << QStringList{"$Go on", "^True"}
                                 << QStringList{"<button type=\"submit\" name=\"c1\" id=\"c1\" autofocus value=\"True\">Go on</button>"};
        QTest::newRow("Info") << "Info" << QStringList{"$Read <this>"} << QStringList{"<p class=\"caption\">Read &lt;this&gt;</p>"};
        QTest::newRow("Done") << "Done" << QStringList{"$Bye"}
                              << QStringList{"value=\"finish\" class=\"finish\">Finish</button>"};
    }
    void showsEachInterface()
    {
        QFETCH(QString, type);
        QFETCH(QStringList, tail);
        QFETCH(QStringList, expected);
        const QString page = pageOf(type, tail);
        for (const QString& part : expected)
            QVERIFY2(page.contains(part), qPrintable(QStringLiteral("%1 lacks %2 in:\n%3").arg(type, part, page)));
        QCOMPARE(page.contains("value=\"next\""), type != QLatin1String("Done"));
        QVERIFY(page.contains("data-control=\"One\""));
    }

    void wrapsThePageInTheTemplate()
    {
        const QString templateHtml =
            "<html lang=\"{{KESTROVA_LANG}}\"><title>{{KESTROVA_TITLE}}</title><main>{{KESTROVA_PAGE}}</main> {{KESTROVA_PAGE}}</html>";
        const QString page = pageOf("Info", {"$I"}, templateHtml, "Say {{KESTROVA_TITLE}}");
        QVERIFY(page.startsWith("<html lang=\"en\"><title>T &amp; &lt;t&gt;</title><main>"));
        // The page's own text is never taken for a placeholder; the page goes in once.
        QVERIFY(page.contains("<div class=\"header\">Say {{KESTROVA_TITLE}}</div>"));
        QVERIFY(page.endsWith("</main> {{KESTROVA_PAGE}}</html>"));
        QVERIFY(!page.contains("<!DOCTYPE"));
    }

    void readsTheWebSettingsOfATreeFile()
    {
        QTemporaryDir folder;
        const auto write = [&folder](const QString& name, const QByteArray& text) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text);
        };
        const QByteArray kvw = "<?xml version='1.0' encoding='UTF-8'?>\n<TreeFile>\n<EarlyFinish>Off</EarlyFinish>\n"
                               "<WizardTitle>Cars &amp; more</WizardTitle>\n<Template>looks\\page.html</Template>\n<Decisions>\n"
                               "\t<Decision>\n\t\t<Number>1</Number>\n\t\t<Name>Start</Name>\n\t\t<Type>Info</Type>\n"
                               "\t\t<LeftImg></LeftImg>\n\t\t<Help>https://example.com/help</Help>\n\t\t<ControlCaption>S</ControlCaption>\n"
                               "\t\t<PageHeader>Hi</PageHeader>\n\t\t<DisplayedControls>1</DisplayedControls>\n\t</Decision>\n"
                               "</Decisions>\n</TreeFile>\n";
        write("cars.kvw", kvw);
        QVERIFY(QDir(folder.path()).mkdir("looks"));
        write("looks/page.html", "<main>{{KESTROVA_PAGE}}</main>");
        WebTree tree;
        const StorageResult read = WebTree::readWebFile(folder.filePath("cars.kvw"), tree);
        QVERIFY2(read, qPrintable(read.message));
        QCOMPARE(tree.name, QString("cars"));
        QCOMPARE(tree.title, QString("Cars & more"));
        QCOMPARE(tree.templateHtml, QString("<main>{{KESTROVA_PAGE}}</main>"));
        QCOMPARE(tree.help.value("start"), QString("https://example.com/help"));
        QCOMPARE(tree.version.size(), 16);

        write("looks/page.html", "<main>no place for the page</main>");
        const StorageResult refused = WebTree::readWebFile(folder.filePath("cars.kvw"), tree);
        QVERIFY(!refused);
        QVERIFY(refused.message.contains("{{KESTROVA_PAGE}}"));
        const QString before = tree.version;
        write("cars.kvw", kvw + "\n");
        QFile::remove(folder.filePath("looks/page.html"));
        QVERIFY(!WebTree::readWebFile(folder.filePath("cars.kvw"), tree));
        QVERIFY(tree.version != before);
    }
};

KV_REGISTER_TEST(TestPageRenderer)
#include "tst_PageRenderer.moc"
