#include "app/CApplication.h"
#include "project/CModel.h"
#include "app/CRegistry.h"
#include "app/CView.h"
#include "app/CommandBand.h"
#include "app/CommandBands.h"
#include "app/CommandTable.h"
#include "app/CommandTool.h"
#include "app/ToolId.h"
#include "app/ViewSettings.h"
#include "app/ToolRegistry.h"
#include "base/ResourceStrings.h"
#include "app/MStartUp.h"
#include "common/ScriptedPrompt.h"
#include "common/TestEnvironment.h"
#include "common/TestRegistry.h"
#include "app/CController.h"
#include "model/CmDecisionItem.h"
#include "views/DiagramWindow.h"
#include "edit/CvDecisionTree.h"
#include "edit/CanvasModel.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "selectors/CvCriteriaList.h"
#include "selectors/SelectorStore.h"
#include "persist/ProjectNodes.h"
#include "persist/StorageNode.h"
#include "views/CommandBars.h"
#include "views/DesignerWindowHost.h"
#include "views/DocumentArea.h"
#include "views/LogWindow.h"
#include "views/MainWindow.h"
#include "views/frmCriteriaList.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDesktopServices>
#include <QDockWidget>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QGraphicsView>
#include <QTest>
#include <QToolBar>
#include <QUrl>

#include <algorithm>

namespace {

// The menu band that offers a tool; empty when only toolbars and popups do.
QString menuOf(int id)
{
    for (const CommandTable::BandDefinition& band : CommandTable::Bands()) {
        const bool menu = band.kind == CommandBand::Kind::Menu || band.kind == CommandBand::Kind::Submenu;
        const bool offers = std::any_of(band.entries.cbegin(), band.entries.cend(), [id](const auto& entry) {
            using Kind = CommandTable::EntryDefinition::Kind;
            return (entry.kind == Kind::Tool || entry.kind == Kind::ToolRange) && id >= entry.first && id <= entry.last;
        });
        if (menu && offers)
            return QLatin1String(band.name);
    }
    return QString();
}

// Every id the registry holds, but the recent files, whose tools come and go with the list.
QList<int> registeredCommands()
{
    QList<int> ids;
    for (const ToolRegistry::Row& row : ToolRegistry::Rows()) {
        for (int id = +row.first; id <= +row.last; ++id) {
            if (CommandTable::RecentFileIndex(id) == 0 && !LoadResString(id).isEmpty())
                ids.append(id);
        }
    }
    return ids;
}

// Receives what the Designer hands to the desktop's viewer.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

} // namespace

class TestMainWindowCommands : public QObject {
    Q_OBJECT

    // A running Designer past the welcome window, with an empty project.
    struct Run {
        ScriptedPrompt prompt;
        DesignerWindowHost windows{prompt};

        Run()
        {
            CRegistry::Write(QString(), QStringLiteral("NoGSRun"), QStringLiteral("1"));
            prompt.QueueNewOrOpen({NewOrOpenChoice::Kind::NewProject, QString()});
            MStartUp::Main(prompt, windows, QString());
            prompt.clearShown();
        }
        // Leaves without the exit's settings writes, which only the exit test needs.
        ~Run() { gApp.reset(); }
        Run(const Run&) = delete;
        Run& operator=(const Run&) = delete;

        MainWindow& main() const { return *windows.mainWindow(); }
        QAction* action(int id) const { return main().commandBars().action(id); }
        void trigger(int id) const
        {
            QAction* tool = action(id);
            QVERIFY2(tool, qPrintable(QString::number(id)));
            tool->trigger();
        }
    };

private slots:
    void init()
    {
        TestEnvironment::clearSettings();
        gApp.reset();
    }
    void cleanup() { gApp.reset(); }

