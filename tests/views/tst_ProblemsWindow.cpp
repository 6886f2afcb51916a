#include "common/SyntheticTree.h"
#include "common/TestRegistry.h"
#include "tests/views/RunningDesigner.h"

#include "app/CController.h"
#include "app/CcFile.h"
#include "app/ToolId.h"
#include "base/ResourceStrings.h"
#include "edit/CcDecisionTree.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "project/CModel.h"
#include "validate/CcValidation.h"
#include "views/CommandBars.h"
#include "views/DiagramWindow.h"
#include "views/MainWindow.h"
#include "views/OptionsEditor.h"
#include "views/OptionsEditorHost.h"
#include "views/ProblemsWindow.h"
#include "views/frmProperties.h"

#include <QAction>
#include <QApplication>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QDockWidget>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTreeView>
#include <QTreeWidget>

namespace {

struct Designer : RunningDesigner {
    Designer()
    {
        main().resize(1200, 800);
        main().show();
    }
    MainWindow& main() const { return *windows.mainWindow(); }
    QAction* action(int id) const { return main().commandBars().action(id); }
    ProblemsWindow* problems() const { return main().findChild<ProblemsWindow*>(); }
    QDockWidget* dock() const { return main().findChild<QDockWidget*>(QStringLiteral("barProblems")); }
    CmDecisionManager& decisions() const { return gApp->Model().Decisions(); }
    QStringList messages() const
    {
        QStringList shown;
        for (const ProblemsModel::Row& row : problems()->model().rows())
            shown << row.control + QLatin1Char(':') + row.message;
        return shown;
    }
    // The row whose message begins so; the test fails without one.
    int rowStarting(const QString& message) const
    {
        const QList<ProblemsModel::Row>& rows = problems()->model().rows();
        for (qsizetype row = 0; row < rows.size(); ++row) {
            if (rows.at(row).message.startsWith(message))
                return static_cast<int>(row);
        }
        return -1;
    }
    // A full validation of the tree as it stands, for both runtimes, as the window's rows.
    QList<ProblemsModel::Row> fullCheck() const
    {
        CcValidation validation(decisions(), gApp->Model().Document());
        validation.setAnalyzePaths(true);
        validation.Validate();
        QList<ProblemsModel::Row> rows;
        for (const ValidationFindings::Entry& entry : validation.Findings().entries())
            rows.append({entry.isError, entry.message, entry.control(), entry.property(), entry.extra, 0, entry.line});
        return rows;
    }
    QList<ProblemsModel::Row> shownWithoutNumbers() const
    {
        QList<ProblemsModel::Row> rows = problems()->model().rows();
        for (ProblemsModel::Row& row : rows)
            row.number = 0;
        return rows;
    }
    void activate(int sourceRow) const
    {
        QTreeView* view = problems()->view();
        const auto* proxy = view->model();
        for (int row = 0; row < proxy->rowCount(); ++row) {
            const QModelIndex index = proxy->index(row, 0);
            if (problems()->shownRows().at(row) == problems()->model().row(sourceRow)) {
                view->setCurrentIndex(index);
                view->setFocus();
                QTest::keyClick(view, Qt::Key_Return);
                return;
            }
        }
        QFAIL("row not shown");
    }
};

QString sampleRules()
{
    return QStringLiteral(KV_SOURCE_DIR "/examples/laptop-selector.rules");
}

int cli(const QStringList& arguments, QByteArray* out = nullptr)
{
    QProcess process;
    process.start(QStringLiteral(KV_CLI_PATH), arguments);
    process.waitForFinished(60000);
    if (out)
        *out = process.readAllStandardOutput();
    return process.exitCode();
}

// A project built by the command line from rules, with the sample's table when asked.
QString buildProject(const QTemporaryDir& folder, const QString& rules, bool sampleTable)
{
    const QString path = folder.filePath(QFileInfo(rules).completeBaseName() + QStringLiteral(".kvp"));
    if (cli({QStringLiteral("from-rules"), rules, QStringLiteral("-o"), path}) != 0)
        return {};
    if (sampleTable
        && cli({QStringLiteral("selector"), QStringLiteral("import"), path,
                QStringLiteral(KV_SOURCE_DIR "/examples/laptops.csv")}) != 0)
        return {};
    return path;
}

} // namespace

