#include "common/TestRegistry.h"

#include "ValidationTree.h"
#include "common/Scaling.h"
#include "common/SyntheticTree.h"
#include "base/ResourceStrings.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "validate/CcValidation.h"
#include "validate/InterfaceLimits.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace MDecisionDataUtil;
using ValidationTree::Control;

namespace {

QString E(int id, const QString& subject = QString())
{
    return QStringLiteral("E:") + LoadResString(id) + subject;
}

QString W(int id)
{
    return QStringLiteral("W:") + LoadResString(id);
}

// Read when a test runs: the string table is not there before main.
QString syntaxWarning()
{
    return W(12509);
}

QString missingGoWarning()
{
    return W(12535);
}

// Expected findings match the found ones in order; an expected text may stop early (the
// expression messages end with the parser's own text).
void compareFindings(const QStringList& found, const QStringList& expected)
{
    bool same = found.size() == expected.size();
    for (qsizetype i = 0; same && i < found.size(); ++i)
        same = found.at(i).startsWith(expected.at(i));
    if (!same)
        QFAIL(qPrintable(QStringLiteral("found:\n  %1\nexpected:\n  %2")
                             .arg(found.join(QStringLiteral("\n  ")), expected.join(QStringLiteral("\n  ")))));
}

struct Project {
    CmDecisionManager decisions;
    CmDocument document;
    ValidationTree::Catalog catalog;
    CcValidation validation{decisions, document};

    Project() { validation.setSelectorCatalog(&catalog); }
};

} // namespace

class TestCcValidation : public QObject {
    Q_OBJECT

private slots:
    void optionsAndActions_data();
    void optionsAndActions();
    void missingGoOnDisplayedControl();
    void controlChecks_data();
    void controlChecks();
    void decisionValue_data();
    void decisionValue();
    void flagsStatusAndProgress();
    void logFile();
    void failedLogWriteKeepsPreviousLog();
    void growsLinearly();
};

