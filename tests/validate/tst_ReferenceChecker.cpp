#include "common/TestRegistry.h"

#include "edit/ExpressionBuilder.h"
#include "validate/ReferenceChecker.h"
#include "selectors/StoredSelectorCatalog.h"
#include "validate/ValidationFindings.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/MDecisionDataUtil.h"
#include "persist/StorageDocument.h"

#include <QTest>

namespace {

const QString location = QStringLiteral("Start.Options and Actions");

// Cars is stored here; Remote is external, its names unknown.
class FakeCatalog final : public ISelectorCatalog {
public:
    bool Exists(const QString& name) const override { return isCars(name) || isRemote(name); }
    std::optional<QStringList> Properties(const QString& name) const override
    {
        return isRemote(name) ? std::nullopt : std::optional<QStringList>(isCars(name) ? carProperties : QStringList());
    }
    std::optional<QStringList> Items(const QString& name) const override
    {
        return isRemote(name) ? std::nullopt : std::optional<QStringList>(isCars(name) ? carItems : QStringList());
    }

    const QStringList carProperties{"Price", "Speed"};
    const QStringList carItems{"Mini", "Honda Civic"};

private:
    static bool isCars(const QString& name) { return name.compare(QLatin1String("Cars"), Qt::CaseInsensitive) == 0; }
    static bool isRemote(const QString& name) { return name.compare(QLatin1String("Remote"), Qt::CaseInsensitive) == 0; }
};

void addDecision(CmDecisionManager& decisions, qint16 id, const QString& name)
{
    auto item = std::make_unique<CmDecisionItem>();
    item->setIntID(id);
    item->setStrID(name);
    QVERIFY(decisions.add(std::move(item)));
}

void fillDecisions(CmDecisionManager& decisions)
{
    addDecision(decisions, 1, QStringLiteral("Age"));
    addDecision(decisions, 2, QStringLiteral("Member"));
}

QStringList messagesOf(const ValidationFindings& findings)
{
    QStringList messages;
    for (const ValidationFindings::Entry& entry : findings.entries()) {
        if (entry.isError && entry.location == location)
            messages.append(entry.message);
    }
    return messages;
}

} // namespace

class TestReferenceChecker : public QObject {
    Q_OBJECT

private slots:
    void referenceWalk_data();
    void referenceWalk();
    void finishLink_data();
    void finishLink();
    void entryText();
    void fixedTreeLooksUpOnce();
    void storedSelectors();
    void builderCheck_data();
    void builderCheck();
    void builderInsertions_data();
    void builderInsertions();
    void builderReferenceTexts();
};

void TestReferenceChecker::referenceWalk_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("all known") << "[[Age]] > 18 & [[Member]] = \"Checked\"" << QStringList();
    QTest::newRow("case and blanks") << "[[ AGE ]] + [[age]]" << QStringList();
    QTest::newRow("every unknown one") << "[[Agee]] > 1 & [[Age]] < [[Weight]]"
                                       << QStringList{"Invalid control reference: Agee",
                                                      "Invalid control reference: Weight"};
    QTest::newRow("empty brackets") << "[[ ]] = 1" << QStringList{"Invalid control reference: "};
    QTest::newRow("selector in three steps") << "<<Cars:Price;Mini>> + <<Cars>> + <<cars : speed ; honda civic>>"
                                             << QStringList();
    QTest::newRow("unknown selector") << "<<Bikes:Price>>"
                                      << QStringList{"Invalid Solution Set Selector reference: Bikes:Price"};
    QTest::newRow("unknown property") << "<<Cars:Colour;Mini>>"
                                      << QStringList{"Invalid Solution Set Selector property reference: Cars:Colour;Mini"};
    QTest::newRow("unknown item") << "<<Cars:Price;Tesla>>"
                                  << QStringList{"Invalid Solution Set Selector item reference: Cars:Price;Tesla"};
    QTest::newRow("external selector") << "<<Remote:Anything;Any>>" << QStringList();
    QTest::newRow("empty") << "" << QStringList();
    QTest::newRow("single brackets and operators") << "\"[x]\" <> 5 & <y>" << QStringList();
    QTest::newRow("glued") << "<<Cars>>>[[Nobody]]" << QStringList{"Invalid control reference: Nobody"};
}

void TestReferenceChecker::referenceWalk()
{
    QFETCH(QString, text);
    QFETCH(QStringList, messages);
    CmDecisionManager decisions;
    fillDecisions(decisions);
    const FakeCatalog selectors;
    ValidationFindings findings;
    ReferenceChecker checker(decisions, selectors, findings);
    QCOMPARE(checker.ValidateRefs(location, text), messages.isEmpty());
    QCOMPARE(messagesOf(findings), messages);
    QCOMPARE(findings.entries().size(), messages.size());
}

