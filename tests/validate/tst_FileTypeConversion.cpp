#include "common/ScriptedPrompt.h"
#include "common/TestRegistry.h"

#include "ValidationTree.h"
#include "base/ResourceStrings.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "validate/FileTypeConversion.h"

#include <QSignalSpy>
#include <QTest>

using namespace MDecisionDataUtil;
using ValidationTree::Control;
using Outcome = FileTypeConversion::Outcome;

Q_DECLARE_METATYPE(Outcome)

namespace {

struct Project {
    CmDecisionManager decisions;
    CmDocument document;
    ValidationTree::Catalog catalog;
    FileTypeConversion conversion{decisions, document};

    Project() { conversion.setSelectorCatalog(&catalog); }
    CmDecisionItem& start() { return *decisions.Item(QStringLiteral("Start")); }
};

QString finding(int lacksId, const QString& feature, const QString& source, int changeId = 0,
                const QString& changed = QString())
{
    QString text = LoadResString(lacksId) + feature + QStringLiteral("\r\n\tSource: Start.") + source + QStringLiteral("\r\n");
    if (changeId)
        text += QLatin1Char('\t') + LoadResString(changeId) + changed + QStringLiteral("\r\n");
    return text;
}

const int web = 13355;
const int desktop = 13356;
const int interfaceChanged = 13357;
const int deleted = 13358;
const QString actions = QStringLiteral("Options and Actions");

} // namespace

class TestFileTypeConversion : public QObject {
    Q_OBJECT

private slots:
    void change_data();
    void change();
    void convertButton_data();
    void convertButton();
    void description_data();
    void description();
    void statusAndLogOnlyWhenLogging();
};

void TestFileTypeConversion::change_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<bool>("convert");
    QTest::addColumn<qint16>("type");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<qint16>("typeAfter");
    QTest::addColumn<QStringList>("linesAfter");
    QTest::addColumn<QString>("log"); // after the heading line

    const QStringList slide{"^Small", "!GO Next", "^Large", "!GO Next"};
    QTest::newRow("slide becomes radio with its options")
        << 1 << true << qint16(Slide) << slide << qint16(Radio) << slide
        << finding(web, "Slide", "Input Interface=Slide", interfaceChanged, "Radio");
    QTest::newRow("slide reported only") << 1 << false << qint16(Slide) << slide << qint16(Slide) << slide
                                         << finding(web, "Slide", "Input Interface=Slide");
    QTest::newRow("numslide becomes realnumbox") << 1 << true << qint16(NumSlide) << QStringList{"^1-10", "!GO Next"}
                                                 << qint16(RealNumBox) << QStringList{"^1-10", "!GO Next"}
                                                 << finding(web, "NumSlide", "Input Interface=NumSlide",
                                                            interfaceChanged, "RealNumBox");
    QTest::newRow("textarea becomes stringbox")
        << 1 << true << qint16(TextArea) << QStringList{"!GO Next"} << qint16(StringBox) << QStringList{"!GO Next"}
        << finding(web, "TextArea", "Input Interface=TextArea", interfaceChanged, "StringBox");
    QTest::newRow("call lines go, similar words stay")
        << 1 << true << qint16(Radio) << QStringList{"!call Hello", "^A", "!CALL:x", "!CALLBACK x", "!GO Next"}
        << qint16(Radio) << QStringList{"^A", "!CALLBACK x", "!GO Next"}
        << finding(web, "!call", actions, deleted) + finding(web, "!CALL", actions, deleted);
    QTest::newRow("the web keeps links and external selectors")
        << 1 << true << qint16(Radio) << QStringList{"^A", "!JUMP http://a", "!KILL Remote:X > 1"} << qint16(Radio)
        << QStringList{"^A", "!JUMP http://a", "!KILL Remote:X > 1"} << QString();

    const QStringList desktopLines{"^A",           "!JUMP http://a", "!JUMPN http://b",       "!SUBMIT http://c",
                                   "!KILL Cars:Price > 1", "!KILL remote : X > 1", "!SORT Remote: X; Ascending",
                                   "!GO Next"};
    QTest::newRow("links and external selectors go")
        << 2 << true << qint16(Radio) << desktopLines << qint16(Radio)
        << QStringList{"^A", "!SUBMIT http://c", "!KILL Cars:Price > 1", "!GO Next"}
        << finding(desktop, "!JUMP", actions, deleted) + finding(desktop, "!JUMPN", actions, deleted)
               + finding(desktop, "!KILL remote : X > 1", actions, deleted)
               + finding(desktop, "!SORT Remote: X; Ascending", actions, deleted);
    QTest::newRow("jump kept when not converting")
        << 3 << false << qint16(Radio) << QStringList{"^A", "!JUMP http://a"} << qint16(Radio)
        << QStringList{"^A", "!JUMP http://a"} << finding(desktop, "!JUMP", actions);
    QTest::newRow("the desktop keeps slides and calls")
        << 2 << true << qint16(Slide) << QStringList{"^A", "!CALL x"} << qint16(Slide) << QStringList{"^A", "!CALL x"}
        << QString();
    QTest::newRow("both runtimes: every finding")
        << 0 << true << qint16(Slide) << QStringList{"^A", "!CALL x", "!JUMP y"} << qint16(Radio) << QStringList{"^A"}
        << finding(web, "Slide", "Input Interface=Slide", interfaceChanged, "Radio")
               + finding(web, "!CALL", actions, deleted) + finding(desktop, "!JUMP", actions, deleted);
}