void TestCcValidation::optionsAndActions_data()
{
    QTest::addColumn<qint16>("type");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("fileType");
    QTest::addColumn<QStringList>("expected");

    const QStringList none;
    const QString syntax = syntaxWarning();
    const QString missingGo = missingGoWarning();
    const auto row = [&](const char* name, const QStringList& lines, const QStringList& expected, int fileType = 0,
                         qint16 type = Radio) { QTest::newRow(name) << type << lines << fileType << expected; };

    row("go known, any case", {"^A", "!GO Next", "^B", "!go next"}, none);
    row("go unknown", {"^A", "!GO Nowhere"}, {E(12504, "Nowhere")});
    row("go without target", {"^A", "!GO", "^B", "!GO Next"}, {syntax, missingGo});
    row("finish link, both runtimes", {"^A", "!GO FinishLink"}, none);
    row("finish link, web", {"^A", "!GO FinishLink"}, none, 1);
    row("finish link, desktop", {"^A", "!GO FinishLink"}, {E(12532)}, 2);
    row("blocks well formed", {"^A", "!IF [[Age]] > 1", "!GO Next", "!ELSEIF [[Age]] = 0", "!NOOP", "!ELSE", "!GO Color",
                               "!ENDIF", "!GO Next"},
        none);
    row("endif with trailing blank", {"^A", "!IF [[Age]] > 1", "!GO Next", "!ENDIF ", "!GO Next"}, {syntax});
    row("else with argument", {"^A", "!IF [[Age]] > 1", "!ELSE something", "!ENDIF", "!GO Next"}, {syntax});
    row("if unknown reference and bad syntax", {"^A", "!IF [[Agee]] > ", "!GO Next"},
        {E(12504, "Agee"), E(12533)});
    row("set radio to its option", {"^A", "!SET [[Color]]=Red", "!GO Next"}, none);
    row("set radio to another text", {"^A", "!SET [[Color]]=Blue", "!GO Next"}, {E(12511)});
    row("set numbox to a word", {"^A", "!SET [[Age]]=abc", "!GO Next"}, {E(12511)});
    row("set numbox above its maximum", {"^A", "!SET [[Age]] = 500", "!GO Next"}, {E(12526)});
    row("set numbox within its range", {"^A", "!DEFAULT Age = 50", "!GO Next"}, none);
    row("set numbox to a computed value", {"^A", "!SET [[Age]]=[[Age]] + 1", "!GO Next"}, none);
    row("set stringbox to a quoted text", {"^A", "!SET [[Name]]=\"Anne Smith\"", "!GO Next"}, none);
    row("set unquoted text with blanks", {"^A", "!SET [[Name]]=Anne Smith", "!GO Next"}, {E(12533)});
    row("set unknown control", {"^A", "!SET [[Nobody]]=1", "!GO Next"}, {E(12504, "Nobody")});
    row("set without value", {"^A", "!SET [[Age]]", "!GO Next"}, {syntax});
    row("kill known", {"^A", "!KILL Cars : Price > 3 & Speed < 2", "!GO Next"}, none);
    row("kill unknown selector", {"^A", "!KILL Bikes:Price > 3", "!GO Next"}, {E(12505, "Bikes")});
    row("kill bad expression", {"^A", "!KILL Cars:Price >", "!GO Next"}, {E(12533)});
    row("kill without colon", {"^A", "!KILL Cars", "!GO Next"}, {syntax});
    row("sort known", {"^A", "!SORT Cars: Price, Speed; Ascending, Descending", "!GO Next"}, none);
    row("sort empty key", {"^A", "!SORT Cars: Price, ; Ascending", "!GO Next"}, {E(12533)});
    row("sort unknown reference", {"^A", "!SORT Cars: <<Cars:Colour>>; Ascending", "!GO Next"},
        {E(12506, "Cars:Colour")});
    row("earlyfinish with and without argument", {"^A", "!EARLYFINISH On", "!EARLYFINISH", "!GO Next"}, {syntax});
    row("call for both runtimes", {"^A", "!CALL Hello", "!GO Next"}, {W(12529)});
    row("call for the desktop", {"^A", "!CALL Hello", "!GO Next"}, none, 2);
    row("blank call for the web", {"^A", "!CALL", "!GO Next"}, {W(12517), E(12529)}, 1);
    row("blank call for the desktop", {"^A", "!CALL", "!GO Next"}, {W(12517)}, 2);
    row("links for the desktop", {"^A", "!JUMP http://a", "!JUMPN http://b", "!SUBMIT http://c", "!GO Next"},
        {W(12530), W(12530), W(12530)}, 2);
    row("links where the web is a target", {"^A", "!JUMP http://a", "!SUBMIT http://c", "!GO Next"}, none);
    row("link without url", {"^A", "!JUMP", "!GO Next"}, {syntax});
    row("unknown keyword", {"^A", "!FLY away", "!GO Next"}, {syntax});
    row("help and other lines are not actions", {"^A", "?Some help", "note", "!GO Next"}, none);
    row("no go at all", {"^A", "^B"}, {W(12531)});
    row("go among the pre-actions only", {"!GO Next", "^A", "^B"}, none);
    row("one option without go", {"^A", "!GO Next", "^B", "?help"}, {missingGo});
    row("radio without options", {"!GO Next"}, {W(12534)});
    row("done control", {"!SET [[Age]]=5"}, none, 0, Done);
    row("info control without go", {}, {W(12531)}, 0, Info);
    row("command without pushed action", {"^Pushed", "^Not Pushed", "!GO Next"}, {missingGo, W(12539)}, 0, Command);
    row("command with pushed action", {"^Pushed", "!GO Next", "^Not Pushed", "!GO Next"}, none, 0, Command);
    row("command of an older project", {"^True", "!GO Next", "^False", "!GO Next"}, none, 0, Command);
}

void TestCcValidation::optionsAndActions()
{
    QFETCH(qint16, type);
    QFETCH(QStringList, lines);
    QFETCH(int, fileType);
    QFETCH(QStringList, expected);
    Project project;
    ValidationTree::add(project.decisions, Control("Start", type, lines));
    ValidationTree::addNeighbours(project.decisions);
    project.validation.setTargetsForFileType(fileType);
    project.validation.Validate();
    compareFindings(ValidationTree::findingsAt(project.validation.Findings(), QStringLiteral("Start.")), expected);
    // The neighbours are sound, whatever Start holds.
    QCOMPARE(project.validation.Findings().entries().size(), expected.size());
}

