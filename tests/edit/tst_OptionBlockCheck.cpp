#include "common/TestRegistry.h"
#include "edit/UndoProject.h"

#include "base/ResourceStrings.h"
#include "edit/OptionBlockCheck.h"
#include "model/MDecisionDataUtil.h"
#include "selectors/StoredSelectorCatalog.h"

#include <QRegularExpression>
#include <QTest>

using OptionBlockCheck::Finding;
using namespace MDecisionDataUtil;

namespace {

// Each finding as "line:E|W:message id", the id found by matching the message with the texts.
QString summary(const QList<Finding>& findings)
{
    static const QList<int> ids{12504, 12505, 12506, 12507, 12533, 33600, 33601, 33602, 33603, 33604, 33605,
                                33606, 33607, 33608, 33609, 33610, 33611, 33612, 33613, 33614, 33615, 33616,
                                33617, 33618, 33628, 32513};
    static const QRegularExpression placeholder(QStringLiteral("%[1-9]"));
    QStringList written;
    for (const Finding& finding : findings) {
        int found = 0;
        for (int id : ids) {
            // The text with anything in place of its placeholders, and anything after it.
            QStringList pieces = LoadResString(id).split(placeholder);
            for (QString& piece : pieces)
                piece = QRegularExpression::escape(piece);
            const QRegularExpression pattern(QStringLiteral("^") + pieces.join(QStringLiteral(".*")) + QStringLiteral(".*$"),
                                             QRegularExpression::DotMatchesEverythingOption);
            if (!found && pattern.match(finding.message).hasMatch())
                found = id;
        }
        written << QStringLiteral("%1:%2:%3").arg(finding.line).arg(finding.isError ? 'E' : 'W').arg(found);
    }
    return written.join(QLatin1Char(' '));
}

} // namespace

// The check the options editor shows as the author types.
class TestOptionBlockCheck : public QObject {
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void names();
    void text();
};

void TestOptionBlockCheck::lines_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("findings");
    QTest::newRow("a sound block") << QStringList{"!SET [[A]] = 1", "^Yes", "?help", "!IF [[A]] > 1 & [[B]] = \"x\"",
                                                  "!GO A", "!ELSEIF [[A]] = 0", "!ELSE", "!KILL S : Price > 3",
                                                  "!ENDIF", "!SORT S: Price, Speed; Ascending, Descending",
                                                  "!EARLYFINISH Off", "!NOOP", "!JUMP http://x"}
                                   << int(Radio) << "";
    QTest::newRow("left out") << QStringList{"?early help", "note", "", "^A"} << int(Radio) << "0:W:33602 1:W:33600";
    QTest::newRow("check answers") << QStringList{"^Checked", "^Yes", "^Not Checked"} << int(Check) << "1:E:33603";
    QTest::newRow("string box") << QStringList{"!GO A", "^Any"} << int(StringBox) << "1:E:33604";
    QTest::newRow("numeric ranges") << QStringList{"^1-10", "^-5", "^20-", "^ten", "^10"} << int(NumBox)
                                    << "3:E:33605 4:E:33605";
    QTest::newRow("forms") << QStringList{"^A", "!GO", "!SET [[A]]", "!KILL S", "!IF", "!ENDIF now", "!EARLYFINISH maybe",
                                          "!CALL", "!GOTO B", "! GO B"}
                           << int(Radio)
                           << "1:E:33608 2:E:33609 3:E:33610 4:E:33611 5:W:33612 6:W:33613 7:W:33614 8:E:33606 "
                              "9:E:33606";
    QTest::newRow("blocks") << QStringList{"^A", "!ELSE", "!IF [[A]]=1", "!ELSE", "!ELSEIF [[A]]=2", "!ELSE", "!IF [[B]]=1",
                                           "^B", "!endif"}
                            << int(Radio) << "1:E:33615 2:E:33618 4:E:33616 5:E:33617 6:E:33618 8:W:33607 8:E:33615";
    QTest::newRow("expressions") << QStringList{"^A", "!IF [[A]] >", "!SET [[A]] = 1 +", "!SET [[A]] = \"a + \"",
                                                "!KILL S : (Price", "!SORT S : Price, ; Ascending", "!ENDIF"}
                                 << int(Radio) << "1:E:12533 2:E:12533 4:E:12533 5:E:12533";
}

void TestOptionBlockCheck::lines()
{
    QFETCH(QStringList, lines);
    QFETCH(int, type);
    QFETCH(QString, findings);
    QCOMPARE(summary(OptionBlockCheck::CheckLines(lines, qint16(type))), findings);
}

void TestOptionBlockCheck::names()
{
    UndoProject project;
    project.addControls(2);
    project.addSelector(QStringLiteral("S"));
    const StoredSelectorCatalog catalog(project.document.Storage().rootNode());
    const OptionBlockCheck::Names names{&project.decisions, &catalog};
    const QStringList lines{"^A",
                            "!GO control2",
                            "!GO FinishLink",
                            "!GO Nowhere",
                            "!SET [[ Control1 ]] = [[Gone]] + 1",
                            "!KILL T : Price > 1",
                            "!IF <<S:Price;Tea>> > <<S:Weight>> | <<S:Price;Coffee>> = 1",
                            "!IF [[2]] = 1",
                            "!ENDIF",
                            "!ENDIF",
                            "!KILL S : Cost > 1 & price < 3 & cost < 2",
                            "!SORT S : Price, Colour; Ascending, Descending"};
    // A !KILL or !SORT names the selector's properties bare; each one it lacks once per line.
    QCOMPARE(summary(OptionBlockCheck::CheckLines(lines, Radio, names)),
             QStringLiteral("3:E:12504 4:E:12504 5:E:12505 6:E:12506 6:E:12507 10:E:32513 11:E:32513"));
    // Without names nothing is looked up.
    QCOMPARE(summary(OptionBlockCheck::CheckLines(lines, Radio)), QString());
    // A list filled from selectors names them in its options.
    const QStringList selectorOptions{"^S", "^ s ", "^Teas", "!GO Control2"};
    QCOMPARE(summary(OptionBlockCheck::CheckLines(selectorOptions, dList, names)), QStringLiteral("2:W:33628"));
    QCOMPARE(summary(OptionBlockCheck::CheckLines(selectorOptions, dCombo, names)), QStringLiteral("2:W:33628"));
    QCOMPARE(summary(OptionBlockCheck::CheckLines(selectorOptions, Radio, names)), QString());
}

void TestOptionBlockCheck::text()
{
    // Lines of the text, not of the block: indentation is fine, a note before a marker is not.
    const QString text = QStringLiteral("^A\r\n\t!IF [[A]]=1\r\n\t\tsay !GO B\r\n\r\njust a note\r\n\t!ENDIF\n!ELSE");
    QCOMPARE(summary(OptionBlockCheck::CheckText(text, Radio)), QStringLiteral("2:W:33601 4:W:33600 6:E:33615"));
}

KV_REGISTER_TEST(TestOptionBlockCheck)
#include "tst_OptionBlockCheck.moc"