void TestFileTypeConversion::change()
{
    QFETCH(int, target);
    QFETCH(bool, convert);
    QFETCH(qint16, type);
    QFETCH(QStringList, lines);
    QFETCH(qint16, typeAfter);
    QFETCH(QStringList, linesAfter);
    QFETCH(QString, log);
    Project project;
    ValidationTree::add(project.decisions, Control("Start", type, lines));
    ValidationTree::addNeighbours(project.decisions);
    QCOMPARE(project.conversion.ChangeFileType(target, convert, true), !log.isEmpty());
    const int heading = target == 0 ? 13354 : target == 1 ? 13353 : 13352;
    QCOMPARE(project.conversion.Log(), LoadResString(heading) + QStringLiteral("\r\n") + log);
    QCOMPARE(project.start().intControl(), typeAfter);
    QCOMPARE(project.start().OptsAndActs(), linesAfter);
    // Once converted, nothing is left to find.
    if (convert)
        QVERIFY(!project.conversion.ChangeFileType(target, false, false));
}

void TestFileTypeConversion::convertButton_data()
{
    QTest::addColumn<int>("fileType");
    QTest::addColumn<bool>("typeSet");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("choice");
    QTest::addColumn<bool>("autoConvert");
    QTest::addColumn<QList<PromptAnswer>>("answers");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QStringList>("linesAfter");

    const QStringList jump{"^A", "!JUMP http://a", "!GO Next"};
    const QStringList jumpGone{"^A", "!GO Next"};
    const QStringList bothSafe{"^A", "!SUBMIT http://a", "!GO Next"};
    using Answers = QList<PromptAnswer>;
    QTest::newRow("asked, yes") << 1 << true << jump << 2 << false << Answers{PromptAnswer::Yes} << Outcome::Converted
                                << jumpGone;
    QTest::newRow("asked, no: jump kept") << 1 << true << jump << 2 << true << Answers{PromptAnswer::No}
                                          << Outcome::Incompatible << jump;
    QTest::newRow("asked, cancel") << 1 << true << jump << 2 << true << Answers{PromptAnswer::Cancel}
                                   << Outcome::Cancelled << jump;
    QTest::newRow("first choice, check box on") << 0 << false << jump << 2 << true << Answers{} << Outcome::Converted
                                                << jumpGone;
    QTest::newRow("first choice, check box off") << 0 << false << jump << 2 << false << Answers{}
                                                 << Outcome::Incompatible << jump;
    QTest::newRow("both to web") << 0 << true << bothSafe << 1 << true << Answers{PromptAnswer::Yes}
                                 << Outcome::AlreadyCompatible << bothSafe;
    QTest::newRow("both to desktop, submit is no finding") << 0 << true << bothSafe << 2 << true
                                                           << Answers{PromptAnswer::Yes}
                                                           << Outcome::AlreadyCompatible << bothSafe;
}