void TestCcValidation::missingGoOnDisplayedControl()
{
    const QStringList lines{"^A", "!GO Next", "^B"};
    const QString missingGo = missingGoWarning();
    for (const bool displayed : {false, true}) {
        Project project;
        ValidationTree::add(project.decisions, Control("Start", Radio, lines));
        ValidationTree::addNeighbours(project.decisions);
        ValidationTree::add(project.decisions, Control("Host", Info, {"!GO Next"})
                                                   .displaying(displayed ? QStringList{"Start"} : QStringList()));
        project.validation.Validate();
        const QStringList found = ValidationTree::findingsAt(project.validation.Findings(), QStringLiteral("Start."));
        QCOMPARE(found, displayed ? QStringList() : QStringList{missingGo});
    }
}

void TestCcValidation::controlChecks_data()
{
    QTest::addColumn<qint16>("type");
    QTest::addColumn<QStringList>("range"); // minimum, maximum, default
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QStringList>("displayed");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<int>("fileType");
    QTest::addColumn<QStringList>("expected"); // location: finding

    const QStringList noRange{"", "", ""};
    const auto row = [](const char* name, qint16 type, const QStringList& range, const QStringList& expected,
                        int fileType = 0, const QString& picture = QString(),
                        const QStringList& displayed = QStringList(), const QString& heading = QString()) {
        QTest::newRow(name) << type << range << picture << displayed << heading << fileType << expected;
    };
    const auto at = [](const char* label, const QString& finding) {
        return QStringLiteral("Start.") + QLatin1String(label) + QStringLiteral(": ") + finding;
    };

    row("picture held", qint16(Info), noRange, {}, 0, "Logo.jpg");
    row("picture held, other case", qint16(Info), noRange, {}, 0, "LOGO.JPG");
    row("picture missing", qint16(Info), noRange, {at("Picture", E(12503))}, 0, "Missing.jpg");
    row("displayed known and unknown", qint16(Info), noRange,
        {at("Displayed Controls", E(12504, "Ghost"))}, 0, QString(), {"Age", "Ghost"});
    row("header references", qint16(Info), noRange, {QStringLiteral("Start: ") + E(12504, "Ghost")}, 0, QString(), {},
        "<p>You are [[Age]], not [[Ghost]]</p>");
    row("header selector, brackets apart", qint16(Info), noRange, {QStringLiteral("Start: ") + E(12505, "Bikes")}, 0,
        QString(), {}, "<B>[ [Ghost] ]</B> <<Bikes>>");
    row("slide for both runtimes", qint16(Slide), noRange, {at("Input Interface=Slide", E(12528))});
    row("numslide for the web", qint16(NumSlide), noRange, {at("Input Interface=NumSlide", E(12528))}, 1);
    row("slide for the desktop", qint16(Slide), noRange, {}, 2);
    row("numslide at its limits", qint16(NumSlide), {"-32768", "32767", "0"}, {}, 2);
    row("numslide -40000", qint16(NumSlide), {"-40000", "10", ""}, {at("Minimum", E(12522))}, 2);
    row("numbox beyond 32 bits", qint16(NumBox), {"-2147483648", "2147483648", ""}, {at("Maximum", E(12522))});
    row("numbox with a fraction", qint16(NumBox), {"", "", "1.5"}, {at("Default Value", E(12522))});
    row("numbox with a word", qint16(NumBox), {"ten", "", ""}, {at("Minimum", E(12522))});
    row("realnumbox zero and tiny", qint16(RealNumBox), {"0", "1.5e-45", ""}, {});
    row("realnumbox below the smallest float", qint16(RealNumBox), {"-1e-46", "", ""}, {at("Minimum", E(12522))});
    row("realnumbox beyond the largest float", qint16(RealNumBox), {"", "3.5e38", ""}, {at("Maximum", E(12522))});
    row("realnumbox largest float", qint16(RealNumBox), {"-3.402823E38", "3.402823E38", ""}, {});
    row("minimum above maximum", qint16(NumBox), {"10", "5", ""}, {at("Minimum", E(12523))});
    row("default outside", qint16(NumBox), {"1", "5", "6"}, {at("Default Value", E(12525))});
    row("default inside", qint16(NumBox), {"1", "5", "5"}, {});
    row("limits of a list are not read", qint16(Radio), {"x", "y", "z"}, {});
}

