#include "RunningDesigner.h"
#include "TestModeTree.h"
#include "common/ScriptedPrompt.h"
#include "common/TestRegistry.h"

#include "app/ToolId.h"
#include "base/ResourceStrings.h"
#include "edit/CcDecisionTree.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "model/RulesText.h"
#include "project/Project.h"
#include "views/CommandBars.h"
#include "views/CompareWindow.h"
#include "views/MainWindow.h"
#include "views/PreviewServer.h"

#include <QAction>
#include <QDesktopServices>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

const QString Rules = QStringLiteral("1\t\tStart\t\t\t\"Pick\"\tRadio\t^Yes\t!GO Age\t^No\t!GO Finish\t\r\n"
                                     "2\t\tAge\t\t\t\"Age?\"\tNumBox\t&30\t^0-120\t!GO Finish\t\r\n"
                                     "3\t\tFinish\t\t\t\"Bye\"\tDone\t\r\n");

// A project of its own, with no Designer around it.
struct Standalone {
    ScriptedPrompt prompt;
    Project project{prompt};

    explicit Standalone(const QString& rules = Rules)
    {
        project.Document().setKeepsWorkingCopy(false);
        RulesText::Read(rules, project.Decisions());
    }
    CmDecisionItem& control(const QString& name) { return *project.Decisions().Item(QVariant(name)); }
};

// The body of a GET, or "error: ..." when nothing answered.
QString fetch(const QUrl& address)
{
    QNetworkAccessManager network;
    network.setProxy(QNetworkProxy::NoProxy);
    std::unique_ptr<QNetworkReply> reply(network.get(QNetworkRequest(address)));
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    loop.exec();
    if (!reply->isFinished() || reply->error() != QNetworkReply::NoError)
        return QStringLiteral("error: ") + reply->errorString();
    return QString::fromUtf8(reply->readAll());
}

QStringList topLevelTexts(const QTreeWidget& tree)
{
    QStringList texts;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        texts.append(tree.topLevelItem(i)->text(0));
    return texts;
}

QStringList childTexts(const QTreeWidgetItem& item)
{
    QStringList texts;
    for (int i = 0; i < item.childCount(); ++i)
        texts.append(item.child(i)->text(0));
    return texts;
}

// Takes the addresses the desktop would open in a browser.
class BrowserCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& address) { opened.append(address); }
};

} // namespace