// The Problems window in the Designer: what it lists against the command line, how it follows
// edits as they are made, and where a row takes the author.
class TestProblemsWindow : public QObject {
    Q_OBJECT

private slots:
    void rowsMatchTheCommandLine_data();
    void rowsMatchTheCommandLine();
    void breakingAndFixingTheSample();
    void filtersAndTarget();
    void linesOfOneControl_data();
    void linesOfOneControl();
    void propertyRowsOpenTheirProperty_data();
    void propertyRowsOpenTheirProperty();
    void closingWhileTheTreeIsChecked_data();
    void closingWhileTheTreeIsChecked();
};

void TestProblemsWindow::rowsMatchTheCommandLine_data()
{
    QTest::addColumn<QString>("rules");
    QTest::addColumn<bool>("sampleTable");
    QTest::newRow("sample") << sampleRules() << true;
    QTest::newRow("planted paths") << QStringLiteral(KV_SOURCE_DIR "/tests/cli/data/analyze-paths.rules") << false;
    QTest::newRow("validation errors") << QStringLiteral(KV_SOURCE_DIR "/tests/cli/data/validate-errors.rules") << false;
    QTest::newRow("web incompatible") << QStringLiteral(KV_SOURCE_DIR "/tests/cli/data/web-incompatible.rules") << false;
}

void TestProblemsWindow::rowsMatchTheCommandLine()
{
    QFETCH(QString, rules);
    QFETCH(bool, sampleTable);
    QTemporaryDir folder;
    const QString path = buildProject(folder, rules, sampleTable);
    QVERIFY(!path.isEmpty());
    QByteArray json;
    cli({QStringLiteral("validate"), QStringLiteral("--analyze"), QStringLiteral("--format=json"), path}, &json);
    QJsonParseError error;
    const QJsonArray expected = QJsonDocument::fromJson(json, &error).array();
    QCOMPARE(error.error, QJsonParseError::NoError);

    Designer designer;
    QVERIFY(gApp->Controller().File().FileOpen(path));
    // Both runtimes, as the command line checks without --web or --desktop.
    designer.problems()->setTarget(ProblemsWindow::Target::Both);
    designer.action(+ToolId::CheckTree)->trigger();
    QVERIFY(designer.dock()->isVisible());
    QJsonArray shown;
    for (const ProblemsModel::Row& row : designer.problems()->model().rows())
        shown.append(QJsonObject{{QStringLiteral("kind"), row.isError ? QStringLiteral("error") : QStringLiteral("warning")},
                                 {QStringLiteral("message"), row.message},
                                 {QStringLiteral("control"), row.control},
                                 {QStringLiteral("property"), row.property},
                                 {QStringLiteral("extra"), row.detail}});
    QCOMPARE(shown, expected);
    const QString count = designer.main().findChild<QLabel*>(QStringLiteral("problemsCount"))->text();
    QVERIFY2(expected.isEmpty() || count.contains(QString::number(expected.size())) || count.contains(QLatin1Char(',')),
             qPrintable(count));
}

