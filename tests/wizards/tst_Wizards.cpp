#include "common/ScriptedPrompt.h"
#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"
#include "edit/CcDecisionTree.h"
#include "edit/CcUndo.h"
#include "edit/CvDecisionTree.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/MDecisionDataUtil.h"
#include "runtime/AnswerList.h"
#include "runtime/AnsweredRun.h"
#include "runtime/CompiledTree.h"
#include "runtime/RuntimeEngine.h"
#include "validate/CcValidation.h"
#include "wizards/ActionWizard.h"
#include "wizards/ControlWizard.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using Answers = QList<std::pair<QString, QString>>;

// A project the wizards add to: Start (Radio: Yes goes to End, No), Age (NumBox), Name
// (StringBox) and End (Done), and the selector Cars.
struct WizardProject {
    CmDocument document;
    ScriptedPrompt prompt;
    CmDecisionManager decisions;
    CvDecisionTree view{decisions, prompt};
    CcDecisionTree tree{view, prompt};
    CcUndo undo{decisions};
    const QStringList selectors{u"Cars"_s};

    WizardProject()
    {
        undo.setTree(&tree);
        undo.setDocument(&document);
        add(u"Start"_s, MDecisionDataUtil::Radio, {u"^Yes"_s, u"!GO End"_s, u"^No"_s});
        add(u"Age"_s, MDecisionDataUtil::NumBox, {u"^0-17"_s, u"^18-"_s});
        add(u"Name"_s, MDecisionDataUtil::StringBox);
        add(u"End"_s, MDecisionDataUtil::Done);
        undo.Clear();
    }

    void add(const QString& name, qint16 type, const QStringList& lines = {})
    {
        CmDecisionItem* item = tree.AddNew(QPointF(150.0 * decisions.Count(), 0), 1, name);
        item->setIntControl(type);
        item->setOptsAndActsAsRead(lines);
    }
};

// Plays the wizard with the answers given, as its user would, to its done page.
WizardTree::Answers play(const WizardTree& wizard, const Answers& given, RuntimeEngine& engine)
{
    CompiledTree compiled;
    QString log;
    const StorageResult built = wizard.compile(compiled, log);
    if (!built)
        qFatal("wizard not compiled: %s %s", qPrintable(built.message), qPrintable(log));
    if (!engine.load(compiled))
        qFatal("wizard not loaded");
    AnswerList answers;
    for (const auto& [name, value] : given)
        answers.append(name, value);
    AnsweredRun run(engine, answers);
    if (run.run(QString()) != AnsweredRun::Outcome::Done)
        qFatal("wizard run did not end: %s", qPrintable(run.transcript().join(u'\n')));
    return WizardTree::answersOf(engine);
}

QString typeText(qint16 type)
{
    return LoadResString(34020 + type);
}

QString kindText(int kind)
{
    return LoadResString(34047 + kind);
}

enum Kind { Go, Set, Default, Kill, Sort };

} // namespace

class WizardsTest : public QObject {
    Q_OBJECT

private slots:
    void bundledTreesValidate_data()
    {
        QTest::addColumn<int>("wizard");
        QTest::addColumn<bool>("withProject");
        QTest::newRow("control wizard") << 0 << false;
        QTest::newRow("action wizard, empty project") << 1 << false;
        QTest::newRow("action wizard on a project") << 1 << true;
    }
    void bundledTreesValidate()
    {
        QFETCH(int, wizard);
        QFETCH(bool, withProject);
        WizardProject project;
        CmDecisionManager empty;
        QString problem;
        const std::unique_ptr<WizardTree> tree =
            wizard == 0 ? ControlWizard::tree(problem)
                        : ActionWizard::tree(withProject ? project.decisions : empty,
                                             withProject ? project.selectors : QStringList(), QString(), problem);
        QVERIFY2(tree, qPrintable(problem));
        CcValidation validation(tree->decisions(), tree->document());
        validation.setTargetsForFileType(2);
        validation.setAnalyzePaths(true);
        validation.Validate();
        QVERIFY2(!validation.Error() && !validation.Warning(), qPrintable(validation.Log()));
        // Every text the wizard shows comes from the string table, and every page shows one.
        for (int index = 1; index <= tree->decisions().Count(); ++index) {
            const CmDecisionItem& item = *tree->decisions().ItemByIndex(index);
            const QString texts = item.Caption() + item.Heading() + item.OptsAndActs().join(u'\t');
            QVERIFY2(!(item.Caption() + item.Heading()).isEmpty() && !texts.contains(u'{'), qPrintable(item.strID()));
        }
    }

