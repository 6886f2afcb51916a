#include "VcsProjects.h"
#include "common/TestRegistry.h"
#include "vcs/MergeValidation.h"
#include "vcs/ProjectDiff.h"
#include "vcs/ProjectMerge.h"
#include "vcs/ProjectText.h"
#include "vcs/ReferenceUpdate.h"

#include <QTest>

// The merge and the diff on small hand-made projects: each rule seen once.
class TestProjectMerge : public QObject {
    Q_OBJECT

    static ControlData control(qint16 id, const QString& name, const QStringList& lines = {},
                               const QString& caption = QString())
    {
        ControlData made;
        made.id = id;
        made.name = name;
        made.setValue(ControlProperties::Interface, QStringLiteral("Radio"));
        if (!caption.isEmpty())
            made.setValue(ControlProperties::Caption, caption);
        made.lines = lines;
        return made;
    }

    // Welcome goes to Budget; Budget has two options; Summary shows Budget and refers to it.
    static ProjectData base()
    {
        ProjectData project;
        project.settings = {{QStringLiteral("name"), QStringLiteral("shop")}, {QStringLiteral("file type"), QStringLiteral("0")}};
        project.controls.push_back(control(1, QStringLiteral("Welcome"), {QStringLiteral("!GO Budget")}));
        project.controls.push_back(control(2, QStringLiteral("Budget"),
                                           {QStringLiteral("^Low"), QStringLiteral("!GO Summary"), QStringLiteral("^High"),
                                            QStringLiteral("!SET [[Summary]] = \"rich\""), QStringLiteral("!GO Summary")},
                                           QStringLiteral("Budget")));
        ControlData summary = control(3, QStringLiteral("Summary"), {QStringLiteral("!IF [[Budget]] = \"High\""),
                                                                     QStringLiteral("!GO 2"), QStringLiteral("!ENDIF")});
        summary.setValue(ControlProperties::Header, QStringLiteral("You chose [[Budget]]."));
        summary.setValue(ControlProperties::Shows, QStringLiteral("BUDGET"));
        project.controls.push_back(summary);
        for (qint16 id = 1; id <= 3; ++id)
            project.layout[id] = QRectF(100, id * 100, 92, 36);
        project.selectors.push_back({QStringLiteral("laptops"),
                                     {{QStringLiteral("Name"), QStringLiteral("Price")},
                                      {QStringLiteral("Kite"), QStringLiteral("500")},
                                      {QStringLiteral("Lumen"), QStringLiteral("1200")}}});
        return project;
    }

    static ControlData& named(ProjectData& project, const QString& name)
    {
        for (ControlData& each : project.controls) {
            if (each.name == name)
                return each;
        }
        qFatal("no control %s", qPrintable(name));
    }

    // A rename as the tree makes it: the control and every reference.
    static void rename(ProjectData& project, const QString& from, const QString& to)
    {
        ReferenceUpdate update;
        update.add(from, to);
        update.applyTo(project);
        named(project, from).name = to;
    }

private slots:
    void aRenameAndAnEditOnTheOtherSideBothLand()
    {
        const ProjectData start = base();
        ProjectData ours = start;
        rename(ours, QStringLiteral("Budget"), QStringLiteral("Price"));
        ours.layout[1] = QRectF(300, 100, 92, 36);
        ProjectData theirs = start;
        named(theirs, QStringLiteral("Budget")).setValue(ControlProperties::Caption, QStringLiteral("Your budget"));
        named(theirs, QStringLiteral("Budget")).lines.append({QStringLiteral("^Any"), QStringLiteral("!GO Summary")});
        // A new line that names the control theirs knows as Budget.
        named(theirs, QStringLiteral("Welcome")).lines.append(QStringLiteral("!SET Budget=1"));
        theirs.selectors.front().rows.append({QStringLiteral("Aero"), QStringLiteral("900")});

        const MergeOutcome outcome = ProjectMerge::Merge(start, ours, theirs);
        QVERIFY2(outcome.conflicts.isEmpty(), qPrintable(outcome.conflicts.value(0).text()));
        ProjectData expected = theirs;
        rename(expected, QStringLiteral("Budget"), QStringLiteral("Price"));
        expected.layout[1] = QRectF(300, 100, 92, 36);
        QCOMPARE(ProjectText::Write(outcome.merged), ProjectText::Write(expected));
        QCOMPARE(outcome.merged.control(1)->lines.last(), QStringLiteral("!SET Price=1"));
    }

    void theSamePropertyChangedTwoWaysKeepsOurs_data()
    {
        QTest::addColumn<int>("change");
        QTest::addColumn<QString>("property");
        QTest::newRow("caption") << 0 << "caption";
        QTest::newRow("the same option line") << 1 << "options and actions";
        QTest::newRow("name") << 2 << "name";
        QTest::newRow("place") << 3 << "layout";
        QTest::newRow("selector cell") << 4 << "row Kite, Price";
        QTest::newRow("removed and changed") << 5 << "control";
        QTest::newRow("setting") << 6 << "file type";
    }