void TestProblemsWindow::breakingAndFixingTheSample()
{
    QTemporaryDir folder;
    const QString path = buildProject(folder, sampleRules(), true);
    QVERIFY(!path.isEmpty());
    Designer designer;
    QVERIFY(gApp->Controller().File().FileOpen(path));
    designer.problems()->setTarget(ProblemsWindow::Target::Both);
    designer.action(+ToolId::ShowProblems)->trigger();
    QVERIFY(designer.dock()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(designer.action(+ToolId::ShowProblems)->isChecked(), 2000);
    QTRY_COMPARE_WITH_TIMEOUT(designer.messages(), QStringList(), 3000);
    designer.action(+ToolId::OpenDecisionTree)->trigger();
    auto* diagram = designer.main().findChild<DiagramWindow*>();
    QVERIFY(diagram);
    CcDecisionTree& tree = gApp->Controller().DecisionTree();

    // A !GO to a deleted control.
    const qint16 mainUse = designer.decisions().Item(QStringLiteral("MainUse"))->intID();
    tree.SelectDecision(QStringLiteral("GamingLevel"));
    tree.RemoveSelection();
    QTRY_VERIFY_WITH_TIMEOUT(designer.rowStarting(QStringLiteral("Invalid control reference: GamingLevel")) >= 0, 2000);
    // Once the paths have run again, the rows are a full check's.
    QTRY_COMPARE_WITH_TIMEOUT(designer.shownWithoutNumbers(), designer.fullCheck(), 3000);
    QTRY_COMPARE_WITH_TIMEOUT(diagram->mark(mainUse), DiagramWindow::Mark::Error, 2000);
    // A !KILL on a property the selector lacks.
    CmDecisionItem* maxWeight = designer.decisions().Item(QStringLiteral("MaxWeight"));
    QStringList lines = maxWeight->OptsAndActs();
    lines.replace(0, QStringLiteral("!KILL laptops: Colour = 1"));
    maxWeight->setOptsAndActs(lines);
    QTRY_VERIFY_WITH_TIMEOUT(designer.rowStarting(QStringLiteral("The Solution Set Selector laptops has no property Colour")) >= 0, 2000);
    // A loop with no way out.
    CmDecisionItem* battery = designer.decisions().Item(QStringLiteral("BatteryHours"));
    battery->setOptsAndActs({QStringLiteral("!GO ScreenSize"), QStringLiteral("^4-20")});
    QTRY_VERIFY_WITH_TIMEOUT(designer.rowStarting(QStringLiteral("These controls lead only to one another")) >= 0, 3000);
    const qint16 screenSize = designer.decisions().Item(QStringLiteral("ScreenSize"))->intID();
    QTRY_COMPARE_WITH_TIMEOUT(diagram->mark(screenSize), DiagramWindow::Mark::Warning, 2000);
    QTRY_COMPARE_WITH_TIMEOUT(designer.shownWithoutNumbers(), designer.fullCheck(), 3000);

    // Each row takes the author to its line.
    OptionsEditor* editor = designer.main().findChild<OptionsEditor*>();
    QVERIFY(editor);
    designer.activate(designer.rowStarting(QStringLiteral("Invalid control reference: GamingLevel")));
    QCOMPARE(designer.decisions().Selected()->strID(), QStringLiteral("MainUse"));
    QVERIFY(editor->treeWidget()->currentItem());
    QCOMPARE(editor->treeWidget()->currentItem()->text(0), QStringLiteral("!GO GamingLevel"));
    designer.activate(designer.rowStarting(QStringLiteral("The Solution Set Selector laptops has no property")));
    QCOMPARE(designer.decisions().Selected()->strID(), QStringLiteral("MaxWeight"));
    QCOMPARE(editor->treeWidget()->currentItem()->text(0), QStringLiteral("!KILL laptops: Colour = 1"));
    designer.activate(designer.rowStarting(QStringLiteral("These controls lead only to one another")));
    QCOMPARE(designer.decisions().Selected()->strID(), QStringLiteral("ScreenSize"));
    // Scrolled into view.
    const QRectF box = diagram->scene()->selectedItems().value(0) ? diagram->scene()->selectedItems().first()->sceneBoundingRect() : QRectF();
    QVERIFY(!box.isNull());
    QVERIFY(diagram->visibleArea().intersects(box));

    // Undone one by one, the window empties.
    for (int step = 0; step < 3; ++step)
        designer.action(+ToolId::Undo)->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(designer.messages(), QStringList(), 3000);
    QTRY_COMPARE_WITH_TIMEOUT(diagram->mark(mainUse), DiagramWindow::Mark::None, 2000);
    // The empty window says so, as the status bar does.
    const QLabel* empty = designer.problems()->findChild<QLabel*>(QStringLiteral("problemsEmpty"));
    QVERIFY(empty);
    QTRY_VERIFY_WITH_TIMEOUT(empty->isVisible(), 2000);
    QCOMPARE(empty->text(), LoadResString(34628));
}

void TestProblemsWindow::filtersAndTarget()
{
    QTemporaryDir folder;
    const QString path = buildProject(folder, QStringLiteral(KV_SOURCE_DIR "/tests/cli/data/web-incompatible.rules"), false);
    QVERIFY(!path.isEmpty());
    Designer designer;
    QVERIFY(gApp->Controller().File().FileOpen(path));
    ProblemsWindow* window = designer.problems();
    window->setTarget(ProblemsWindow::Target::Desktop);
    QTest::keyClick(&designer.main(), Qt::Key_F7);
    const int desktopRows = static_cast<int>(window->model().rows().size());
    window->setTarget(ProblemsWindow::Target::Web);
    designer.action(+ToolId::CheckTree)->trigger();
    const QList<ProblemsModel::Row> web = window->model().rows();
    QVERIFY(web.size() != desktopRows);
    window->setKinds(ProblemsWindow::Kinds::Errors);
    for (const ProblemsModel::Row& row : window->shownRows())
        QVERIFY(row.isError);
    window->setKinds(ProblemsWindow::Kinds::Warnings);
    for (const ProblemsModel::Row& row : window->shownRows())
        QVERIFY(!row.isError);
    window->setKinds(ProblemsWindow::Kinds::All);
    QCOMPARE(window->shownRows().size(), web.size());
    const QString control = web.first().control;
    window->setControlFilter(control.toLower());
    for (const ProblemsModel::Row& row : window->shownRows())
        QVERIFY(row.control.contains(control, Qt::CaseInsensitive));
    window->setControlFilter(QString());
    const QLabel* empty = window->findChild<QLabel*>(QStringLiteral("problemsEmpty"));
    QVERIFY(empty);
    QVERIFY(!empty->isVisible());
    window->setTextFilter(QStringLiteral("no such text anywhere"));
    QVERIFY(window->shownRows().isEmpty());
    // Not "no problems": the filters hide them.
    QVERIFY(empty->isVisible());
    QCOMPARE(empty->text(), LoadResString(34633));
    window->setTextFilter(QString());
    // Sorted by message, then back to the check's order.
    window->view()->sortByColumn(ProblemsModel::MessageColumn, Qt::AscendingOrder);
    const QList<ProblemsModel::Row> sorted = window->shownRows();
    for (qsizetype row = 1; row < sorted.size(); ++row)
        QVERIFY(sorted.at(row - 1).message.compare(sorted.at(row).message, Qt::CaseInsensitive) <= 0);
}

void TestProblemsWindow::linesOfOneControl_data()
{
    QTest::addColumn<int>("page");
    QTest::newRow("options as a tree") << int(OptionsEditor::Page::Tree);
    QTest::newRow("options as text") << int(OptionsEditor::Page::Text);
}

// Deleting the sample's Portability breaks four lines of MainUse. The rows tell the lines apart,
// sorting by property keeps them in line order (10 after 5), and a row takes the author to its
// line on whichever page of the options editor they work on.
void TestProblemsWindow::linesOfOneControl()
{
    QFETCH(int, page);
    QTemporaryDir folder;
    const QString path = buildProject(folder, sampleRules(), true);
    QVERIFY(!path.isEmpty());
    Designer designer;
    QVERIFY(gApp->Controller().File().FileOpen(path));
    designer.action(+ToolId::ShowProblems)->trigger();
    designer.action(+ToolId::OpenDecisionTree)->trigger();
    OptionsEditor* editor = designer.main().findChild<OptionsEditor*>();
    QVERIFY(editor);
    CcDecisionTree& tree = gApp->Controller().DecisionTree();
    tree.SelectDecision(QStringLiteral("MainUse"));
    editor->showPage(static_cast<OptionsEditor::Page>(page));
    tree.SelectDecision(QStringLiteral("Portability"));
    tree.RemoveSelection();

    ProblemsWindow* window = designer.problems();
    // The rows about MainUse's lines, as shown.
    const auto mainUseRows = [window] {
        QList<int> rows;
        const QList<ProblemsModel::Row> shown = window->shownRows();
        for (qsizetype row = 0; row < shown.size(); ++row) {
            if (shown.at(row).control == QLatin1String("MainUse") && shown.at(row).message.endsWith(QLatin1String("Portability")))
                rows.append(static_cast<int>(row));
        }
        return rows;
    };
    QTRY_COMPARE_WITH_TIMEOUT(mainUseRows().size(), 4, 3000);
    // The last of them: the !GO of the "Programming" option.
    designer.activate(static_cast<int>(window->model().rows().indexOf(window->shownRows().at(mainUseRows().last()))));
    QCOMPARE(designer.decisions().Selected()->strID(), QStringLiteral("MainUse"));
    QCOMPARE(int(editor->page()), page);
    if (editor->page() == OptionsEditor::Page::Tree) {
        const QTreeWidgetItem* current = editor->treeWidget()->currentItem();
        QVERIFY(current && current->parent());
        QCOMPARE(current->text(0), QStringLiteral("!GO Portability"));
        QCOMPARE(current->parent()->text(0), QStringLiteral("^Programming"));
        QTRY_VERIFY_WITH_TIMEOUT(editor->treeWidget()->hasFocus(), 2000);
    } else {
        const QTextBlock line = editor->textEdit()->textCursor().block();
        QCOMPARE(line.text().trimmed(), QStringLiteral("!GO Portability"));
        QCOMPARE(line.previous().previous().text().trimmed(), QStringLiteral("^Programming"));
        QTRY_VERIFY_WITH_TIMEOUT(editor->textEdit()->hasFocus(), 2000);
    }

    // Sorted by property, each row names its own line, in line order.
    window->view()->sortByColumn(ProblemsModel::PropertyColumn, Qt::AscendingOrder);
    QSet<QString> properties;
    int previousLine = -1;
    for (const int row : mainUseRows()) {
        const QModelIndex property = window->view()->model()->index(row, ProblemsModel::PropertyColumn);
        properties.insert(property.data().toString());
        // Whole, not cut short where the line is named.
        QVERIFY(window->view()->sizeHintForIndex(property).width() <= window->view()->visualRect(property).width());
        const int line = window->shownRows().at(row).line;
        QVERIFY2(line > previousLine, qPrintable(QStringLiteral("line %1 after %2").arg(line).arg(previousLine)));
        previousLine = line;
    }
    QCOMPARE(properties.size(), 4);
}

void TestProblemsWindow::propertyRowsOpenTheirProperty_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<int>("labelId");
    QTest::newRow("minimum") << QStringLiteral("Minimum") << 8007;
    QTest::newRow("picture") << QStringLiteral("Picture") << 8005;
    QTest::newRow("displayed controls") << QStringLiteral("Displayed Controls") << 8004;
    QTest::newRow("interface with its detail") << QStringLiteral("Input Interface=Slide") << 8003;
}