    void controlAnswers_data()
    {
        using namespace MDecisionDataUtil;
        QTest::addColumn<qint16>("type");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("refused");
        QTest::newRow("radio buttons") << qint16(Radio) << u"Red\r\n^Green\n\n  Blue  "_s
                                       << QStringList{u"^Red"_s, u"^Green"_s, u"^Blue"_s} << QStringList();
        QTest::newRow("numeric ranges") << qint16(NumBox) << u"1-10\nten\n20-"_s
                                        << QStringList{u"^1-10"_s, u"^20-"_s} << QStringList{u"ten"_s};
        QTest::newRow("list from selectors") << qint16(dList) << u"Cars"_s << QStringList{u"^Cars"_s}
                                             << QStringList();
        QTest::newRow("check box") << qint16(Check) << QString()
                                   << QStringList{u"^Checked"_s, u"^Not Checked"_s} << QStringList();
        QTest::newRow("string box") << qint16(StringBox) << QString() << QStringList() << QStringList();
        QTest::newRow("information page") << qint16(Info) << QString() << QStringList() << QStringList();
    }
    void controlAnswers()
    {
        QFETCH(qint16, type);
        QFETCH(QString, options);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, refused);
        QString problem;
        const std::unique_ptr<WizardTree> wizard = ControlWizard::tree(problem);
        QVERIFY2(wizard, qPrintable(problem));
        Answers given{{u"Name"_s, u"Colour"_s},
                      {u"Caption"_s, u"Your colour"_s},
                      {u"Header"_s, u"Which <B>colour</B>?"_s},
                      {u"Type"_s, typeText(type)}};
        if (!options.isNull())
            given.append({u"Options"_s, options});
        RuntimeEngine engine;
        const ControlWizard::NewControl control = ControlWizard::read(play(*wizard, given, engine));
        QCOMPARE(control.type, type);
        QCOMPARE(control.name, u"Colour"_s);
        QCOMPARE(control.caption, u"Your colour"_s);
        QCOMPARE(control.header, u"Which <B>colour</B>?"_s);
        QCOMPARE(control.lines, lines);
        QCOMPARE(control.refused, refused);