void TestReferenceChecker::finishLink_data()
{
    QTest::addColumn<bool>("web");
    QTest::addColumn<bool>("desktop");
    QTest::addColumn<QString>("message");
    QTest::newRow("web") << true << false << QString();
    QTest::newRow("both runtimes") << true << true << QString();
    QTest::newRow("desktop") << false << true
                             << "FinishLink reference found. The FinishLink is not available in kvDesk.";
    QTest::newRow("neither") << false << false << "Invalid control reference: finishlink";
}

void TestReferenceChecker::finishLink()
{
    QFETCH(bool, web);
    QFETCH(bool, desktop);
    QFETCH(QString, message);
    CmDecisionManager decisions;
    const FakeCatalog selectors;
    ValidationFindings findings;
    ReferenceChecker checker(decisions, selectors, findings);
    checker.setCompileKVW(web);
    checker.setCompileKVD(desktop);
    QCOMPARE(checker.ValidateDecisionRef(location, QStringLiteral(" finishlink ")), message.isEmpty());
    QCOMPARE(messagesOf(findings), message.isEmpty() ? QStringList() : QStringList{message});
}

// While the tree is fixed a name is looked up once; released, the tree is asked again, and
// fixed anew nothing found before is kept (a whole-tree run after edits).
void TestReferenceChecker::fixedTreeLooksUpOnce()
{
    CmDecisionManager decisions;
    fillDecisions(decisions);
    const FakeCatalog selectors;
    ValidationFindings findings;
    ReferenceChecker checker(decisions, selectors, findings);
    checker.setTreeFixed(true);
    QVERIFY(checker.ValidateDecisionRef(location, QStringLiteral("Age")));
    QVERIFY(!checker.ValidateDecisionRef(location, QStringLiteral("Later")));
    QVERIFY(decisions.Remove(QStringLiteral("Age")));
    addDecision(decisions, 3, QStringLiteral("Later"));
    QVERIFY(checker.ValidateDecisionRef(location, QStringLiteral("Age")));
    QVERIFY(!checker.ValidateDecisionRef(location, QStringLiteral("Later")));
    // As written: another spelling is looked up, and found.
    QVERIFY(checker.ValidateDecisionRef(location, QStringLiteral("LATER")));
    checker.setTreeFixed(false);
    QVERIFY(!checker.ValidateDecisionRef(location, QStringLiteral("Age")));
    QVERIFY(checker.ValidateDecisionRef(location, QStringLiteral("Later")));
    checker.setTreeFixed(true);
    QVERIFY(!checker.ValidateDecisionRef(location, QStringLiteral("Age")));
    QVERIFY(checker.ValidateDecisionRef(location, QStringLiteral("Later")));
}

void TestReferenceChecker::entryText()
{
    ValidationFindings findings;
    findings.AppendToLog(true, QStringLiteral("Invalid control reference: X"), location);
    QVERIFY(findings.hasErrors() && !findings.hasWarnings());
    findings.AppendToLog(false, QStringLiteral("Syntax error. "), location, QStringLiteral("Invalid action statement in "));
    QCOMPARE(findings.text(), QStringLiteral("Error. Invalid control reference: X\r\n"
                                             "\tSource: Start.Options and Actions\r\n"
                                             "Warning. Syntax error. \r\n"
                                             "\tSource: Start.Options and Actions\r\n"
                                             "\tInvalid action statement in \r\n"));
    QVERIFY(findings.hasWarnings());
}

void TestReferenceChecker::storedSelectors()
{
    StorageDocument document;
    QVERIFY(document.create().ok());
    StorageNode cars = document.rootNode();
    QVERIFY(cars.open(QStringLiteral("\\Databases\\Cars")).ok());
    QVERIFY(cars.writeTable({{"Price", "Speed", ""}, {"Mini", "1", "2"}, {"Honda Civic", "3"}, {""}}).ok());
    StorageNode remote = document.rootNode();
    QVERIFY(remote.open(QStringLiteral("\\Databases\\External\\Remote")).ok());
    QVERIFY(remote.writeText(QStringLiteral("settings")).ok());

    const StoredSelectorCatalog catalog(document.rootNode());
    QVERIFY(catalog.Exists(QStringLiteral("cars")) && catalog.Exists(QStringLiteral("Remote")));
    for (const char* missing : {"Bikes", "External", "", "External\\Remote"})
        QVERIFY2(!catalog.Exists(QString::fromLatin1(missing)), missing);
    QCOMPARE(catalog.Properties(QStringLiteral("Cars")), std::optional<QStringList>({"Price", "Speed"}));
    QCOMPARE(catalog.Items(QStringLiteral("Cars")), std::optional<QStringList>({"Mini", "Honda Civic"}));
    QVERIFY(!catalog.Properties(QStringLiteral("Remote")));
    QCOMPARE(catalog.Items(QStringLiteral("Bikes")), std::optional<QStringList>(QStringList()));
    // Asking about a selector must not create its node.
    bool created = true;
    QVERIFY(document.rootNode().exists(QStringLiteral("\\Databases\\Bikes"), created).ok());
    QVERIFY(!created);

    CmDecisionManager decisions;
    ValidationFindings findings;
    ReferenceChecker checker(decisions, catalog, findings);
    QVERIFY(checker.ValidateRefs(location, QStringLiteral("<<Cars:Speed;Honda Civic>> + <<Remote:X;Y>>")));
    QVERIFY(!checker.ValidateCLRef(location, QStringLiteral("Cars:Speed;Ford")));
    QCOMPARE(findings.entries().size(), 1);
}