    void theSamePropertyChangedTwoWaysKeepsOurs()
    {
        QFETCH(int, change);
        QFETCH(QString, property);
        const ProjectData start = base();
        ProjectData sides[2] = {start, start};
        for (int side = 0; side < 2; ++side) {
            ProjectData& project = sides[side];
            const QString value = side == 0 ? QStringLiteral("ours") : QStringLiteral("theirs");
            ControlData& budget = named(project, QStringLiteral("Budget"));
            switch (change) {
            case 0: budget.setValue(ControlProperties::Caption, value); break;
            case 1: budget.lines[1] = QStringLiteral("!GO ") + value; break;
            case 2: rename(project, QStringLiteral("Budget"), value); break;
            case 3: project.layout[2] = QRectF(side * 50, 0, 92, 36); break;
            case 4: project.selectors.front().rows[1][1] = value; break;
            case 5:
                if (side == 0)
                    budget.setValue(ControlProperties::Caption, value);
                else
                    std::erase_if(project.controls, [](const ControlData& each) { return each.id == 2; });
                break;
            default: project.settings[1].second = QString::number(side + 1); break;
            }
        }
        const MergeOutcome outcome = ProjectMerge::Merge(start, sides[0], sides[1]);
        QCOMPARE(outcome.conflicts.size(), 1);
        QCOMPARE(outcome.conflicts.front().property, property);
        QCOMPARE(ProjectText::Write(outcome.merged), ProjectText::Write(sides[0]));
    }

    void controlsAddedUnderOneNumberAreRenumberedOnTheirSide()
    {
        const ProjectData start = base();
        ProjectData ours = start;
        ours.controls.push_back(control(4, QStringLiteral("Extras"), {QStringLiteral("!GO Summary")}));
        ours.layout[4] = QRectF(0, 0, 92, 36);
        ProjectData theirs = start;
        // Theirs' new control refers to itself by number, and another of theirs refers to it.
        theirs.controls.push_back(control(4, QStringLiteral("Delivery"), {QStringLiteral("^Fast"), QStringLiteral("!GO 4")}));
        theirs.layout[4] = QRectF(500, 500, 92, 36);
        named(theirs, QStringLiteral("Summary")).lines.append(QStringLiteral("!IF [[4]] = \"Fast\""));

        const MergeOutcome outcome = ProjectMerge::Merge(start, ours, theirs);
        QVERIFY(outcome.conflicts.isEmpty());
        QCOMPARE(outcome.renumbered, (QList<std::pair<qint16, qint16>>{{4, 5}}));
        const ControlData* delivery = outcome.merged.control(5);
        QVERIFY(delivery && delivery->name == QLatin1String("Delivery"));
        QCOMPARE(delivery->lines.last(), QStringLiteral("!GO 5"));
        QCOMPARE(outcome.merged.control(3)->lines.last(), QStringLiteral("!IF [[5]] = \"Fast\""));
        QCOMPARE(outcome.merged.control(4)->name, QStringLiteral("Extras"));
        QCOMPARE(outcome.merged.layout.at(5), QRectF(500, 500, 92, 36));
        QCOMPARE(outcome.merged.layout.at(4), QRectF(0, 0, 92, 36));
        // Ours' addition first, then theirs'.
        QCOMPARE(outcome.merged.controls.back().id, 5);
    }

    void aNameBothSidesGiveTwoControlsStaysOurs()
    {
        const ProjectData start = base();
        ProjectData ours = start;
        rename(ours, QStringLiteral("Summary"), QStringLiteral("Total"));
        ProjectData theirs = start;
        rename(theirs, QStringLiteral("Budget"), QStringLiteral("Total"));
        const MergeOutcome outcome = ProjectMerge::Merge(start, ours, theirs);
        QCOMPARE(outcome.conflicts.size(), 1);
        QCOMPARE(outcome.merged.control(3)->name, QStringLiteral("Total"));
        QCOMPARE(outcome.merged.control(2)->name, QStringLiteral("Budget"));
        // Theirs' references to its renamed control went back with the name.
        QCOMPARE(outcome.merged.control(1)->lines, QStringList{QStringLiteral("!GO Budget")});
    }