        WizardProject project;
        const QString before = QStringList(project.decisions.Keys()).join(u',');
        CmDecisionItem* added = ControlWizard::add(control, project.tree, project.undo, QPointF(40, 300));
        QVERIFY(added);
        QCOMPARE(project.decisions.Item(u"Colour"_s), added);
        QCOMPARE(added->intControl(), type);
        QCOMPARE(added->Caption(), control.caption);
        QCOMPARE(added->Heading(), control.header);
        QCOMPARE(added->OptsAndActs(), lines);
        // One undo step takes the control back with everything the wizard gave it.
        project.undo.UndoCommand();
        QCOMPARE(QStringList(project.decisions.Keys()).join(u','), before);
        project.undo.RedoCommand();
        const CmDecisionItem* redone = project.decisions.Item(u"Colour"_s);
        QVERIFY(redone);
        QCOMPARE(redone->OptsAndActs(), lines);
        QCOMPARE(redone->Caption(), control.caption);
    }

    void controlName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("free name") << u"Colour"_s << true;
        QTest::newRow("empty: the next free name") << QString() << true;
        QTest::newRow("taken, in other capitals") << u"AGE"_s << false;
        QTest::newRow("begins with a digit") << u"2Fast"_s << false;
        QTest::newRow("holds a blank") << u"My Name"_s << false;
    }
    void controlName()
    {
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        WizardProject project;
        ControlWizard::NewControl control;
        control.name = name;
        QCOMPARE(ControlWizard::problem(control, project.decisions).isEmpty(), accepted);
    }

    void actionOffersTheCurrentControl_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("offered");
        QTest::newRow("the selected control") << u"Age"_s << u"Age"_s;
        QTest::newRow("none selected: the first") << QString() << u"Start"_s;
        QTest::newRow("one no longer there: the first") << u"Gone"_s << u"Start"_s;
    }
    void actionOffersTheCurrentControl()
    {
        QFETCH(QString, current);
        QFETCH(QString, offered);
        WizardProject project;
        QString problem;
        const std::unique_ptr<WizardTree> wizard = ActionWizard::tree(project.decisions, project.selectors, current, problem);
        QVERIFY2(wizard, qPrintable(problem));
        CompiledTree compiled;
        QString log;
        QVERIFY(wizard->compile(compiled, log));
        RuntimeEngine engine;
        QVERIFY(engine.load(compiled));
        engine.start();
        QCOMPARE(engine.value(engine.page().first()), offered);
        QVERIFY(engine.next());
        const SelectorTable* answers = engine.selector(u"Answers"_s);
        QCOMPARE(answers->itemName(answers->remaining().first()), offered + u": "_s + LoadResString(34044));
    }

    void actionAnswers_data()
    {
        const QString before = u"Start: "_s + LoadResString(34044);
        QTest::addColumn<Answers>("given");
        QTest::addColumn<QString>("saved");
        // The lines of the control the action went to.
        QTest::addColumn<QStringList>("lines");
        const Answers yes{{u"Control"_s, u"Start"_s}, {u"Option"_s, u"Start: No"_s}};
        const Answers ahead{{u"Control"_s, u"Start"_s}, {u"Option"_s, before}};
        QTest::newRow("go, under an answer")
            << yes + Answers{{u"Kind"_s, kindText(Go)}, {u"GoTarget"_s, u"Age"_s}, {u"Conditional"_s, u"False"_s}}
            << u"No\t!GO Age"_s << QStringList{u"^Yes"_s, u"!GO End"_s, u"^No"_s, u"!GO Age"_s};
        QTest::newRow("go, under an answer of a later control")
            << Answers{{u"Control"_s, u"Age"_s}, {u"Option"_s, u"Age: 18-"_s}, {u"Kind"_s, kindText(Go)},
                       {u"GoTarget"_s, u"End"_s}, {u"Conditional"_s, u"False"_s}}
            << u"18-\t!GO End"_s << QStringList{u"^0-17"_s, u"^18-"_s, u"!GO End"_s};
        QTest::newRow("set a text, in quotes")
            << yes + Answers{{u"Kind"_s, kindText(Set)}, {u"SetTarget"_s, u"Name"_s}, {u"SetValue"_s, u"Ann Lee"_s},
                             {u"Conditional"_s, u"False"_s}}
            << u"No\t!SET [[Name]] = \"Ann Lee\""_s
            << QStringList{u"^Yes"_s, u"!GO End"_s, u"^No"_s, u"!SET [[Name]] = \"Ann Lee\""_s};
        QTest::newRow("default a number, as typed")
            << ahead + Answers{{u"Kind"_s, kindText(Default)}, {u"SetTarget"_s, u"Age"_s}, {u"SetValue"_s, u"30"_s},
                               {u"Conditional"_s, u"False"_s}}
            << u"_PREACTION\t!DEFAULT [[Age]] = 30"_s
            << QStringList{u"!DEFAULT [[Age]] = 30"_s, u"^Yes"_s, u"!GO End"_s, u"^No"_s};
        QTest::newRow("kill, before any answer")
            << ahead + Answers{{u"Kind"_s, kindText(Kill)}, {u"KillSelector"_s, u"Cars"_s},
                               {u"KillTest"_s, u"Price > [[Age]]"_s}, {u"Conditional"_s, u"False"_s}}
            << u"_PREACTION\t!KILL Cars : Price > [[Age]]"_s
            << QStringList{u"!KILL Cars : Price > [[Age]]"_s, u"^Yes"_s, u"!GO End"_s, u"^No"_s};
        QTest::newRow("sort, a key left out")
            << Answers{{u"Control"_s, u"Start"_s}, {u"Option"_s, u"Start: Yes"_s}, {u"Kind"_s, kindText(Sort)},
                       {u"SortSelector"_s, u"Cars"_s}, {u"SortKey1"_s, u"Price"_s}, {u"SortOrder1"_s, LoadResString(11102)},
                       {u"SortKey3"_s, u"Speed"_s}, {u"Conditional"_s, u"False"_s}}
            << u"Yes\t!SORT Cars:Price,Speed;Descending,Ascending"_s
            << QStringList{u"^Yes"_s, u"!GO End"_s, u"!SORT Cars:Price,Speed;Descending,Ascending"_s, u"^No"_s};
        QTest::newRow("if a control has a value")
            << yes + Answers{{u"Kind"_s, kindText(Go)}, {u"GoTarget"_s, u"End"_s}, {u"Conditional"_s, u"True"_s},
                             {u"ConditionKind"_s, LoadResString(34069)}, {u"ConditionControl"_s, u"Age"_s},
                             {u"ConditionValue"_s, u"18-"_s}}
            << u"No\t!IF [[Age]]=\"18-\"\t!GO End\t!ENDIF"_s
            << QStringList{u"^Yes"_s, u"!GO End"_s, u"^No"_s, u"!IF [[Age]]=\"18-\""_s, u"!GO End"_s, u"!ENDIF"_s};
        QTest::newRow("if an expression holds, before any answer")
            << ahead + Answers{{u"Kind"_s, kindText(Kill)}, {u"KillSelector"_s, u"Cars"_s},
                               {u"KillTest"_s, u"Seats < 5"_s}, {u"Conditional"_s, u"True"_s},
                               {u"ConditionKind"_s, LoadResString(34070)}, {u"ConditionExpression"_s, u"[[Age]] > 60"_s}}
            << u"_PREACTION\t!IF [[Age]] > 60\t!KILL Cars : Seats < 5\t!ENDIF"_s
            << QStringList{u"!IF [[Age]] > 60"_s, u"!KILL Cars : Seats < 5"_s, u"!ENDIF"_s, u"^Yes"_s, u"!GO End"_s,
                           u"^No"_s};
        // Not written: nothing changes.
        const QStringList unchanged{u"^Yes"_s, u"!GO End"_s, u"^No"_s};
        QTest::newRow("sort without a key")
            << yes + Answers{{u"Kind"_s, kindText(Sort)}, {u"SortSelector"_s, u"Cars"_s}, {u"Conditional"_s, u"False"_s}}
            << QString() << unchanged;
    }
    void actionAnswers()
    {
        QFETCH(Answers, given);
        QFETCH(QString, saved);
        QFETCH(QStringList, lines);
        WizardProject project;
        QString problem;
        const std::unique_ptr<WizardTree> wizard = ActionWizard::tree(project.decisions, project.selectors, QString(), problem);
        QVERIFY2(wizard, qPrintable(problem));
        RuntimeEngine engine;
        const ActionWizard::NewAction action = ActionWizard::read(play(*wizard, given, engine), project.decisions);
        // The answers offered were the chosen control's own.
        const SelectorTable* offered = engine.selector(u"Answers"_s);
        QVERIFY(offered);
        QStringList remaining;
        for (const int item : offered->remaining())
            remaining.append(offered->itemName(item));
        const QString control = given.front().second;
        const CmDecisionItem* target = project.decisions.Item(control);
        QStringList expected{control + u": "_s + LoadResString(34044)};
        for (const QString& line : target->OptsAndActs()) {
            if (line.startsWith(u'^'))
                expected.append(control + u": "_s + line.mid(1));
        }
        QCOMPARE(remaining, expected);
        const QStringList original = target->OptsAndActs();

        QCOMPARE(action.problem.isEmpty(), !saved.isEmpty());
        if (!saved.isEmpty())
            QCOMPARE(ActionWizard::saveText(action), saved);
        QCOMPARE(ActionWizard::add(action, project.decisions), !saved.isEmpty());
        QCOMPARE(target->OptsAndActs(), lines);
        if (saved.isEmpty())
            return;
        project.undo.UndoCommand();
        QCOMPARE(target->OptsAndActs(), original);
    }
};

KV_REGISTER_TEST(WizardsTest)
#include "tst_Wizards.moc"