void TestCcValidation::controlChecks()
{
    QFETCH(qint16, type);
    QFETCH(QStringList, range);
    QFETCH(QString, picture);
    QFETCH(QStringList, displayed);
    QFETCH(QString, heading);
    QFETCH(int, fileType);
    QFETCH(QStringList, expected);
    Project project;
    QVERIFY(project.document.Storage().pictures().add(QStringLiteral("Logo.jpg"), "jpeg bytes").ok());
    const QStringList lines = type == Radio ? QStringList{"^A", "!GO Next"} : QStringList{"!GO Next"};
    ValidationTree::add(project.decisions, Control("Start", type, lines)
                                               .range(range.at(0), range.at(1))
                                               .withDefault(range.at(2))
                                               .withPicture(picture)
                                               .displaying(displayed)
                                               .withHeading(heading));
    ValidationTree::addNeighbours(project.decisions);
    project.validation.setTargetsForFileType(fileType);
    project.validation.Validate();
    QStringList found;
    for (const ValidationFindings::Entry& entry : project.validation.Findings().entries())
        found.append(entry.location + QStringLiteral(": ") + QLatin1String(entry.isError ? "E:" : "W:") + entry.message);
    QCOMPARE(found, expected);
}

void TestCcValidation::decisionValue_data()
{
    QTest::addColumn<qint16>("type");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("valid");
    QTest::newRow("check takes anything") << qint16(Check) << "whatever" << true;
    QTest::newRow("command takes anything") << qint16(Command) << "" << true;
    QTest::newRow("list option") << qint16(List) << "Red" << true;
    QTest::newRow("list option, other case") << qint16(List) << "red" << false;
    QTest::newRow("slide option") << qint16(Slide) << "Green" << true;
    QTest::newRow("combo, not an option") << qint16(Combo) << "Blue" << false;
    QTest::newRow("realnumbox number") << qint16(RealNumBox) << "-1.5e3" << true;
    QTest::newRow("numslide word") << qint16(NumSlide) << "nan" << false;
    QTest::newRow("textarea") << qint16(TextArea) << "free text" << true;
    QTest::newRow("dcombo") << qint16(dCombo) << "Cars" << true;
    QTest::newRow("info") << qint16(Info) << "Red" << false;
    QTest::newRow("done") << qint16(Done) << "" << false;
}

void TestCcValidation::decisionValue()
{
    QFETCH(qint16, type);
    QFETCH(QString, value);
    QFETCH(bool, valid);
    Project project;
    const CmDecisionItem& target = ValidationTree::add(project.decisions, Control("Target", type, {"^Red", "^Green"}));
    QCOMPARE(project.validation.ValidateDecisionValue(target, value), valid);
    QVERIFY(project.validation.Findings().entries().isEmpty());
}

void TestCcValidation::flagsStatusAndProgress()
{
    Project project;
    ValidationTree::add(project.decisions, Control("Start", Info, {"!GO Next"}));
    for (int i = 0; i < 250; ++i)
        ValidationTree::add(project.decisions, Control(QStringLiteral("C%1").arg(i), Radio, {"^A", "!GO Next"}));
    ValidationTree::addNeighbours(project.decisions);
    QSignalSpy status(&project.validation, &CcValidation::statusChanged);
    QSignalSpy progress(&project.validation, &CcValidation::progressChanged);
    project.validation.Validate();
    QVERIFY(!project.validation.Error() && !project.validation.Warning());
    QCOMPARE(status.size(), 2);
    QCOMPARE(status.first().first().toString(), LoadResString(14018));
    QVERIFY(status.last().first().toString().isEmpty());
    // Once per percent, then back to rest.
    QCOMPARE(progress.size(), 102);
    QCOMPARE(progress.at(100).first().toInt(), 100);
    QCOMPARE(progress.last().first().toInt(), 0);

    ValidationTree::add(project.decisions, Control("Loose", Radio, {"^A"}));
    project.validation.Validate();
    QVERIFY(!project.validation.Error() && project.validation.Warning());
    ValidationTree::add(project.decisions, Control("Broken", Radio, {"^A", "!GO Ghost"}));
    project.validation.Validate();
    QVERIFY(project.validation.Error());
    project.validation.Clear();
    QVERIFY(!project.validation.Error() && !project.validation.Warning() && project.validation.Log().isEmpty());
}