void TestReferenceChecker::builderCheck_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("message");
    QTest::newRow("all known") << "[[Age]] + <<Cars:Price;Honda Civic>>" << QString();
    QTest::newRow("first unknown control") << "[[Age]] + [[Weight]] + [[Height]]" << "Control: Weight does not exist.";
    QTest::newRow("first unknown selector") << "<<Cars:Colour>> & [[Nobody]]"
                                            << "Solution Set Selector reference: Cars:Colour does not exist.";
    QTest::newRow("open reference ends at an operator") << "[[Age+5" << QString();
    QTest::newRow("open unknown reference") << "2*[[ Agee+5" << "Control: Agee does not exist.";
}

void TestReferenceChecker::builderCheck()
{
    QFETCH(QString, expression);
    QFETCH(QString, message);
    CmDecisionManager decisions;
    fillDecisions(decisions);
    const FakeCatalog selectors;
    const ExpressionBuilder::CheckResult result = ExpressionBuilder::CheckReferences(expression, decisions, selectors);
    QCOMPARE(result.passed, message.isEmpty());
    QCOMPARE(result.message, message);
    QCOMPARE(result.title, message.isEmpty() ? QString() : QStringLiteral("Expression Error"));
}

void TestReferenceChecker::builderInsertions_data()
{
    using ExpressionBuilder::Button;
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("inverse");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("caretAfter");
    QTest::newRow("inverse Sin") << int(Button::Sin) << true << "" << 0 << "ASIN(  ) " << 6;
    QTest::newRow("Sin in the middle") << int(Button::Sin) << false << "[[A]] = 1" << 6 << "[[A]] SIN(  ) = 1" << 11;
    QTest::newRow("inverse Sqrt is an operator") << int(Button::Sqrt) << true << "[[A]]" << 5 << "[[A]]^2 " << 8;
    QTest::newRow("Abs has no inverse") << int(Button::Abs) << true << "" << 0 << "ABS(  ) " << 5;
    QTest::newRow("Log") << int(Button::Log) << false << "" << 0 << "LOG10(  ) " << 7;
    QTest::newRow("AND") << int(Button::And) << false << "x " << 2 << "x & " << 4;
    QTest::newRow("Pi") << int(Button::Pi) << false << "" << 0 << "3.141592653589793 " << 18;
    QTest::newRow("caret beyond the end") << int(Button::CloseParenthesis) << false << "(1" << 9 << "(1)" << 3;
}

void TestReferenceChecker::builderInsertions()
{
    QFETCH(int, button);
    QFETCH(bool, inverse);
    QFETCH(QString, before);
    QFETCH(int, caret);
    QFETCH(QString, after);
    QFETCH(int, caretAfter);
    int newCaret = -1;
    const auto insertion = ExpressionBuilder::InsertionFor(static_cast<ExpressionBuilder::Button>(button), inverse);
    QCOMPARE(ExpressionBuilder::Insert(before, caret, insertion, newCaret), after);
    QCOMPARE(newCaret, caretAfter);
}

void TestReferenceChecker::builderReferenceTexts()
{
    using namespace ExpressionBuilder;
    QCOMPARE(OptionReferenceText(QStringLiteral("12.5")), QStringLiteral("12.5"));
    QCOMPARE(OptionReferenceText(QStringLiteral("1-10")), QStringLiteral("\"1-10\""));
    CmDecisionItem command;
    command.setIntControl(MDecisionDataUtil::Command);
    QCOMPARE(OptionChoices(command), (QStringList{"Pushed", "Not Pushed"}));
    CmDecisionItem radio;
    radio.setOptsAndActs({"!SET [[A]]=1", "^Red", "!GO R", "^Blue"});
    QCOMPARE(OptionChoices(radio), (QStringList{"Red", "Blue"}));
}

KV_REGISTER_TEST(TestReferenceChecker)
#include "tst_ReferenceChecker.moc"