// A finding about a property selects its control and puts the keyboard in that property's row.
void TestProblemsWindow::propertyRowsOpenTheirProperty()
{
    QFETCH(QString, property);
    QFETCH(int, labelId);
    QTemporaryDir folder;
    const QString path = buildProject(folder, QStringLiteral(KV_SOURCE_DIR "/tests/cli/data/validate-errors.rules"), false);
    QVERIFY(!path.isEmpty());
    Designer designer;
    QVERIFY(gApp->Controller().File().FileOpen(path));
    designer.action(+ToolId::CheckTree)->trigger();
    const QList<ProblemsModel::Row>& rows = designer.problems()->model().rows();
    int found = -1;
    for (qsizetype row = 0; row < rows.size(); ++row) {
        if (rows.at(row).property == property)
            found = static_cast<int>(row);
    }
    QVERIFY(found >= 0);
    designer.activate(found);
    QVERIFY(designer.decisions().Selected());
    QCOMPARE(designer.decisions().Selected()->strID(), rows.at(found).control);
    auto* properties = designer.main().findChild<frmProperties*>();
    QVERIFY(properties);
    QWidget* editor = properties->editor(labelId);
    QVERIFY(editor);
    QTRY_VERIFY_WITH_TIMEOUT(editor->hasFocus() || editor->isAncestorOf(QApplication::focusWidget()), 2000);
}

