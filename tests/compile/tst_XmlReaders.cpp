#include "CompileFixture.h"
#include "XmlReaders.h"
#include "common/TestRegistry.h"

#include "compile/CcCompile.h"
#include "compile/KvwTreeWriter.h"
#include "model/CmDecisionItem.h"
#include "model/MDecisionDataUtil.h"

#include <QDir>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace MDecisionDataUtil;

namespace {

const QString Caption = u"It's \"quoted\" <b> & ]]> é 中文\ttab \\ back"_s;
const QString Header = u"Line1\r\nLine2 ' \" & ]]> ü"_s;
const QString DefaultText = u"a'b\"c<d>e&f\tg"_s;
const QString Option = u"Yes & <no> ' \" ]]> ü\tx"_s;
const QString Selector = u"Rock'n \"Roll\" <&> ]]> ü\t!"_s;
const QString Column = u"Price 'USD' <&>"_s;
const QString Item = u"It's <big> & \"new\" ]]> ñ"_s;
const QString Value = u"12 & <13>\tüber ]]>"_s;
const QString Title = u"Café's \"Wizard\" <1> & ]]>\t2"_s;
const QString Template = u"tmpl/'a'&<b>.kvwt"_s;
const QString ImagePath = u"img's & <dir>"_s;
const QString Picture = u"pic'&<>"_s;
const QString Help = u"help?a=1&b='2'"_s;

void addAwkwardProject(CompileFixture& tree)
{
    CmDecisionItem& start = tree.add(1, u"Cafe_1"_s, Radio, {u"^"_s + Option, u"!CALL Hi ]]> & <x>"_s, u"!GO Text"_s});
    start.setCaption(Caption);
    start.setHeading(Header);
    start.setPicture(Picture);
    start.setKvwHelpID(Help);
    CmDecisionItem& text = tree.add(2, u"Text"_s, StringBox, {u"!GO FinishLink"_s});
    text.setDefaultValue(DefaultText);
    tree.addPicture(Picture);
    tree.addSelector(Selector, {{u"Model"_s, Column}, {Item, Value}});
    QVERIFY(tree.document.Storage().properties().setValue(u"Title"_s, Title).ok());
}

QString expectedBreaks(QString text)
{
    text.replace(u"\r"_s, u"<BR>"_s);
    text.replace(u"\n"_s, u"<BR>"_s);
    return text;
}

} // namespace

class XmlReadersTest : public QObject {
    Q_OBJECT

private:
    void checkReaders(const QString& path)
    {
        bool skipped = false;
        const QString lint = XmlReaders::XmlLint(path, skipped);
        if (skipped)
            QSKIP(XmlReaders::MissingXmlLint);
        QVERIFY2(lint.isEmpty(), qPrintable(lint));
        QString message;
        const QJsonObject read = XmlReaders::PythonRead(path, skipped, message);
        if (skipped)
            QSKIP(XmlReaders::MissingPython);
        QVERIFY2(message.isEmpty(), qPrintable(message));
        QVERIFY(read.contains(u"Decisions"_s));
    }

private slots:
    void everyWrittenFileIsWellFormed_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("golden small tree") << 0;
        QTest::newRow("empty project") << 1;
        QTest::newRow("project with errors") << 2;
        QTest::newRow("awkward names and texts") << 3;
    }
    void everyWrittenFileIsWellFormed()
    {
        QFETCH(int, kind);
        if (kind == 0) {
            checkReaders(QDir(QStringLiteral(KV_TEST_DATA_DIR)).filePath(u"small.kvw"_s));
            return;
        }
        QTemporaryDir folder;
        CompileFixture tree;
        if (kind == 2)
            tree.add(1, u"Broken"_s, Radio, {u"^<b>"_s, u"!GO Nowhere"_s, u"!IF [[Broken]] >"_s, u"!SET x"_s});
        if (kind == 3)
            addAwkwardProject(tree);
        CcCompile compiler(tree.decisions, tree.document);
        compiler.setSaveLogFile(false);
        const QString path = folder.filePath(u"out'&.kvw"_s);
        QVERIFY(compiler.CompileKvwTo(path) != CcCompile::Outcome::Failed);
        checkReaders(path);
    }

    void awkwardTextsReadBackTheSame()
    {
        QTemporaryDir folder;
        CompileFixture tree;
        addAwkwardProject(tree);
        CcCompile compiler(tree.decisions, tree.document);
        compiler.setSaveLogFile(false);
        compiler.setWebSettings({QString(), false, false, Template, ImagePath});
        const QString path = folder.filePath(u"out.kvw"_s);
        QVERIFY(compiler.CompileKvwTo(path) != CcCompile::Outcome::Failed);
        bool skipped = false;
        QString message;
        const QJsonObject read = XmlReaders::PythonRead(path, skipped, message);
        if (skipped)
            QSKIP(XmlReaders::MissingPython);
        QVERIFY2(message.isEmpty(), qPrintable(message));

        QCOMPARE(read[u"WizardTitle"_s].toString(), Title);
        QCOMPARE(read[u"Template"_s].toString(), Template);
        const QJsonObject start = read[u"Decisions"_s].toArray().at(0).toObject();
        QCOMPARE(start[u"Name"_s].toString(), u"Cafe_1"_s);
        QCOMPARE(start[u"Help"_s].toString(), Help);
        QCOMPARE(start[u"LeftImg"_s].toString(), KvwTreeWriter::PictureReference(Picture, ImagePath));
        QCOMPARE(start[u"ControlCaption"_s].toString(), Caption);
        QCOMPARE(start[u"PageHeader"_s].toString(), expectedBreaks(Header));
        QCOMPARE(start[u"Default"_s].toString(), Option);
        QCOMPARE(start[u"Options"_s].toArray().at(0).toString(), Option);
        QCOMPARE(start[u"Actions"_s].toArray().at(0).toString(), u"!CALL Hi ]]> & <x>;"_s);
        const QJsonObject text = read[u"Decisions"_s].toArray().at(1).toObject();
        QCOMPARE(text[u"Default"_s].toString(), DefaultText);
        const QJsonObject list = read[u"CriteriaLists"_s].toArray().at(0).toObject();
        QCOMPARE(list[u"Name"_s].toString(), Selector);
        const QJsonObject item = list[u"Items"_s].toArray().at(0).toObject();
        QCOMPARE(item[u"Name"_s].toString(), Item);
        const QJsonArray categories = item[u"Categories"_s].toArray();
        QCOMPARE(categories.at(1).toArray().at(0).toString(), Column);
        QCOMPARE(categories.at(1).toArray().at(1).toString(), Value);
        QVERIFY(QFile::exists(folder.filePath(KvwTreeWriter::PictureFileName(Picture) + u".jpg"_s)));
    }
};

KV_REGISTER_TEST(XmlReadersTest)
#include "tst_XmlReaders.moc"
