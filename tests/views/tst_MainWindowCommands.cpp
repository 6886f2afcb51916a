#include "app/CApplication.h"
#include "app/CModel.h"
#include "app/CRegistry.h"
#include "app/CView.h"
#include "app/CommandBand.h"
#include "app/CommandBands.h"
#include "app/CommandTool.h"
#include "app/MStartUp.h"
#include "common/ScriptedPrompt.h"
#include "common/TestEnvironment.h"
#include "common/TestRegistry.h"
#include "model/CmDocument.h"
#include "views/CommandBars.h"
#include "views/DesignerWindowHost.h"
#include "views/DocumentArea.h"
#include "views/LogWindow.h"
#include "views/MainWindow.h"

#include <QAction>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QUrl>

namespace {

struct ToolRow {
    int id;
    const char* band;
    const char* caption;
};

// Every command with the band that offers it and its caption.
const ToolRow Commands[] = {
    {101, "mnuFile", "&New..."}, {102, "mnuFile", "&Open..."}, {103, "mnuFile", "&Close"},
    {104, "mnuFile", "&Save"}, {105, "mnuFile", "S&ave as..."}, {106, "mnuFile", "&Print..."},
    {107, "mnuFile", "Print Pre&view"}, {108, "mnuFile", "Page Set&up..."}, {109, "mnuFile", "E&xit"},
    {114, "mnuFile", "File Properties"}, {121, "mnuImport", "Import Picture..."},
    {122, "mnuImport", "Import Solution Set Selector..."}, {123, "mnuImport", "Import Decision Tree..."},
    {131, "mnuExport", "Export Picture..."}, {132, "mnuExport", "Export Solution Set Selector..."},
    {133, "mnuExport", "Export Decision Tree..."}, {180, "mnuUpdate", "Update Check Controls"},
    {181, "mnuUpdate", "Update Command Controls"}, {182, "mnuUpdate", "Delete FinishLink from Model"},
    {183, "mnuUpdate", "Update !Sort Order"}, {201, "mnuEdit", "&Undo"}, {202, "mnuEdit", "&Redo"},
    {203, "mnuEdit", "Cu&t"}, {204, "mnuEdit", "&Copy"}, {205, "mnuEdit", "&Paste"}, {206, "mnuEdit", "C&lear"},
    {207, "mnuEdit", "Select &All"}, {208, "mnuEdit", "&DeSelect All"}, {209, "mnuEdit", "Find..."},
    {210, "mnuEdit", "Find Next"}, {211, "mnuEdit", "Replace..."}, {212, "mnuEdit", "Preferences..."},
    {213, "mnuEdit", "&Spell Check..."}, {214, "mnuEdit", "Spell Check Selected Control..."},
    {301, "mnuView", "&Standard Toolbar"}, {302, "mnuView", "&Decision Tree Toolbar"},
    {303, "mnuView", "Solution Set Sele&ctor Toolbar"}, {304, "mnuView", "Stat&us Bar"},
    {305, "mnuView", "P&roject Explorer"}, {306, "mnuView", "&Properties Window"},
    {307, "mnuView", "&ThumbNail Window"}, {308, "mnuView", "&Log Window"}, {309, "mnuView", "Pr&eview Window"},
    {310, "mnuView", "P&an Screen"}, {311, "mnuView", "Zoom &In"}, {312, "mnuView", "Zoom &Out"},
    {313, "mnuView", "Restore &View"}, {314, "mnuView", "Input Interface Preview"},
    {320, "mnuZoom", "Zoom &25%"}, {321, "mnuZoom", "Zoom &50%"}, {322, "mnuZoom", "Zoom &75%"},
    {323, "mnuZoom", "Zoom &100%"}, {350, "mnuView", "Control Values Window"},
    {351, "mnuView", "Solution Set Selector Values Window"}, {601, "mnuWindow", "Tile &Horizontally"},
    {602, "mnuWindow", "Tile &Vertically"}, {603, "mnuWindow", "&Cascade"}, {604, "mnuWindow", "&Arrange Icons"},
    {701, "mnuHelp", "&Contents..."}, {702, "mnuHelp", "&Index..."}, {703, "mnuHelp", "&Search..."},
    {704, "mnuHelp", "What's This?"}, {705, "mnuHelp", "&About kvDesigner..."},
    {901, "mnuProject", "&New Solution Set Selector"}, {902, "mnuProject", "&Edit Solution Set Selector"},
    {903, "mnuProject", "&Delete Solution Set Selector"}, {904, "mnuCriteriaListMain", "Re&name Property Name"},
    {905, "mnuCriteriaListMain", "Insert &Property"}, {906, "mnuCriteriaListMain", "De&lete Property"},
    {907, "mnuCriteriaListMain", "&Insert Item"}, {908, "mnuCriteriaListMain", "De&lete Item"},
    {912, "mnuProject", "&Rename Solution Set Selector"},
    {913, "mnuCriteriaListMain", "I&mport Solution Set Selector..."},
    {914, "mnuCriteriaListMain", "E&xport Solution Set Selector..."}, {1001, "mnuDecisionTree", "Select Control"},
    {1009, "mnuDecisionTree", "Add Link"}, {1010, "mnuDecisionTree", "MultiSelect"},
    {1020, "mnuDecisionTree", "Restore Previous View"}, {1021, "mnuDecisionTree", "Zoom Extents"},
    {1022, "mnuDecisionTree", "Delete"}, {1023, "mnuDecisionTree", "Run From This Control..."},
    {1024, "mnuDecisionTree", "Add New Control"}, {1101, "mnuDecisionTree", "Show/Hide Grid Lines"},
    {1102, "mnuDecisionTree", "Snap To Grid"}, {1130, "mnuControls", "Check"}, {1145, "mnuControls", "TextArea"},
    {1150, "mnuDecisionTree", "Straight Lines"}, {1151, "mnuDecisionTree", "Orthogonal Horizontal Lines"},
    {1152, "mnuDecisionTree", "Orthogonal Vertical Lines"}, {1153, "mnuDTSize", "Small"},
    {1154, "mnuDTSize", "Medium"}, {1155, "mnuDTSize", "Large"}, {1301, "mnuProject", "Open &Decision Tree"},
    {1302, "mnuProject", "&Stop"}, {1303, "mnuProject", "&Run..."}, {1304, "mnuProject", "Import &Picture..."},
    {1305, "mnuProject", "&View Picture..."}, {1306, "mnuProject", "&Remove Picture..."},
    {1307, "mnuProject", "&Export Picture..."}, {1308, "mnuProject", "Re&name Picture..."},
    {1309, "mnuProject", "Test &Options..."}, {1320, "mnuCompile", "Make Kestrova File for Windows..."},
    {1321, "mnuCompile", "Make Kestrova File for the Web..."},
    {1322, "mnuCompile", "Web Server Component Settings..."}, {1323, "mnuCompile", "Kestrova File Type..."},
    {1324, "mnuCompile", "Windows Desktop Component Settings..."}, {1400, "mnuProject", "Action Wizard..."},
    {1401, "mnuProject", "Control Wizard..."}, {1402, "mnuProject", "Getting Started Wizard..."},
};

// Commands whose operation arrives with later work.
const int LaterCommands[] = {106, 107, 108, 121, 122, 131, 132, 180, 181, 183, 201, 202, 203, 204, 205, 206,
                             207, 208, 209, 210, 211, 212, 213, 214, 305, 306, 307, 309, 310, 311, 312, 313,
                             314, 320, 321, 322, 323, 350, 351, 901, 902, 903, 904, 905, 906, 907, 908, 912,
                             913, 914, 1001, 1005, 1009, 1010, 1020, 1021, 1022, 1023, 1024, 1101, 1102, 1130,
                             1145, 1150, 1153, 1301, 1302, 1303, 1304, 1305, 1306, 1307, 1308, 1309, 1320, 1321,
                             1322, 1323, 1324, 1400, 1401};

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

    void everyCommandIsInItsBandWithItsCaption()
    {
        Run run;
        for (const ToolRow& row : Commands) {
            const QString id = QString::number(row.id);
            const CommandBand* band = gApp->View().Band(QLatin1String(row.band));
            QVERIFY2(band && band->Contains(row.id), qPrintable(id));
            QCOMPARE(gApp->View().Tool(row.id)->Caption(), QString::fromUtf8(row.caption));
            QAction* action = run.action(row.id);
            QVERIFY2(action, qPrintable(id));
            QCOMPARE(action->text(), QString::fromUtf8(row.caption));
            QVERIFY2(run.main().commandBars().menu(QLatin1String(row.band))->actions().contains(action), qPrintable(id));
        }
    }

    void laterCommandsAreDisabled()
    {
        Run run;
        for (const int id : LaterCommands) {
            QVERIFY2(!run.action(id)->isEnabled(), qPrintable(QString::number(id)));
            gApp->View().CallToolID(id);
        }
        QVERIFY(run.prompt.shown().isEmpty());
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
};

KV_REGISTER_TEST(TestMainWindowCommands)
#include "tst_MainWindowCommands.moc"