void TestProblemsWindow::closingWhileTheTreeIsChecked_data()
{
    QTest::addColumn<bool>("closeProjectFirst");
    QTest::newRow("window closed") << false;
    QTest::newRow("project closed, then the window") << true;
}

// The whole tree is checked on another thread after a pause; closing the project or the
// Designer meanwhile must leave that thread nothing of theirs to read or report to (the
// sanitizer build runs this).
void TestProblemsWindow::closingWhileTheTreeIsChecked()
{
    QFETCH(bool, closeProjectFirst);
    auto designer = std::make_unique<Designer>();
    SyntheticTree::fill(designer->decisions(), 5000);
    // Other runtimes: every control is checked again, after the pause.
    designer->problems()->setTarget(ProblemsWindow::Target::Desktop);
    const QLabel* count = designer->main().findChild<QLabel*>(QStringLiteral("problemsCount"));
    QVERIFY(count);
    // The count says so while the check runs; the typing is never held up by it.
    QTRY_COMPARE_WITH_TIMEOUT(count->text(), LoadResString(14018), 5000);
    if (closeProjectFirst) {
        // Closed without saving the generated tree.
        designer->prompt.QueueAnswer(PromptAnswer::No);
        QVERIFY(!gApp->Controller().File().FileClose());
        QCOMPARE(designer->decisions().Count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(count->text(), LoadResString(34628), 10000);
        QVERIFY(designer->problems()->model().rows().isEmpty() || !designer->dock()->isVisible());
        SyntheticTree::fill(designer->decisions(), 5000);
        designer->problems()->setTarget(ProblemsWindow::Target::Web);
        QTRY_COMPARE_WITH_TIMEOUT(count->text(), LoadResString(14018), 5000);
    }
    designer.reset();
    QTest::qWait(50);
}

KV_REGISTER_TEST(TestProblemsWindow)
#include "tst_ProblemsWindow.moc"