void TestCcValidation::logFile()
{
    QTemporaryDir folder;
    Project project;
    const QString path = folder.filePath(QStringLiteral("Trip.kvp"));
    project.document.setModelWriter([] { return StorageResult::success(); });
    QVERIFY(project.document.SaveFileAs(path).done());
    QCOMPARE(project.validation.DefaultLogFileName(), folder.filePath(QStringLiteral("Trip.log")));

    // Nothing found: no file.
    QVERIFY(project.validation.SaveLog().ok());
    QVERIFY(!QFile::exists(project.validation.DefaultLogFileName()));

    ValidationTree::add(project.decisions, Control("Start", Radio, {"^A", "!GO Ghost", "^B", "!GO Ghost", "!ENDIF "}));
    project.validation.Validate();
    // The log's name beside the project is the program's own: a link found there is replaced.
    const QString victim = folder.filePath(QStringLiteral("victim.txt"));
    {
        QFile other(victim);
        QVERIFY(other.open(QIODevice::WriteOnly) && other.write("keep") == 4);
    }
    QVERIFY(QFile::link(victim, project.validation.DefaultLogFileName()));
    QSignalSpy saved(&project.validation, &CcValidation::logSaved);
    QVERIFY(project.validation.SaveLog().ok());
    QVERIFY(!QFileInfo(project.validation.DefaultLogFileName()).isSymLink());
    {
        QFile other(victim);
        QVERIFY(other.open(QIODevice::ReadOnly));
        QCOMPARE(other.readAll(), QByteArray("keep"));
    }
    const QByteArray expected = "Error. Invalid control reference: Ghost\r\n"
                                "\tSource: Start.Options and Actions\r\n"
                                "Error. Invalid control reference: Ghost\r\n"
                                "\tSource: Start.Options and Actions\r\n"
                                "Warning. Syntax error. \r\n"
                                "\tSource: Start.Options and Actions\r\n"
                                "\tInvalid action statement in !ENDIF \r\n";
    QFile written(project.validation.DefaultLogFileName());
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), expected);
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved.first().at(0).toString(), QString::fromUtf8(expected));

    // A named file, and a project never saved has no default.
    QVERIFY(project.validation.SaveLog(folder.filePath(QStringLiteral("other.txt"))).ok());
    QVERIFY(QFile::exists(folder.filePath(QStringLiteral("other.txt"))));
    Project unsaved;
    unsaved.validation.AppendToLog(false, QStringLiteral("x"), QStringLiteral("y"));
    QVERIFY(!unsaved.validation.SaveLog().ok());
}

void TestCcValidation::failedLogWriteKeepsPreviousLog()
{
#ifdef Q_OS_UNIX
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Trip.log"));
    const QByteArray previous = "Warning. An earlier finding\r\n\tSource: Start\r\n";
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(previous);
    }
    Project project;
    for (int i = 0; i < 200; ++i)
        project.validation.AppendToLog(true, QStringLiteral("Finding %1").arg(i), QStringLiteral("Start"));

    // A file size limit makes the write fail as a full disk would.
    rlimit before{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 64;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    QSignalSpy saved(&project.validation, &CcValidation::logSaved);
    const StorageResult result = project.validation.SaveLog(path);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!result.ok());
    QVERIFY(result.message.contains(path));
    QCOMPARE(saved.size(), 0);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), previous);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"Trip.log"});
#else
    QSKIP("needs a file size limit");
#endif
}

void TestCcValidation::growsLinearly()
{
    constexpr int size = 3000;
    Project small;
    Project large;
    SyntheticTree::fill(small.decisions, size);
    SyntheticTree::fill(large.decisions, 2 * size);
    const double ratio = GrowthRatio(
        [&](int count) {
            Project& project = count == size ? small : large;
            project.validation.Clear();
            project.validation.Validate();
        },
        size);
    QVERIFY2(ratio < 3.5, qPrintable(QString::number(ratio)));
}

KV_REGISTER_TEST(TestCcValidation)

#include "tst_CcValidation.moc"