// File › Compare with... shows what changed from another file to the open project; Project ›
// Preview in Browser serves the open project for the browser and stops with it.
class TestPreviewAndCompare : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { TestEnvironment::clearSettings(); }

    void compareGroupsChangesByControlAndSelectsThem()
    {
        const QTemporaryDir folder;
        const QString saved = folder.filePath(QStringLiteral("ages.kvp"));
        Standalone open;
        QVERIFY(open.project.SaveAs(saved).done());
        CompareWindow window(open.project, open.prompt);
        QVERIFY(window.compareWith(saved));
        QCOMPARE(window.heading(), LoadResString(38006).arg(QStringLiteral("ages.kvp")));
        QCOMPARE(window.tree().topLevelItemCount(), 0);

        // Unsaved changes are what the window shows.
        open.control(QStringLiteral("Age")).setCaption(QStringLiteral("How old?"));
        open.control(QStringLiteral("Finish")).setCaption(QStringLiteral("Bye"));
        QVERIFY(open.project.SaveAs(saved).done());
        open.control(QStringLiteral("Age")).setCaption(QStringLiteral("Your age?"));
        open.control(QStringLiteral("Finish")).setCaption(QStringLiteral("See you"));
        QVERIFY(window.compareWith(saved));
        QCOMPARE(window.heading(), LoadResString(38005).arg(QStringLiteral("ages.kvp")));
        QCOMPARE(topLevelTexts(window.tree()), (QStringList{"changed control 2 Age", "changed control 3 Finish"}));
        QCOMPARE(childTexts(*window.tree().topLevelItem(0)), (QStringList{"caption", "  - How old?", "  + Your age?"}));

        QSignalSpy chosen(&window, &CompareWindow::controlChosen);
        window.tree().setCurrentItem(window.tree().topLevelItem(1)->child(2));
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.first().first().toInt(), 3);
        QCOMPARE(open.project.Decisions().Selected(), &open.control(QStringLiteral("Finish")));
    }

    // A control the other file has and the open project lacks is listed, and choosing it
    // leaves the selection alone; a file that is no project is refused with its name.
    void removedControlsAndUnreadableFiles()
    {
        const QTemporaryDir folder;
        const QString other = folder.filePath(QStringLiteral("longer.kvp"));
        {
            Standalone longer(Rules + QStringLiteral("4\t\tExtra\t\t\t\"More\"\tInfo\t\t\t\r\n"));
            QVERIFY(longer.project.SaveAs(other).done());
        }
        Standalone open;
        open.project.Tree().SelectDecision(QVariant(1));
        CompareWindow window(open.project, open.prompt);
        QVERIFY(window.compareWith(other));
        // The two projects' names differ too.
        const QStringList entries = topLevelTexts(window.tree());
        QCOMPARE(entries, (QStringList{"changed project settings", "removed control 4 Extra"}));
        QSignalSpy chosen(&window, &CompareWindow::controlChosen);
        window.tree().setCurrentItem(window.tree().topLevelItem(1));
        QCOMPARE(chosen.size(), 0);
        QCOMPARE(open.project.Decisions().Selected(), &open.control(QStringLiteral("Start")));

        const QString garbage = folder.filePath(QStringLiteral("garbage.kvp"));
        QFile file(garbage);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a project at all");
        file.close();
        QVERIFY(!window.compareWith(garbage));
        QCOMPARE(open.prompt.shown().size(), 1);
        QCOMPARE(open.prompt.shown().first().icon, PromptIcon::Critical);
        QVERIFY(open.prompt.shown().first().text.contains(QDir::toNativeSeparators(garbage)));
        // What was shown before stays.
        QCOMPARE(topLevelTexts(window.tree()), entries);
    }

    void previewServesTheProjectAsItStands()
    {
        Standalone open;
        open.control(QStringLiteral("Start")).setCaption(QStringLiteral("Unsaved <caption>"));
        PreviewServer server(open.project, open.prompt);
        server.setServerProgram(QStringLiteral(KV_CLI_PATH));
        QList<QUrl> opened;
        server.setBrowser([&opened](const QUrl& address) {
            opened.append(address);
            return true;
        });
        QVERIFY(server.start());
        QTRY_COMPARE_WITH_TIMEOUT(opened.size(), 1, PreviewServer::StartSeconds * 1000);
        const QUrl first = opened.first();
        QCOMPARE(server.address(), first);
        QCOMPARE(first.host(), QStringLiteral("127.0.0.1"));
        QCOMPARE(first.path(), QStringLiteral("/%1/").arg(QFileInfo(open.project.Document().Name()).completeBaseName()));
        QVERIFY(fetch(first).contains(QStringLiteral("Unsaved &lt;caption&gt;")));

        // Run again, it serves the project as it is then, and the first server is gone.
        open.control(QStringLiteral("Start")).setCaption(QStringLiteral("Second look"));
        QVERIFY(server.start());
        QTRY_COMPARE_WITH_TIMEOUT(opened.size(), 2, PreviewServer::StartSeconds * 1000);
        QVERIFY(fetch(opened.last()).contains(QStringLiteral("Second look")));
        if (opened.last().port() != first.port())
            QVERIFY(fetch(first).startsWith(QStringLiteral("error: ")));
        server.stop();
        QVERIFY(!server.isRunning());
        QVERIFY(server.address().isEmpty());
        QVERIFY(fetch(opened.last()).startsWith(QStringLiteral("error: ")));
        QVERIFY(open.prompt.shown().isEmpty());
    }

    void previewSaysWhyItCannotServe_data()
    {
        QTest::addColumn<QString>("rules");
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("started");
        QTest::addColumn<QString>("message");
        QTest::newRow("errors in the tree") << Rules + QStringLiteral("4\t\tLost\t\t\t\"\"\tRadio\t^A\t!GO Nowhere\t\r\n")
                                            << QStringLiteral(KV_CLI_PATH) << false
                                            << LoadResString(38009).section(QLatin1Char('\n'), 0, 0);
        QTest::newRow("no server program") << Rules << QStringLiteral("/nonexistent/kestrova") << false
                                           << LoadResString(38011).arg(QStringLiteral("/nonexistent/kestrova"));
        QTest::newRow("server ends at once") << Rules << QStringLiteral("/bin/false") << true
                                             << LoadResString(38012).section(QLatin1Char('\n'), 0, 0);
    }
    void previewSaysWhyItCannotServe()
    {
        QFETCH(QString, rules);
        QFETCH(QString, program);
        QFETCH(bool, started);
        QFETCH(QString, message);
        Standalone open(rules);
        PreviewServer server(open.project, open.prompt);
        server.setServerProgram(program);
        bool opened = false;
        server.setBrowser([&opened](const QUrl&) { return opened = true; });
        QSignalSpy ended(&server, &PreviewServer::ended);
        QCOMPARE(server.start(), started);
        if (started)
            QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, PreviewServer::StartSeconds * 1000);
        QCOMPARE(open.prompt.shown().size(), 1);
        QVERIFY2(open.prompt.shown().first().text.startsWith(message), qPrintable(open.prompt.shown().first().text));
        QVERIFY(!server.isRunning());
        QVERIFY(!opened);
    }

    // Both commands through the Designer's menus; closing the project stops the preview.
    void fromTheDesignerMenus()
    {
        const QTemporaryDir folder;
        RunningDesigner designer;
        const QString other = folder.filePath(QStringLiteral("other.kvp"));
        {
            Standalone saved;
            saved.control(QStringLiteral("Start")).setCaption(QStringLiteral("Choose"));
            QVERIFY(saved.project.SaveAs(other).done());
        }
        QVERIFY(TestModeTree::saveTree(folder.filePath(QStringLiteral("ages.kvp"))));
        const CommandBars& bars = designer.windows.mainWindow()->commandBars();
        QAction* compare = bars.action(+ToolId::CompareWith);
        QAction* preview = bars.action(+ToolId::PreviewInBrowser);
        QVERIFY(compare && preview);
        QVERIFY(compare->isEnabled() && preview->isEnabled());

        designer.prompt.QueueText(other);
        compare->trigger();
        auto* window = designer.windows.mainWindow()->findChild<CompareWindow*>(QStringLiteral("CompareWindow"));
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->heading(), LoadResString(38005).arg(QStringLiteral("other.kvp")));
        QVERIFY(topLevelTexts(window->tree()).contains(QStringLiteral("changed control 1 Start")));

        BrowserCatcher browser;
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &browser, "open");
        preview->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(browser.opened.size(), 1, PreviewServer::StartSeconds * 1000);
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        const QUrl address = browser.opened.first();
        QCOMPARE(address.path(), QStringLiteral("/ages/"));
        QVERIFY(fetch(address).contains(QStringLiteral("Pick")));
        bars.action(+ToolId::FileClose)->trigger();
        QVERIFY(fetch(address).startsWith(QStringLiteral("error: ")));
    }
};

KV_REGISTER_TEST(TestPreviewAndCompare)
#include "tst_PreviewAndCompare.moc"