    // Each registered command is reachable from a menu with its caption; a command the
    // registry does not know would be a dead entry, and one no menu offers unreachable by keyboard.
    void everyCommandIsInAMenuWithItsCaption()
    {
        Run run;
        const QList<int> ids = registeredCommands();
        QVERIFY(ids.size() > 100);
        for (const int id : ids) {
            const QString number = QString::number(id);
            const QString menu = menuOf(id);
            QVERIFY2(!menu.isEmpty(), qPrintable(number));
            QAction* action = run.action(id);
            QVERIFY2(action, qPrintable(number));
            QCOMPARE(action->text(), LoadResString(ToolRegistry::CaptionId(id)));
            QVERIFY2(run.main().commandBars().menu(menu)->actions().contains(action), qPrintable(number));
        }
        for (const CommandTable::BandDefinition& band : CommandTable::Bands()) {
            for (const CommandTable::EntryDefinition& entry : band.entries) {
                if (entry.kind == CommandTable::EntryDefinition::Kind::Tool)
                    QVERIFY2(ToolRegistry::Find(entry.first), qPrintable(QString::number(entry.first)));
            }
        }
    }

    // No menu or bar shows a dead command: every registered command has its operation (one
    // without, as Draw Group, is left out of the registry and so of every band).
    void everyCommandHasItsOperation()
    {
        Run run;
        for (const int id : registeredCommands())
            QVERIFY2(ToolRegistry::Implemented(id), qPrintable(QString::number(id)));
    }

