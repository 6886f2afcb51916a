#include "VcsProjects.h"
#include "cli/GitSetupCommand.h"
#include "common/TestRegistry.h"
#include "edit/CanvasModel.h"
#include "model/CmDecisionItem.h"
#include "selectors/SelectorStore.h"
#include "vcs/ProjectText.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// The sample project in a real git repository, as a new user would use it: kestrova git-setup,
// two branches that each change the project, and git merging them through the driver.
class TestGitMerge : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    QString m_repository;
    QString m_project;

    struct Run {
        int code = -1;
        QString out;
        QString err;
    };

    Run run(const QString& program, const QStringList& args) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // Nothing of the user's own git configuration takes part.
        environment.insert(QStringLiteral("HOME"), m_folder.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_folder.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("GIT_CONFIG_NOSYSTEM"), QStringLiteral("1"));
        environment.insert(QStringLiteral("GIT_AUTHOR_NAME"), QStringLiteral("Ann Example"));
        environment.insert(QStringLiteral("GIT_AUTHOR_EMAIL"), QStringLiteral("ann@example.test"));
        environment.insert(QStringLiteral("GIT_COMMITTER_NAME"), QStringLiteral("Ann Example"));
        environment.insert(QStringLiteral("GIT_COMMITTER_EMAIL"), QStringLiteral("ann@example.test"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(m_repository);
        process.start(program, args);
        Run result;
        if (!process.waitForFinished(120'000))
            return result;
        result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    Run git(const QStringList& args) const { return run(QStringLiteral("git"), args); }
    Run kestrova(const QStringList& args) const { return run(QStringLiteral(KV_CLI_PATH), args); }

    bool commitAll(const QString& message) const
    {
        return git({QStringLiteral("add"), QStringLiteral("-A")}).code == 0
            && git({QStringLiteral("commit"), QStringLiteral("-q"), QStringLiteral("-m"), message}).code == 0;
    }

    // A change made as the Designer makes it: through the project's own model, then saved.
    template <typename Change>
    bool edit(Change change) const
    {
        QString errors;
        QTextStream err(&errors);
        ProjectSession session(err);
        if (!session.Open(m_project))
            return false;
        change(session);
        return session.Save();
    }

    std::optional<ProjectData> text() const
    {
        const Run printed = kestrova({QStringLiteral("text"), m_project});
        ProjectData project;
        if (printed.code != 0 || ProjectText::Read(printed.out, project))
            return std::nullopt;
        return project;
    }

    static const ControlData* named(const ProjectData& project, const QString& name)
    {
        for (const ControlData& control : project.controls) {
            if (control.name == name)
                return &control;
        }
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("git")).isEmpty())
            QSKIP("git is not installed");
        QVERIFY2(QFileInfo::exists(QStringLiteral(KV_CLI_PATH)), "the kestrova program is built before this test");
        m_repository = m_folder.filePath(QStringLiteral("shop"));
        QVERIFY(QDir().mkpath(m_repository));
        m_project = QDir(m_repository).filePath(QStringLiteral("laptops.kvp"));
        QCOMPARE(git({QStringLiteral("init"), QStringLiteral("-q"), QStringLiteral("-b"), QStringLiteral("main")}).code, 0);
        const Run setup = kestrova({QStringLiteral("git-setup")});
        QCOMPARE(setup.code, 0);
        QVERIFY2(setup.out.contains(GitSetupCommand::AttributesLine()), qPrintable(setup.out));
        QVERIFY2(setup.out.contains(QLatin1String("merge.kestrova.driver")), qPrintable(setup.out));
        // Run again, it adds nothing twice.
        QCOMPARE(kestrova({QStringLiteral("git-setup")}).code, 0);
        QFile attributes(QDir(m_repository).filePath(QStringLiteral(".gitattributes")));
        QVERIFY(attributes.open(QIODevice::ReadOnly));
        QCOMPARE(attributes.readAll(), GitSetupCommand::AttributesLine().toUtf8() + '\n');

        const QString examples = QStringLiteral(KV_SOURCE_DIR "/examples/");
        QCOMPARE(kestrova({QStringLiteral("from-rules"), examples + QStringLiteral("laptop-selector.rules"), QStringLiteral("-o"), m_project}).code, 0);
        QCOMPARE(kestrova({QStringLiteral("selector"), QStringLiteral("import"), m_project, examples + QStringLiteral("laptops.csv")}).code, 0);
        QCOMPARE(kestrova({QStringLiteral("journeys"), QStringLiteral("import"), m_project,
                           examples + QStringLiteral("laptop-selector.journeys.txt")}).code, 0);
        QVERIFY(commitAll(QStringLiteral("The sample")));
    }

    // A repository's .gitattributes that is a link is neither read nor written through.
    void aLinkedAttributesFileIsRefused()
    {
        const QString kept = m_repository;
        m_repository = m_folder.filePath(QStringLiteral("linked"));
        QVERIFY(QDir().mkpath(m_repository));
        QCOMPARE(git({QStringLiteral("init"), QStringLiteral("-q")}).code, 0);
        const QString victim = m_folder.filePath(QStringLiteral("secret.txt"));
        QFile secret(victim);
        QVERIFY(secret.open(QIODevice::WriteOnly) && secret.write("private\n") == 8);
        secret.close();
        const QString attributes = QDir(m_repository).filePath(QStringLiteral(".gitattributes"));
        QVERIFY(QFile::link(victim, attributes));
        const Run setup = kestrova({QStringLiteral("git-setup")});
        m_repository = kept;
        QCOMPARE(setup.code, 1);
        QVERIFY2(setup.err.contains(attributes), qPrintable(setup.err));
        QVERIFY(QFileInfo(attributes).isSymLink());
        QVERIFY(secret.open(QIODevice::ReadOnly));
        QCOMPARE(secret.readAll(), QByteArray("private\n"));
    }

    void twoBranchesMergeThroughTheDriver()
    {
        const std::optional<ProjectData> before = text();
        QVERIFY(before);
        const ControlData* budget = named(*before, QStringLiteral("Budget"));
        QVERIFY(budget);
        const qint16 budgetId = budget->id;

        // One author renames Budget and moves two controls.
        QCOMPARE(git({QStringLiteral("checkout"), QStringLiteral("-q"), QStringLiteral("-b"), QStringLiteral("rename")}).code, 0);
        QCOMPARE(kestrova({QStringLiteral("rename"), m_project, QStringLiteral("Budget"), QStringLiteral("Price")}).code, 0);
        QVERIFY(edit([](ProjectSession& session) {
            session.Canvas().MoveEntity(3, QPointF(640, 80));
            session.Canvas().MoveEntity(4, QPointF(700, 160));
        }));
        QVERIFY(commitAll(QStringLiteral("Budget is now Price; two controls moved")));

        // The other adds an option to Budget and a laptop.
        QCOMPARE(git({QStringLiteral("checkout"), QStringLiteral("-q"), QStringLiteral("main")}).code, 0);
        QCOMPARE(git({QStringLiteral("checkout"), QStringLiteral("-q"), QStringLiteral("-b"), QStringLiteral("options")}).code, 0);
        QVERIFY(edit([](ProjectSession& session) {
            CmDecisionItem* item = session.Decisions().Item(QStringLiteral("Budget"));
            QStringList lines = std::as_const(*item).OptsAndActs();
            lines << QStringLiteral("^5001-9000") << QStringLiteral("!GO MainUse");
            item->setOptsAndActs(lines);
            SelectorStore selectors(session.Document().Storage());
            QString table;
            (void)selectors.ReadText(QStringLiteral("laptops"), table);
            table += QStringLiteral("Nimbus 13,Nimbus,999,1.1,13.3,15,Office,Integrated,16,512,Linux,No\r\n");
            (void)selectors.WriteText(QStringLiteral("laptops"), table);
        }));
        QVERIFY(commitAll(QStringLiteral("An option for big budgets and a new laptop")));

        QCOMPARE(git({QStringLiteral("checkout"), QStringLiteral("-q"), QStringLiteral("rename")}).code, 0);
        const Run merged = git({QStringLiteral("merge"), QStringLiteral("--no-edit"), QStringLiteral("options")});
        QVERIFY2(merged.code == 0, qPrintable(merged.out + merged.err));
        QVERIFY2(!merged.err.contains(QLatin1String("conflict:")), qPrintable(merged.err));

        // Both changes, and the merged project opens and reads back.
        const std::optional<ProjectData> after = text();
        QVERIFY(after);
        const ControlData* price = after->control(budgetId);
        QVERIFY(price);
        QCOMPARE(price->name, QStringLiteral("Price"));
        QVERIFY(price->lines.contains(QStringLiteral("^5001-9000")));
        QVERIFY(!named(*after, QStringLiteral("Budget")));
        QCOMPARE(after->layout.at(3).topLeft(), QPointF(640, 80));
        QCOMPARE(after->layout.at(4).topLeft(), QPointF(700, 160));
        QCOMPARE(after->selectors.front().rows.last().first(), QStringLiteral("Nimbus 13"));
        QCOMPARE(after->journeys.size(), before->journeys.size());
        QCOMPARE(kestrova({QStringLiteral("validate"), m_project}).code, 0);
        // Opened for a change as the Designer opens it, with its diagram: both sides' changes.
        {
            QString errors;
            QTextStream err(&errors);
            ProjectSession session(err);
            QVERIFY2(session.Open(m_project), qPrintable(errors));
            const CmDecisionItem* opened = session.Decisions().Item(QStringLiteral("Price"));
            QVERIFY(opened);
            QVERIFY(opened->OptsAndActs().contains(QStringLiteral("^5001-9000")));
            QVERIFY(session.Canvas().Entity(3) && session.Canvas().Entity(4));
            QCOMPARE(session.Canvas().Entity(3)->centre, QPointF(640, 80));
            QCOMPARE(session.Canvas().Entity(4)->centre, QPointF(700, 160));
        }
        // The driver left nothing behind in the work tree: no lock, no part file, no log.
        QCOMPARE(git({QStringLiteral("status"), QStringLiteral("--porcelain"), QStringLiteral("--ignored")}).out, QString());

        // The history reads as text, and git diff as changes by control.
        const Run log = git({QStringLiteral("log"), QStringLiteral("-p"), QStringLiteral("-1"), QStringLiteral("options")});
        QVERIFY2(log.out.contains(QLatin1String("+    ^5001-9000")), qPrintable(log.out.left(2000)));
        QVERIFY2(log.out.contains(QLatin1String("+  Nimbus 13,Nimbus,999")), qPrintable(log.out.left(2000)));
        const Run diff = git({QStringLiteral("diff"), QStringLiteral("main"), QStringLiteral("HEAD")});
        QVERIFY2(diff.out.contains(QStringLiteral("renamed control %1 Budget to Price").arg(budgetId)), qPrintable(diff.out));
        QVERIFY2(diff.out.contains(QLatin1String("layout: 2 controls moved")), qPrintable(diff.out));
        QVERIFY2(diff.out.contains(QLatin1String("added row: Nimbus 13")), qPrintable(diff.out));
    }

    // For every repository of the user: the attributes file git reads without being told, and
    // the user's configuration, both under the test's own home.
    void setsUpForTheUserWithGlobal()
    {
        const Run setup = kestrova({QStringLiteral("git-setup"), QStringLiteral("--global")});
        QCOMPARE(setup.code, 0);
        QFile attributes(m_folder.filePath(QStringLiteral("config/git/attributes")));
        QVERIFY2(attributes.open(QIODevice::ReadOnly), qPrintable(setup.out + setup.err));
        QCOMPARE(attributes.readAll(), GitSetupCommand::AttributesLine().toUtf8() + '\n');
        const Run driver = git({QStringLiteral("config"), QStringLiteral("--global"), QStringLiteral("merge.kestrova.driver")});
        QVERIFY2(driver.out.trimmed().endsWith(QLatin1String(" merge %O %A %B --path %P")), qPrintable(driver.out));
        QCOMPARE(kestrova({QStringLiteral("git-setup"), QStringLiteral("--unknown")}).code, 2);
    }

    void theSameCaptionChangedTwoWaysIsAConflict()
    {
        QCOMPARE(git({QStringLiteral("checkout"), QStringLiteral("-q"), QStringLiteral("-b"), QStringLiteral("ours")}).code, 0);
        QVERIFY(edit([](ProjectSession& session) { session.Decisions().Item(QStringLiteral("Price"))->setCaption(QStringLiteral("Price in euros")); }));
        QVERIFY(commitAll(QStringLiteral("Ours")));
        QCOMPARE(git({QStringLiteral("checkout"), QStringLiteral("-q"), QStringLiteral("-b"), QStringLiteral("theirs"), QStringLiteral("HEAD~1")}).code, 0);
        QVERIFY(edit([](ProjectSession& session) { session.Decisions().Item(QStringLiteral("Price"))->setCaption(QStringLiteral("Your budget")); }));
        QVERIFY(commitAll(QStringLiteral("Theirs")));
        QCOMPARE(git({QStringLiteral("checkout"), QStringLiteral("-q"), QStringLiteral("ours")}).code, 0);

        const Run merged = git({QStringLiteral("merge"), QStringLiteral("--no-edit"), QStringLiteral("theirs")});
        QVERIFY(merged.code != 0);
        QVERIFY2(merged.err.contains(QLatin1String("caption: ours Price in euros, theirs Your budget")), qPrintable(merged.err));
        const std::optional<ProjectData> after = text();
        QVERIFY(after);
        QCOMPARE(*named(*after, QStringLiteral("Price"))->value(ControlProperties::Caption), QStringLiteral("Price in euros"));
        QFile log(QDir(m_repository).filePath(QStringLiteral("laptops.log")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(log.readAll()).contains(QLatin1String("Source: control 2 Price.caption")));
        QCOMPARE(git({QStringLiteral("merge"), QStringLiteral("--abort")}).code, 0);
    }
};

KV_REGISTER_TEST(TestGitMerge)
#include "tst_GitMerge.moc"