    void namesTradingPlacesAreCarriedOverInOneStep()
    {
        const ProjectData start = base();
        ProjectData ours = start;
        ReferenceUpdate swap;
        swap.add(QStringLiteral("Budget"), QStringLiteral("Summary"));
        swap.add(QStringLiteral("Summary"), QStringLiteral("Budget"));
        swap.applyTo(ours);
        ours.controls[1].name = QStringLiteral("Summary");
        ours.controls[2].name = QStringLiteral("Budget");
        QCOMPARE(ours.controls[1].lines.at(1), QStringLiteral("!GO Budget"));
        QCOMPARE(*ours.controls[2].value(ControlProperties::Header), QStringLiteral("You chose [[Summary]]."));
        const MergeOutcome outcome = ProjectMerge::Merge(start, ours, start);
        QVERIFY(outcome.conflicts.isEmpty());
        QCOMPARE(ProjectText::Write(outcome.merged), ProjectText::Write(ours));
    }

    // A control removed on one side and a new line on the other that goes to it: no conflict,
    // but the merged tree refers to a control it no longer has.
    void saysWhichValidationErrorsTheMergeCaused()
    {
        StartUpTables::Fill();
        const ProjectData start = base();
        ProjectData ours = start;
        std::erase_if(ours.controls, [](const ControlData& each) { return each.id == 3; });
        ours.layout.erase(3);
        named(ours, QStringLiteral("Budget")).lines = {QStringLiteral("^Low"), QStringLiteral("!GO Welcome")};
        ProjectData theirs = start;
        named(theirs, QStringLiteral("Welcome")).lines.append(QStringLiteral("!SET [[Summary]] = \"seen\""));
        const MergeOutcome outcome = ProjectMerge::Merge(start, ours, theirs);
        QVERIFY(outcome.conflicts.isEmpty());
        const QList<ValidationFindings::Entry> caused = MergeValidation::CausedErrors(ours, theirs, outcome.merged);
        QVERIFY(!caused.isEmpty());
        QVERIFY2(caused.front().location.contains(QLatin1String("Welcome")), qPrintable(caused.front().text()));
        QVERIFY(MergeValidation::CausedErrors(ours, theirs, ours).isEmpty());
    }

    void diffTellsWhatChangedByControlAndProperty()
    {
        const ProjectData start = base();
        ProjectData after = start;
        rename(after, QStringLiteral("Budget"), QStringLiteral("Price"));
        named(after, QStringLiteral("Price")).setValue(ControlProperties::Caption, QStringLiteral("Price"));
        named(after, QStringLiteral("Price")).lines.append(QStringLiteral("^Any"));
        after.controls.push_back(control(4, QStringLiteral("Extras")));
        after.selectors.front().rows[2][1] = QStringLiteral("1100");
        after.selectors.front().rows.append({QStringLiteral("Aero"), QStringLiteral("900")});
        after.layout[1] = QRectF(0, 0, 92, 36);
        after.layout[3] = QRectF(0, 0, 92, 36);
        const QString expected = QStringLiteral(
            "renamed control 2 Budget to Price\n"
            "  references updated in: Welcome, Summary\n"
            "changed control 2 Price\n"
            "  caption\n"
            "    - Budget\n"
            "    + Price\n"
            "  options and actions\n"
            "    + ^Any\n"
            "added control 4 Extras\n"
            "  + interface: Radio\n"
            "changed selector laptops\n"
            "  changed row Lumen\n"
            "    - Lumen,1200\n"
            "    + Lumen,1100\n"
            "  added row: Aero,900\n"
            "layout: 2 controls moved\n");
        QCOMPARE(ProjectDiff::Describe(start, after), expected);
        QVERIFY(ProjectDiff::Describe(start, start).isEmpty());
        QVERIFY(ProjectDiff::Entries(start, start).isEmpty());
        // Entry by entry, each with the control it is about: the same text, grouped.
        const QList<ProjectDiff::Entry> entries = ProjectDiff::Entries(start, after);
        QString joined;
        QList<int> controls;
        for (const ProjectDiff::Entry& entry : entries) {
            joined += entry.title + QLatin1Char('\n');
            for (const QString& line : entry.lines)
                joined += QLatin1String("  ") + line + QLatin1Char('\n');
            controls.append(entry.control);
        }
        QCOMPARE(joined, expected);
        QCOMPARE(controls, (QList<int>{2, 2, 4, -1, -1}));
        QCOMPARE(entries.at(1).lines.at(1), QStringLiteral("  - Budget"));
        // A control given its first name, and one whose name was taken away.
        ProjectData renamed = start;
        renamed.controls[0].name.clear();
        QCOMPARE(ProjectDiff::Describe(renamed, start), QStringLiteral("named control 1 Welcome\n"));
        QCOMPARE(ProjectDiff::Describe(start, renamed), QStringLiteral("unnamed control 1 Welcome\n"));
        QCOMPARE(ProjectDiff::Entries(start, renamed).value(0).control, 1);
        ProjectData removed = start;
        removed.controls.erase(removed.controls.begin() + 1);
        QCOMPARE(ProjectDiff::Entries(start, removed).value(0).control, 2);
    }
};

KV_REGISTER_TEST(TestProjectMerge)
#include "tst_ProjectMerge.moc"
