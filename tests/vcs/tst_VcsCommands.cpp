#include "VcsProjects.h"
#include "cli/CliRun.h"
#include "common/TestRegistry.h"
#include "vcs/ProjectText.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The commands' arguments, exit codes and files, on small projects saved for the purpose.
class TestVcsCommands : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;

    using Outcome = CliRun::Outcome;
    static Outcome run(const QStringList& args) { return CliRun::run(args); }

    QString path(const QString& name) const { return m_folder.filePath(name); }

private slots:
    // base: the generated project; ours: a caption changed; theirs: the same caption another way
    // and a cell of a selector.
    void initTestCase()
    {
        const ProjectData base = VcsProjects::generated(12);
        ProjectData ours = base;
        ours.controls.at(2).setValue(ControlProperties::Caption, QStringLiteral("Ours"));
        ProjectData theirs = base;
        theirs.controls.at(2).setValue(ControlProperties::Caption, QStringLiteral("Theirs"));
        theirs.selectors.back().rows[1][1] = QStringLiteral("399");
        for (const auto& [name, project] : {std::pair{QStringLiteral("base.kvp"), base}, {QStringLiteral("ours.kvp"), ours},
                                            {QStringLiteral("theirs.kvp"), theirs}}) {
            const QString problem = VcsProjects::save(project, path(name));
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        }
        QFile empty(path(QStringLiteral("empty")));
        QVERIFY(empty.open(QIODevice::WriteOnly));
    }

    void wrongArgumentsAreUsageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("text of two") << QStringList{"text", "a.kvp", "b.kvp"};
        QTest::newRow("diff of one") << QStringList{"diff", "a.kvp"};
        QTest::newRow("diff with an option") << QStringList{"diff", "--bogus", "a.kvp"};
        QTest::newRow("merge of two") << QStringList{"merge", "a.kvp", "b.kvp"};
        QTest::newRow("merge with -o twice") << QStringList{"merge", "a", "b", "c", "-o", "x", "-o", "y"};
        QTest::newRow("merge with -o last") << QStringList{"merge", "a", "b", "c", "-o"};
    }

    void wrongArgumentsAreUsageErrors()
    {
        QFETCH(QStringList, args);
        const Outcome outcome = run(args);
        QCOMPARE(outcome.code, 2);
        QVERIFY(outcome.err.contains(QLatin1String("Usage: kestrova ")));
    }

    void diffExitsOneWhenTheProjectsDiffer()
    {
        QCOMPARE(run({"diff", path("base.kvp"), path("base.kvp")}).code, 0);
        const Outcome changed = run({"diff", path("base.kvp"), path("theirs.kvp")});
        QCOMPARE(changed.code, 1);
        QVERIFY2(changed.out.contains(QLatin1String("changed selector Laptops\n  changed row Model 1\n")), qPrintable(changed.out));
        // As git calls it, with no old file: everything added, and exit 0.
        const Outcome fromGit = run({"diff", "laptops.kvp", "/dev/null", ".", ".", path("base.kvp"), "0123", "100644"});
        QCOMPARE(fromGit.code, 0);
        QVERIFY(fromGit.out.startsWith(QLatin1String("diff --kestrova a/laptops.kvp b/laptops.kvp\n")));
        QVERIFY(fromGit.out.contains(QLatin1String("added control 12 Step12\n")));
        QCOMPARE(run({"diff", path("missing.kvp"), path("base.kvp")}).code, 1);
    }

    // With -o the result goes there and ours stays; the conflict is on stderr and in the log
    // beside the result.
    void mergeWritesTheResultWhereTold()
    {
        QFile oursFile(path("ours.kvp"));
        QVERIFY(oursFile.open(QIODevice::ReadOnly));
        const QByteArray oursBefore = oursFile.readAll();
        oursFile.close();
        const Outcome merged = run({"merge", path("base.kvp"), path("ours.kvp"), path("theirs.kvp"), "-o", path("merged.kvp")});
        QCOMPARE(merged.code, 1);
        QVERIFY2(merged.err.contains(QLatin1String("conflict: control 3 Step3: caption: ours Ours, theirs Theirs (ours kept)")),
                 qPrintable(merged.err));
        QVERIFY(oursFile.open(QIODevice::ReadOnly));
        QCOMPARE(oursFile.readAll(), oursBefore);
        const std::optional<ProjectData> result = VcsProjects::load(path("merged.kvp"));
        QVERIFY(result);
        QCOMPARE(*result->controls.at(2).value(ControlProperties::Caption), QStringLiteral("Ours"));
        QCOMPARE(result->selectors.back().rows[1][1], QStringLiteral("399"));
        QFile log(path("merged.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray logged = log.readAll();
        QVERIFY2(logged.startsWith("Error. Both sides changed this differently; the merge kept ours.\r\n\tSource: control 3 Step3.caption\r\n"),
                 logged.constData());
    }

    // The text is streamed to the real output: one that takes no more is an error with the
    // project named, not a text cut short that exits 0.
    void textToAFullDeviceFails()
    {
        if (!QFileInfo::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full here");
        QProcess process;
        process.setStandardOutputFile(QStringLiteral("/dev/full"));
        process.start(QStringLiteral(KV_CLI_PATH), {QStringLiteral("text"), path(QStringLiteral("base.kvp"))});
        QVERIFY(process.waitForFinished(60'000));
        QCOMPARE(process.exitCode(), 1);
        const QString error = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(error.startsWith(path(QStringLiteral("base.kvp")) + QLatin1String(": ")), qPrintable(error));

        // Printed to a real file, the bytes are the text form's.
        QProcess printing;
        printing.setStandardOutputFile(path(QStringLiteral("base.txt")));
        printing.start(QStringLiteral(KV_CLI_PATH), {QStringLiteral("text"), path(QStringLiteral("base.kvp"))});
        QVERIFY(printing.waitForFinished(60'000));
        QCOMPARE(printing.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(CliRun::readFile(path(QStringLiteral("base.txt")))), run({"text", path("base.kvp")}).out);
    }

    // A file both branches added has no base: git gives an empty file for it.
    void anEmptyBaseIsAProjectWithNothing()
    {
        const Outcome merged = run({"merge", path("empty"), path("theirs.kvp"), path("theirs.kvp"), "-o", path("same.kvp")});
        QCOMPARE(merged.code, 0);
        QCOMPARE(run({"diff", path("theirs.kvp"), path("same.kvp")}).out,
                 QStringLiteral("changed project settings\n  name\n    - theirs\n    + same\n"));
        QCOMPARE(run({"text", path("empty")}).code, 1);
    }
};

KV_REGISTER_TEST(TestVcsCommands)
#include "tst_VcsCommands.moc"
