#include "VcsProjects.h"
#include "common/TestRegistry.h"
#include "vcs/LineMerge.h"
#include "vcs/ProjectText.h"
#include "vcs/ProjectTextWriter.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The text form: what is written reads back to the same project, the same project always gives
// the same bytes, and one change touches only its own lines.
class TestProjectText : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;

    // The lines one text has and the other has not, each side's in order.
    static std::pair<QStringList, QStringList> changedLines(const QString& before, const QString& after)
    {
        QStringList removed;
        QStringList added;
        for (const LineMerge::Edit& edit : LineMerge::Diff(before.split(QLatin1Char('\n')), after.split(QLatin1Char('\n')))) {
            if (edit.kind == LineMerge::Edit::Kind::Removed)
                removed.append(edit.line);
            else if (edit.kind == LineMerge::Edit::Kind::Added)
                added.append(edit.line);
        }
        return {removed, added};
    }

private slots:
    void readsBackWhatItWrote()
    {
        ProjectData project = VcsProjects::generated(60);
        QVERIFY(!project.controls.empty());
        // Values that need their escapes, and a default of each kind.
        ControlData& control = project.controls.front();
        control.setValue(ControlProperties::Header, QStringLiteral("C:\\new\\ folder \\\\ end\\"));
        control.setValue(ControlProperties::DefaultText, QString());
        control.lines.append(QStringLiteral("  indented\r\nline with \\r inside"));
        project.controls.at(1).setValue(ControlProperties::DefaultNumber, QStringLiteral("0.1"));
        project.selectors.back().rows.append({QString()});
        project.externalSelectors.push_back({QStringLiteral("Stock"), {QStringLiteral("items"), QStringLiteral("shop.db")}});

        const QString text = ProjectText::Write(project);
        ProjectData read;
        const std::optional<QString> problem = ProjectText::Read(text, read);
        QVERIFY2(!problem, qPrintable(problem.value_or(QString())));
        QCOMPARE(ProjectText::Write(read), text);
        QVERIFY(read == project);
        QCOMPARE(read.controls.front().value(ControlProperties::Header)->toStdString(),
                 QStringLiteral("C:\\new\\ folder \\\\ end\\").toStdString());
        QVERIFY(read.controls.front().value(ControlProperties::DefaultText));
        QVERIFY(read.controls.front().value(ControlProperties::DefaultText)->isEmpty());

        // Text the writer does not foresee in its first buffer (journeys only) still comes whole.
        ProjectData journeysOnly;
        for (int i = 0; i < 300; ++i)
            journeysOnly.journeys.append(project.journeys.at(i % 2));
        for (int i = 0; i < 300; ++i)
            journeysOnly.journeys[i].name += QString::number(i);
        const QString longText = ProjectText::Write(journeysOnly);
        QVERIFY(longText.size() > 20000);
        ProjectData readBack;
        QVERIFY(!ProjectText::Read(longText, readBack));
        QVERIFY(readBack == journeysOnly);
    }

    // Through a real file: the project saved and read back gives the same text, twice over.
    void aSavedProjectGivesTheSameText()
    {
        const ProjectData project = VcsProjects::generated(120);
        const QString path = m_folder.filePath(QStringLiteral("generated.kvp"));
        const QString problem = VcsProjects::save(project, path);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        const std::optional<ProjectData> first = VcsProjects::load(path);
        const std::optional<ProjectData> second = VcsProjects::load(path);
        QVERIFY(first && second);
        QCOMPARE(ProjectText::Write(*first), ProjectText::Write(project));
        QCOMPARE(ProjectText::Write(*second), ProjectText::Write(*first));
        // The pictures came back with their bytes.
        QCOMPARE(first->pictures.back().bytes, project.pictures.back().bytes);
    }

    // The streamed text is the UTF-8 the text used to be printed as (a text stream's bytes of
    // Write's text), wherever its blocks end and whatever the values hold.
    void streamsTheBytesOfTheText_data()
    {
        QTest::addColumn<int>("controls");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("name");
        const QString highAlone(QChar(0xD83D));
        const QString lowAlone(QChar(0xDE00));
        QTest::newRow("ASCII") << 60 << QStringLiteral("Plain") << QStringLiteral("Plain");
        QTest::newRow("escapes") << 60 << QStringLiteral("C:\\new\r\n \\ end\\\r\n") << QStringLiteral("a\\n");
        QTest::newRow("beyond ASCII") << 60 << QStringLiteral("Größe in € – 日本語 😀 ok") << QStringLiteral("Größe");
        QTest::newRow("lone surrogates") << 60 << (QStringLiteral("end ") + highAlone) << (lowAlone + QStringLiteral("start"));
        QTest::newRow("escape after a non-ASCII letter") << 60 << QStringLiteral("é\\n\r") << QStringLiteral("ü\\r");
        QTest::newRow("a value longer than a block") << 60 << (QString(300'000, QLatin1Char('x')) + QStringLiteral("ä")) << QStringLiteral("Long");
        QTest::newRow("a value of many letters beyond ASCII") << 60 << QString(200'000, QChar(0x20AC)) << QStringLiteral("Euro");
        QTest::newRow("many blocks") << 3000 << QStringLiteral("Größe") << QStringLiteral("Name");
    }

    void streamsTheBytesOfTheText()
    {
        QFETCH(int, controls);
        QFETCH(QString, header);
        QFETCH(QString, name);
        ProjectData project = VcsProjects::generated(controls);
        project.controls.front().setValue(ControlProperties::Header, header);
        project.controls.back().name = name;
        project.controls.back().lines.append(header);
        project.settings.append({QStringLiteral("name"), name});
        project.externalSelectors.push_back({name, {header}});

        QByteArray expected;
        {
            QTextStream printed(&expected);
            printed << ProjectText::Write(project);
        }
        QBuffer streamed;
        QVERIFY(streamed.open(QIODevice::WriteOnly));
        QString error;
        QVERIFY2(ProjectTextWriter::Write(project, streamed, error), qPrintable(error));
        QCOMPARE(streamed.data().size(), expected.size());
        QVERIFY(streamed.data() == expected);
    }

    // A device that refuses the text says so; nothing pretends it was written.
    void aRefusedWriteIsAnError()
    {
        QFile full(QStringLiteral("/dev/full"));
        if (!full.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            QSKIP("no /dev/full here");
        QString error;
        QVERIFY(!ProjectTextWriter::Write(VcsProjects::generated(2000), full, error));
        QVERIFY(!error.isEmpty());
        QBuffer readOnly;
        QVERIFY(readOnly.open(QIODevice::ReadOnly));
        QVERIFY(!ProjectTextWriter::Write(VcsProjects::generated(3), readOnly, error));
    }

    void oneChangeTouchesItsOwnLines_data()
    {
        QTest::addColumn<int>("change");
        QTest::addColumn<QString>("removedLine");
        QTest::addColumn<QString>("addedLine");
        QTest::newRow("caption") << 0 << "  caption: Question 2: which one?" << "  caption: Which colour?";
        QTest::newRow("one option line") << 1 << "    ^Red, dark" << "    ^Red, very dark";
        QTest::newRow("selector cell") << 2 << "  Model 3,625,1.3," << "  Model 3,599,1.3,";
        QTest::newRow("a place") << 3 << "  7: 843.5 0 92 36" << "  7: 900 40 92 36";
        QTest::newRow("a setting") << 4 << "  file type: 3" << "  file type: 1";
    }

    void oneChangeTouchesItsOwnLines()
    {
        QFETCH(int, change);
        QFETCH(QString, removedLine);
        QFETCH(QString, addedLine);
        const ProjectData before = VcsProjects::generated(30);
        ProjectData after = before;
        ControlData& second = after.controls.at(1);
        switch (change) {
        case 0: second.setValue(ControlProperties::Caption, QStringLiteral("Which colour?")); break;
        case 1: second.lines.replace(second.lines.indexOf(QStringLiteral("^Red, dark")), QStringLiteral("^Red, very dark")); break;
        case 2: after.selectors.back().rows[3][1] = QStringLiteral("599"); break;
        case 3: after.layout[7] = QRectF(900, 40, 92, 36); break;
        default: after.settings[1].second = QStringLiteral("1"); break;
        }
        const auto [removed, added] = changedLines(ProjectText::Write(before), ProjectText::Write(after));
        QCOMPARE(removed, QStringList{removedLine});
        QCOMPARE(added, QStringList{addedLine});
    }

    void refusesWhatIsNotProjectText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason");
        const QString first = ProjectText::FirstLine + QLatin1Char('\n');
        QTest::newRow("no first line") << "control 1 A\n" << "line 1:";
        QTest::newRow("number out of range") << first + "control 40000 A\n" << "line 2: a control needs its number";
        QTest::newRow("number twice") << first + "control 1 A\n\ncontrol 1 B\n" << "line 4: control 1 is there twice";
        QTest::newRow("unknown property") << first + "control 1 A\n  colour: red\n" << "line 3: \"colour: red\" is no property";
        QTest::newRow("property out of order") << first + "control 1 A\n  caption: x\n  interface: List\n"
                                                << "line 4: the property \"interface\" is out of its order";
        QTest::newRow("property after lines") << first + "control 1 A\n    ^Yes\n  caption: x\n" << "line 4: a property after";
        QTest::newRow("no blank line between blocks") << first + "control 1 A\ncontrol 2 B\n" << "line 3: a block begins";
        QTest::newRow("bad layout") << first + "layout\n  3: 1 2 three 4\n" << "line 3: a layout line";
        QTest::newRow("open quote in a row") << first + "selector S\n  \"open,cell\n" << "line 3: a selector row";
        QTest::newRow("journey") << first + "journey J\n  expect end: sideways\n" << "line ";
    }

    void refusesWhatIsNotProjectText()
    {
        QFETCH(QString, text);
        QFETCH(QString, reason);
        ProjectData project;
        const std::optional<QString> problem = ProjectText::Read(text, project);
        QVERIFY(problem);
        QVERIFY2(problem->startsWith(reason), qPrintable(*problem));
    }
};

KV_REGISTER_TEST(TestProjectText)
#include "tst_ProjectText.moc"