void TestFileTypeConversion::convertButton()
{
    QFETCH(int, fileType);
    QFETCH(bool, typeSet);
    QFETCH(QStringList, lines);
    QFETCH(int, choice);
    QFETCH(bool, autoConvert);
    QFETCH(QList<PromptAnswer>, answers);
    QFETCH(Outcome, outcome);
    QFETCH(QStringList, linesAfter);
    Project project;
    project.document.setFileType(fileType);
    project.document.setFileTypeSet(typeSet);
    ValidationTree::add(project.decisions, Control("Start", Radio, lines));
    ValidationTree::addNeighbours(project.decisions);
    ScriptedPrompt prompt;
    for (const PromptAnswer answer : answers)
        prompt.QueueAnswer(answer);

    QCOMPARE(project.conversion.Convert(choice, autoConvert, &prompt), outcome);
    QCOMPARE(prompt.shownTexts(), typeSet ? QStringList{LoadResString(13350)} : QStringList());
    QCOMPARE(project.start().OptsAndActs(), linesAfter);
    const bool cancelled = outcome == Outcome::Cancelled;
    QCOMPARE(project.document.FileType(), cancelled ? fileType : choice);
    QCOMPARE(project.document.FileTypeSet(), typeSet || !cancelled);
    QCOMPARE(project.document.Dirty(), !cancelled);
    const int messages[] = {0, 13359, 13360, 13361};
    QCOMPARE(FileTypeConversion::OutcomeMessageId(outcome), messages[int(outcome)]);
}

void TestFileTypeConversion::description_data()
{
    QTest::addColumn<int>("fileType");
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("description");
    QTest::newRow("both") << 0 << "!JUMP http://a" << 13261;
    QTest::newRow("web, fits the desktop") << 1 << "!SUBMIT http://a" << 13262;
    QTest::newRow("web, lacks for the desktop") << 1 << "!JUMP http://a" << 13263;
    QTest::newRow("desktop, fits the web") << 2 << "!KILL Remote:X > 1" << 13264;
    QTest::newRow("called desktop, lacks for the web") << 3 << "!CALL x" << 13265;
}

void TestFileTypeConversion::description()
{
    QFETCH(int, fileType);
    QFETCH(QString, line);
    QFETCH(int, description);
    Project project;
    project.document.setFileType(fileType);
    const QStringList lines{"^A", line, "!GO Next"};
    ValidationTree::add(project.decisions, Control("Start", Radio, lines));
    QSignalSpy shown(&project.conversion, &FileTypeConversion::logShown);
    QCOMPARE(project.conversion.DescriptionId(), description);
    QCOMPARE(project.start().OptsAndActs(), lines);
    QCOMPARE(shown.size(), 0);
    QVERIFY(!project.document.Dirty());
}

void TestFileTypeConversion::statusAndLogOnlyWhenLogging()
{
    Project project;
    ValidationTree::add(project.decisions, Control("Start", Slide, {"^A"}));
    QSignalSpy status(&project.conversion, &FileTypeConversion::statusChanged);
    QSignalSpy shown(&project.conversion, &FileTypeConversion::logShown);
    QVERIFY(project.conversion.ChangeFileType(1, false, false));
    QCOMPARE(status.size(), 0);
    QCOMPARE(shown.size(), 0);
    QVERIFY(project.conversion.ChangeFileType(1, false, true));
    QCOMPARE(status.size(), 2);
    QCOMPARE(status.first().first().toString(), LoadResString(13351));
    QVERIFY(status.last().first().toString().isEmpty());
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().first().toString(), project.conversion.Log());
}

KV_REGISTER_TEST(TestFileTypeConversion)

#include "tst_FileTypeConversion.moc"