    void toolsShowTheirBands_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("band");
        QTest::newRow("standard toolbar") << 301 << "barStandard";
        QTest::newRow("decision tree toolbar") << 302 << "barDecisionTree";
        QTest::newRow("selector toolbar") << 303 << "barCriteriaList";
        QTest::newRow("status bar") << 304 << "sb";
        QTest::newRow("log") << 308 << "barLog";
        QTest::newRow("thumbnail") << 307 << "barThumbNail";
        QTest::newRow("control values") << 350 << "barDecisionValues";
        QTest::newRow("selector values") << 351 << "barCLValues";
    }
    void toolsShowTheirBands()
    {
        QFETCH(int, id);
        QFETCH(QString, band);
        Run run;
        QWidget* widget = run.main().findChild<QWidget*>(band);
        QVERIFY(widget);
        for (const bool shown : {true, false, true}) {
            if (widget->isVisible() != shown)
                run.trigger(id);
            QCOMPARE(widget->isVisible(), shown);
            QCOMPARE(gApp->View().Band(band)->Visible(), shown);
            QCOMPARE(run.action(id)->isChecked(), shown);
        }
    }

    void messagesOfCommands_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("message");
        QTest::newRow("import decision tree") << 123 << "not implemented yet";
        QTest::newRow("export decision tree") << 133 << "not implemented yet";
        QTest::newRow("help search") << 703 << "Searching the help is not provided";
        QTest::newRow("what's this") << 704 << "What's This? help is not provided";
        QTest::newRow("about") << 705 << "Kestrova Designer\nVersion " KV_VERSION_STRING;
    }
    void messagesOfCommands()
    {
        QFETCH(int, id);
        QFETCH(QString, message);
        Run run;
        run.trigger(id);
        QCOMPARE(run.prompt.shown().size(), 1);
        QVERIFY2(run.prompt.shown().first().text.startsWith(message), qPrintable(run.prompt.shown().first().text));
    }

    void fileCommandsAskWhatTheyNeed_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<ScriptedPrompt::Kind>("asked");
        QTest::newRow("new") << 101 << false << ScriptedPrompt::Kind::NewOrOpen;
        QTest::newRow("new, changed") << 101 << true << ScriptedPrompt::Kind::Message;
        QTest::newRow("open") << 102 << false << ScriptedPrompt::Kind::OpenFile;
        QTest::newRow("close, changed") << 103 << true << ScriptedPrompt::Kind::Message;
        QTest::newRow("save, never saved") << 104 << true << ScriptedPrompt::Kind::SaveFile;
        QTest::newRow("save as") << 105 << false << ScriptedPrompt::Kind::SaveFile;
        QTest::newRow("properties") << 114 << false << ScriptedPrompt::Kind::DocumentProperties;
    }
    void fileCommandsAskWhatTheyNeed()
    {
        QFETCH(int, id);
        QFETCH(bool, changed);
        QFETCH(ScriptedPrompt::Kind, asked);
        Run run;
        gApp->Model().Document().setDirty(changed);
        QCOMPARE(run.main().isWindowModified(), changed);
        run.trigger(id);
        QCOMPARE(run.prompt.shown().size(), 1);
        QCOMPARE(run.prompt.shown().first().kind, asked);
        // The dialog was cancelled: the project is still open as it was.
        QCOMPARE(gApp->Model().Document().Dirty(), changed);
        QVERIFY(run.main().windowTitle().startsWith(CmDocument::DefaultName()));
    }

    // The diagram opens from the View menu and takes its commands while it is the active window;
    // the selector grid opened by New Selector takes the edit commands, and saving the project
    // takes the grid's edits with it.
    void windowCommandsReachTheirWindows()
    {
        const QTemporaryDir folder;
        Run run;
        run.main().resize(1000, 700);
        run.main().show();
        QVERIFY(!run.action(+ToolId::AddNewControl)->isEnabled());
        run.trigger(+ToolId::OpenDecisionTree);
        const QMdiSubWindow* diagram = run.main().documents().activeSubWindow();
        QVERIFY(diagram);
        QCOMPARE(diagram->widget()->objectName(), QStringLiteral("frmDecisionTree"));
        QVERIFY(run.action(+ToolId::AddNewControl)->isEnabled());
        const int before = gApp->Model().Decisions().Count();
        // The mouse last went far off: the new control lands inside what the window shows,
        // selected.
        CanvasModel& canvas = gApp->Controller().DiagramView().Canvas();
        canvas.setLastMousePos(QPointF(50000, -50000));
        run.trigger(+ToolId::AddNewControl);
        QCOMPARE(gApp->Model().Decisions().Count(), before + 1);
        const CmDecisionItem* added = gApp->Model().Decisions().Selected();
        QVERIFY(added);
        auto* view = qobject_cast<QGraphicsView*>(diagram->widget());
        QVERIFY(view);
        const QRectF shown = view->mapToScene(view->viewport()->rect()).boundingRect();
        const QPointF centre = DiagramWindow::toScene(canvas.Entity(added->intID())->centre);
        const QSizeF half = canvas.EntitySize() / 2;
        QVERIFY(shown.contains(QRectF(centre - QPointF(half.width(), half.height()), canvas.EntitySize())));

        // The selector type dialog is modal: take its default, an internal selector.
        QTimer::singleShot(0, this, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dialog->accept();
        });
        run.prompt.QueueText(QStringLiteral("Fruit"));
        run.trigger(+ToolId::NewSelector);
        const QMdiSubWindow* grid = run.main().documents().activeSubWindow();
        QVERIFY(grid && grid != diagram);
        auto* selector = qobject_cast<frmCriteriaList*>(grid->widget());
        QVERIFY(selector);
        // The Window menu lists both windows, the active one checked; choosing one brings it forward.
        QMenu* windows = run.main().commandBars().menu(QStringLiteral("mnuWindow"));
        QVERIFY(windows);
        for (int opened = 0; opened < 2; ++opened) {
            emit windows->aboutToShow();
            QStringList listed;
            QAction* diagramEntry = nullptr;
            for (QAction* entry : windows->actions()) {
                if (!entry->isCheckable())
                    continue;
                listed << entry->text() + (entry->isChecked() ? QStringLiteral(" *") : QString());
                if (entry->text().endsWith(diagram->windowTitle()))
                    diagramEntry = entry;
            }
            QCOMPARE(listed, (QStringList{QStringLiteral("&1 ") + diagram->windowTitle(), QStringLiteral("&2 Fruit *")}));
            QVERIFY(diagramEntry);
            if (opened == 1) {
                diagramEntry->trigger();
                QCOMPARE(run.main().documents().activeSubWindow(), diagram);
                run.main().documents().setActiveSubWindow(const_cast<QMdiSubWindow*>(grid));
            }
        }
        QVERIFY(!run.action(+ToolId::AddNewControl)->isEnabled());
        CvCriteriaList& list = selector->List();
        list.setCurrentCell(1, 0);
        list.GridEdit(QLatin1Char('A'));
        list.setEditText(QStringLiteral("Apple"));
        list.CommitEdit();

        QVERIFY(gApp->Model().Document().SaveFileAs(folder.filePath(QStringLiteral("grid.kvp"))).done());
        QString stored;
        SelectorStore(gApp->Model().Document().Storage()).ReadText(QStringLiteral("Fruit"), stored);
        QVERIFY2(stored.contains(QStringLiteral("Apple")), qPrintable(stored));
    }

    void openingBringsUpTheDiagram_data()
    {
        QTest::addColumn<bool>("wanted");
        QTest::newRow("as a fresh installation has it") << true;
        QTest::newRow("turned off") << false;
    }
    void openingBringsUpTheDiagram()
    {
        QFETCH(bool, wanted);
        const QTemporaryDir folder;
        Run run;
        // The new project the Designer starts with shows its diagram too.
        QTest::qWait(0);
        QVERIFY(run.main().documents().activeSubWindow());
        const QString project = folder.filePath(QStringLiteral("opened.kvp"));
        QVERIFY(gApp->Model().Document().SaveFileAs(project).done());
        gApp->View().Settings().Editing.StartDTEditorOnOpen = wanted;
        run.main().documents().closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(gApp->Model().Document().OpenDocument(project, false).done());
        QTest::qWait(0);
        const QMdiSubWindow* active = run.main().documents().activeSubWindow();
        QCOMPARE(active && active->widget()->objectName() == QLatin1String(CView::DiagramWindowName), wanted);
        // Its menu and tools come with it, though the main window was never activated.
        QCOMPARE(gApp->View().ActiveWindow() == QLatin1String(CView::DiagramWindowName), wanted);
    }

    // Find shows the find bar, which works on the open project.
    void findShowsTheFindBar()
    {
        Run run;
        run.main().show();
        auto* bar = run.main().findChild<QDockWidget*>(QStringLiteral("barFind"));
        QVERIFY(bar);
        QVERIFY(!bar->isVisible());
        run.trigger(+ToolId::Find);
        QVERIFY(bar->isVisible());
    }

    void exitLeaves()
    {
        Run run;
        run.trigger(109);
        QVERIFY(!gApp);
        QVERIFY(!run.main().isVisible());
    }

    void progressAndStatus()
    {
        Run run;
        const QProgressBar& bar = *run.main().progressBar();
        gApp->View().SetProgress(150);
        QVERIFY(bar.isVisible());
        QCOMPARE(bar.value(), 100);
        QCOMPARE(bar.text(), QStringLiteral("100%"));
        QCOMPARE(gApp->View().Bands().NamedTool(QStringLiteral("ccrpProgress1"))->Caption(), QStringLiteral("100%"));
        gApp->View().SetProgress(-1);
        QVERIFY(!bar.isVisible());
        gApp->View().SetStatus(QStringLiteral("Working"));
        gApp->View().SetStatus(QString());
        QCOMPARE(run.main().statusText(), QStringLiteral("Ready"));
    }

    void logWindowFollowsTheLog()
    {
        Run run;
        gApp->View().AddLog(QStringLiteral("Error. Invalid Expression."));
        gApp->View().AddLog(QStringLiteral("Compile completed."));
        QCOMPARE(gApp->View().GetLog(), QStringLiteral("Error. Invalid Expression.\r\nCompile completed.\r\n"));
        QCOMPARE(run.main().logWindow().text(), QStringLiteral("Error. Invalid Expression.\nCompile completed.\n"));
        gApp->View().ClearLog();
        QVERIFY(run.main().logWindow().text().isEmpty());
    }

    void helpOpensInstalledPages_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("page");
        QTest::newRow("contents") << 701 << "index.html";
        QTest::newRow("index") << 702 << "keywords.html";
    }
    void helpOpensInstalledPages()
    {
        QFETCH(int, id);
        QFETCH(QString, page);
        Run run;
        UrlCatcher viewer;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &viewer, "open");
        run.trigger(id);
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QVERIFY(run.prompt.shown().isEmpty());
        QCOMPARE(viewer.opened.size(), 1);
        QCOMPARE(viewer.opened.first().fileName(), page);
        QVERIFY(QFileInfo::exists(viewer.opened.first().toLocalFile()));
    }

    void windowMenuArrangesDocuments()
    {
        Run run;
        DocumentArea& documents = run.main().documents();
        documents.resize(600, 400);
        for (const char* name : {"frmA", "frmB"}) {
            auto* content = new QWidget;
            content->setObjectName(QLatin1String(name));
            documents.addSubWindow(content)->show();
        }
        run.trigger(602);
        const QList<QMdiSubWindow*> windows = documents.subWindowList();
        QCOMPARE(windows.at(0)->geometry().top(), windows.at(1)->geometry().top());
        QVERIFY(windows.at(0)->geometry().right() < windows.at(1)->geometry().left());
        run.trigger(601);
        QCOMPARE(windows.at(0)->geometry().left(), windows.at(1)->geometry().left());
        QVERIFY(windows.at(0)->geometry().bottom() < windows.at(1)->geometry().top());
    }

    void busyDocumentIgnoresClicks()
    {
        Run run;
        gApp->Model().Document().setDirty(true);
        // Saving lets window events run while the document is busy; a click arrives then.
        bool clickedWhileBusy = false;
        connect(&gApp->View(), &CView::progressChanged, this, [&] {
            if (!gApp->Model().Document().Busy() || clickedWhileBusy)
                return;
            clickedWhileBusy = true;
            run.trigger(123);
        });
        QTemporaryDir folder;
        QVERIFY(gApp->Model().Document().SaveFileAs(folder.filePath(QStringLiteral("busy.kvp"))).done());
        QVERIFY(clickedWhileBusy);
        QVERIFY(run.prompt.shown().isEmpty());
        run.trigger(123);
        QCOMPARE(run.prompt.shownTexts(), QStringList{QStringLiteral("not implemented yet")});
    }

    // A close that arrives while the save runs is refused: the application stays, the save
    // completes and the project file opens whole. Closing afterwards works.
    void closingDuringASaveLeavesTheApplicationAlive()
    {
        Run run;
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("held.kvp"));
        QVERIFY(gApp->Model().Document().SaveFileAs(path).done());
        gApp->Model().Document().setDirty(true);
        bool closedWhileBusy = false;
        bool closeAccepted = true;
        connect(&gApp->View(), &CView::progressChanged, this, [&] {
            if (!gApp || !gApp->IsBusy() || closedWhileBusy)
                return;
            closedWhileBusy = true;
            closeAccepted = run.main().close();
        });
        run.trigger(104);
        QVERIFY(closedWhileBusy);
        QVERIFY(!closeAccepted);
        QVERIFY(gApp);
        QVERIFY(run.main().isVisible());
        QVERIFY(!gApp->Model().Document().Dirty());

        QVERIFY(run.main().close());
        QVERIFY(!gApp);
        CmDocument reader;
        QVERIFY(reader.InspectDocument(path).done());
        bool found = false;
        QVERIFY(reader.Storage().rootNode().exists(ProjectNodes::DevFile, found));
        QVERIFY(found);
    }
};

KV_REGISTER_TEST(TestMainWindowCommands)
#include "tst_MainWindowCommands.moc"
