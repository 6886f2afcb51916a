#include "common/Scaling.h"
#include "common/TestRegistry.h"
#include "tests/views/RunningDesigner.h"

#include "app/CController.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "project/CvProject.h"
#include "app/ControlOutlineModel.h"
#include "app/ToolId.h"
#include "edit/CcDecisionTree.h"
#include "edit/CvDecisionTree.h"
#include "edit/OptionsEditSession.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "model/DecisionProperties.h"
#include "model/RulesText.h"
#include "persist/PictureStore.h"
#include "persist/ProjectNodes.h"
#include "persist/StorageDocument.h"
#include "persist/StorageNode.h"
#include "views/CommandBars.h"
#include "views/ControlOutline.h"
#include "views/MainWindow.h"
#include "views/OptionsEditorHost.h"
#include "views/PlayerControlView.h"
#include "views/PlayerPage.h"
#include "views/PreviewPane.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTest>
#include <QTreeView>

#include <type_traits>

namespace {

const QString Rules = QStringLiteral("BEGIN\n"
                                     "1\t\tBudget\t\t\t\"How much?\"\tNumBox\t$Budget in euros\t^300-5000\t\n"
                                     "2\t\tMainUse\t\t\t\"What <B>mostly</B>?\"\tRadio\t$Main use\t^Work\t^Play\t\n"
                                     "3\t\tNotes\t\t\t\"Anything else?\"\tTextArea\t$Notes for the shop\t\n"
                                     "4\t\tAgree\t\t\t\"Agreed?\"\tCheck\t&True\t$I agree\t\n");

struct Designer : RunningDesigner {
    Designer()
    {
        main().resize(1100, 760);
        main().show();
        decisions().Init();
        RulesText::Read(Rules, decisions());
    }
    MainWindow& main() const { return *windows.mainWindow(); }
    void run(ToolId id) const { main().commandBars().action(+id)->trigger(); }
    CmDecisionManager& decisions() const { return gApp->Model().Decisions(); }
    CmDecisionItem& control(const char* name) const { return *decisions().Item(QLatin1String(name)); }
    void select(const char* name) const { gApp->Controller().DecisionTree().SelectDecision(QLatin1String(name)); }
    PreviewPane& pane(const char* name) const { return *main().findChild<PreviewPane*>(QLatin1String(name)); }
    ControlOutline& outline() const { return *main().findChild<ControlOutline*>(); }
    QDockWidget* dock(const char* name) const { return main().findChild<QDockWidget*>(QLatin1String(name)); }
};

// The input widgets of the page's controls, by the class of widget each shows.
template <typename Widget>
QStringList texts(const PlayerPage& page)
{
    QStringList found;
    for (const PlayerControlView* view : page.controlViews()) {
        for (const Widget* widget : view->findChildren<Widget*>()) {
            if constexpr (std::is_same_v<Widget, QListWidget>) {
                for (int i = 0; i < widget->count(); ++i)
                    found.append(widget->item(i)->text());
            } else if constexpr (std::is_same_v<Widget, QComboBox>) {
                for (int i = 0; i < widget->count(); ++i)
                    found.append(widget->itemText(i));
            } else if constexpr (std::is_same_v<Widget, QPlainTextEdit>) {
                found.append(widget->toPlainText());
            } else {
                found.append(widget->text());
            }
        }
    }
    return found;
}

enum class Change { Caption, Header, Interface, Options, Displayed };

QString outlineNames(const ControlOutline& outline)
{
    QStringList names;
    for (int row = 0; row < outline.rows().rowCount(); ++row)
        names.append(outline.rows().index(row, 0).data().toString());
    return names.join(QLatin1Char(','));
}

} // namespace

Q_DECLARE_METATYPE(Change)

// The page preview, the input preview and the outline in the Designer, driven through the
// menus and the models as an author would.
class TestPreviewsAndOutline : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { gApp.reset(); }
    void pagePreviewFollowsEveryChange_data();
    void pagePreviewFollowsEveryChange();
    void hiddenPreviewsWaitUntilShown();
    void pictureAndSelectorItemsComeFromTheProject();
    void inputPreviewShowsTheInputAlone();
    void outlineSelectsBothWays();
    void outlineFollowsAddRenameAndRemove();
    void readingAProjectStaysLinearWithEveryWindowShown();
};

void TestPreviewsAndOutline::pagePreviewFollowsEveryChange_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QStringList>("radios");
    QTest::addColumn<QStringList>("choices");
    QTest::addColumn<int>("inputs");
    const QString header = QStringLiteral("What <b>mostly</b>?");
    const QStringList caption{"<b>Main use</b>"};
    const QStringList radios{"Work", "Play"};
    QTest::newRow("caption") << Change::Caption << header << QStringList{"<b>Your use</b>"} << radios << QStringList{} << 1;
    QTest::newRow("header") << Change::Header << QStringLiteral("<u>Why</u> &lt;now&gt;") << caption << radios
                            << QStringList{} << 1;
    QTest::newRow("interface") << Change::Interface << header << caption << QStringList{} << radios << 1;
    QTest::newRow("options") << Change::Options << header << caption << QStringList{"Home", "Office", "Road"}
                             << QStringList{} << 1;
    QTest::newRow("displayed controls") << Change::Displayed << header
                                        << QStringList{"<b>Main use</b>", "<b>Notes for the shop</b>"} << radios
                                        << QStringList{} << 2;
}

void TestPreviewsAndOutline::pagePreviewFollowsEveryChange()
{
    QFETCH(Change, change);
    Designer designer;
    designer.run(ToolId::ShowPreview);
    PreviewPane& pane = designer.pane(PreviewPane::PageName);
    QTRY_VERIFY(pane.isVisible());
    designer.select("MainUse");
    QTRY_COMPARE(texts<QRadioButton>(pane.page()), (QStringList{"Work", "Play"}));
    QCOMPARE(pane.page().headerText(), QStringLiteral("What <b>mostly</b>?"));

    CmDecisionItem& mainUse = designer.control("MainUse");
    using namespace MDecisionDataUtil;
    switch (change) {
    case Change::Caption: QVERIFY(SetProperty(mainUse, CaptionLabel, QStringLiteral("Your use"))); break;
    case Change::Header: mainUse.EditHeading(QStringLiteral("<U>Why</U> \\<now>")); break;
    case Change::Interface: QVERIFY(SetProperty(mainUse, InputInterfaceLabel, QStringLiteral("Combo"))); break;
    case Change::Options: mainUse.setOptsAndActs({"^Home", "^Office", "^Road"}); break;
    case Change::Displayed: QVERIFY(SetProperty(mainUse, DisplayedControlsLabel, QStringLiteral("Notes"))); break;
    }
    QFETCH(QString, header);
    QFETCH(QStringList, labels);
    QFETCH(QStringList, radios);
    QFETCH(QStringList, choices);
    QFETCH(int, inputs);
    QVERIFY(pane.behind());
    QTRY_VERIFY(!pane.behind());
    QCOMPARE(pane.page().headerText(), header);
    QCOMPARE(pane.page().controlViews().size(), inputs);
    QCOMPARE(texts<QLabel>(pane.page()), labels);
    QCOMPARE(texts<QRadioButton>(pane.page()), radios);
    QCOMPARE(texts<QComboBox>(pane.page()), choices);
    QCOMPARE(texts<QPlainTextEdit>(pane.page()).size(), change == Change::Displayed ? 1 : 0);

    // A control the page does not show changes nothing on it.
    QVERIFY(SetProperty(designer.control("Budget"), CaptionLabel, QStringLiteral("Money")));
    QCoreApplication::processEvents();
    QVERIFY(!pane.behind());
    QCOMPARE(texts<QLabel>(pane.page()), labels);
}

void TestPreviewsAndOutline::hiddenPreviewsWaitUntilShown()
{
    Designer designer;
    PreviewPane& pane = designer.pane(PreviewPane::PageName);
    QVERIFY(!pane.isVisible());
    designer.select("Budget");
    QVERIFY(MDecisionDataUtil::SetProperty(designer.control("Budget"), MDecisionDataUtil::CaptionLabel,
                                           QStringLiteral("Money")));
    QCoreApplication::processEvents();
    QVERIFY(pane.behind());
    QVERIFY(pane.page().controlViews().isEmpty());

    designer.run(ToolId::ShowPreview);
    QTRY_VERIFY(!pane.behind());
    QCOMPARE(pane.showing(), &designer.control("Budget"));
    QCOMPARE(texts<QLabel>(pane.page()), QStringList{"<b>Money</b>"});
    const QList<QSpinBox*> numbers = pane.page().controlViews().constFirst()->findChildren<QSpinBox*>();
    QCOMPARE(numbers.size(), 1);
    QCOMPARE(numbers.constFirst()->minimum(), 300);
    QCOMPARE(numbers.constFirst()->maximum(), 5000);

    // Hidden again, the preview lets go of what it showed once the selection moves on.
    designer.run(ToolId::ShowPreview);
    QTRY_VERIFY(!pane.isVisible());
    designer.select("Notes");
    QVERIFY(pane.behind());
    QCOMPARE(pane.showing(), &designer.control("Budget"));
}

void TestPreviewsAndOutline::pictureAndSelectorItemsComeFromTheProject()
{
    Designer designer;
    StorageDocument& storage = gApp->Model().Document().Storage();
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray png;
    QBuffer buffer(&png);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG"));
    QVERIFY(storage.pictures().add(QStringLiteral("Front"), png).ok());
    StorageNode table = storage.rootNode();
    QVERIFY(table.open(ProjectNodes::Databases + QStringLiteral("Laptops")).ok());
    QVERIFY(table.writeTable({{"Name", "Price"}, {"Aero", "900"}, {"Kite", "700"}}).ok());
    QVERIFY(RulesText::Read(QStringLiteral("BEGIN\n5\t\tResults\tFront\t\t\"Pick one\"\tdList\t$Matches\t"
                                           "^Laptops\t^Tablets\t\n"),
                            designer.decisions()).ok);

    designer.run(ToolId::ShowPreview);
    designer.run(ToolId::ShowControlPreview);
    designer.select("Results");
    PreviewPane& page = designer.pane(PreviewPane::PageName);
    PreviewPane& input = designer.pane(PreviewPane::InputName);
    QTRY_VERIFY(!page.behind() && !input.behind());
    QVERIFY(page.page().showsPicture());
    QVERIFY(!input.page().showsPicture());
    // The selector the project lacks adds nothing.
    QCOMPARE(texts<QListWidget>(page.page()), (QStringList{"Aero", "Kite"}));
    QCOMPARE(texts<QListWidget>(input.page()), (QStringList{"Aero", "Kite"}));

    QVERIFY(MDecisionDataUtil::SetProperty(designer.control("Results"), MDecisionDataUtil::PictureLabel,
                                           QStringLiteral("Back")));
    QTRY_VERIFY(!page.behind());
    QVERIFY(!page.page().showsPicture());
    // A picture imported under that name afterwards shows.
    QVERIFY(storage.pictures().add(QStringLiteral("Back"), png).ok());
    gApp->View().Project().AddPicture(QStringLiteral("Back"));
    QTRY_VERIFY(page.page().showsPicture());
}

void TestPreviewsAndOutline::inputPreviewShowsTheInputAlone()
{
    Designer designer;
    designer.run(ToolId::ShowControlPreview);
    QVERIFY(designer.main().commandBars().action(+ToolId::ShowControlPreview)->isChecked());
    PreviewPane& pane = designer.pane(PreviewPane::InputName);
    designer.select("Agree");
    QTRY_COMPARE(pane.page().controlViews().size(), 1);
    const QList<QCheckBox*> boxes = pane.page().controlViews().constFirst()->findChildren<QCheckBox*>();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.constFirst()->text(), QStringLiteral("I agree"));
    QVERIFY(boxes.constFirst()->isChecked()); // its default
    QVERIFY(pane.page().headerText().isEmpty());

    // Displayed controls belong to the page, not to the input.
    QVERIFY(MDecisionDataUtil::SetProperty(designer.control("Agree"), MDecisionDataUtil::DisplayedControlsLabel,
                                           QStringLiteral("Notes")));
    designer.decisions().Remove(QStringLiteral("Agree"));
    QTRY_COMPARE(pane.page().controlViews().size(), 0);
    QCOMPARE(pane.showing(), nullptr);
}

void TestPreviewsAndOutline::outlineSelectsBothWays()
{
    Designer designer;
    designer.run(ToolId::GoToControl);
    QTRY_VERIFY(designer.dock("barOutline")->isVisible());
    ControlOutline& outline = designer.outline();
    QCOMPARE(designer.main().focusWidget(), &outline.filter());
    QVERIFY(designer.main().commandBars().action(+ToolId::ShowOutline)->isChecked());

    // From the diagram's side to the row.
    designer.select("Notes");
    QCOMPARE(outline.currentItem(), &designer.control("Notes"));

    // From the row to every window: the manager, the diagram's selection.
    const int budget = outline.model().rowOf(&designer.control("Budget"));
    outline.list().setCurrentIndex(outline.rows().mapFromSource(outline.model().index(budget, 0)));
    QCOMPARE(designer.decisions().Selected(), &designer.control("Budget"));
    QCOMPARE(gApp->Controller().DiagramView().Canvas().SelectedKeys(), QList<qint16>{1});

    // Typing a filter moves no selection; Down takes the first row it lets through.
    QTest::keyClicks(&outline.filter(), QStringLiteral("AGREE"));
    QCOMPARE(outlineNames(outline), QStringLiteral("Agree"));
    QCOMPARE(designer.decisions().Selected(), &designer.control("Budget"));
    QCOMPARE(outline.currentItem(), nullptr);
    QTest::keyClick(&outline.filter(), Qt::Key_Down);
    QCOMPARE(designer.decisions().Selected(), &designer.control("Agree"));

    // Enter on the row opens the control's options.
    QDockWidget* options = designer.dock(OptionsEditorHost::DockName);
    QVERIFY(!options->isVisible());
    QTest::keyClick(&outline.list(), Qt::Key_Return);
    QTRY_VERIFY(options->isVisible());

    // Escape goes back to the filter, and there clears it: the selected row comes back as the
    // current one.
    QTest::keyClick(&outline.list(), Qt::Key_Escape);
    QCOMPARE(designer.main().focusWidget(), &outline.filter());
    QTest::keyClick(&outline.filter(), Qt::Key_Escape);
    QCOMPARE(outline.rows().rowCount(), 4);
    QCOMPARE(outline.currentItem(), &designer.control("Agree"));

    // Another project starts with no filter.
    QTest::keyClicks(&outline.filter(), QStringLiteral("zzz"));
    QCOMPARE(outline.rows().rowCount(), 0);
    designer.decisions().Init();
    RulesText::Read(Rules, designer.decisions());
    QCOMPARE(outline.filter().text(), QString());
    QTRY_COMPARE(outline.rows().rowCount(), 4);
}

void TestPreviewsAndOutline::outlineFollowsAddRenameAndRemove()
{
    Designer designer;
    designer.run(ToolId::ShowOutline);
    ControlOutline& outline = designer.outline();
    outline.list().sortByColumn(ControlOutlineModel::NameColumn, Qt::AscendingOrder);
    QTRY_COMPARE(outlineNames(outline), QStringLiteral("Agree,Budget,MainUse,Notes"));

    CcDecisionTree& tree = gApp->Controller().DecisionTree();
    CmDecisionItem* added = tree.AddNew(QPointF(400, 400), 0, QStringLiteral("Delivery"));
    QVERIFY(added);
    QTRY_COMPARE(outlineNames(outline), QStringLiteral("Agree,Budget,Delivery,MainUse,Notes"));
    tree.SelectDecision(QStringLiteral("Delivery"));
    QCOMPARE(outline.currentItem(), added);

    QVERIFY(tree.Rename(QStringLiteral("Delivery"), QStringLiteral("Shipping"), added->intID()));
    QTRY_COMPARE(outlineNames(outline), QStringLiteral("Agree,Budget,MainUse,Notes,Shipping"));
    QCOMPARE(outline.currentItem(), added);

    tree.Remove(QVariant(int(designer.control("Notes").intID())));
    QCOMPARE(outlineNames(outline), QStringLiteral("Agree,Budget,MainUse,Shipping"));
    tree.Remove(QVariant(int(added->intID())));
    QCOMPARE(outlineNames(outline), QStringLiteral("Agree,Budget,MainUse"));
    QCOMPARE(outline.currentItem(), nullptr);
    QCOMPARE(designer.decisions().Selected(), nullptr);
}

void TestPreviewsAndOutline::readingAProjectStaysLinearWithEveryWindowShown()
{
    // Each control read is one event to the outline, the previews and the options editor; a
    // window that did work over the whole tree for each would show as a ratio near 4.
    Designer designer;
    for (const ToolId id : {ToolId::ShowOutline, ToolId::ShowPreview, ToolId::ShowControlPreview,
                            ToolId::ShowOptionsEditor})
        designer.run(id);
    designer.select("MainUse");
    const auto read = [&designer](int count) {
        QString rules = QStringLiteral("BEGIN\n");
        for (int id = 1; id <= count; ++id)
            rules += QStringLiteral("%1\t\tC%1\t\t\t\"Question %1\"\tRadio\t$Caption %1\t^Yes\t^No\t\n").arg(id);
        designer.decisions().Init();
        QVERIFY(RulesText::Read(rules, designer.decisions()).ok);
        designer.select("C1");
        QCoreApplication::processEvents();
        QCOMPARE(designer.outline().model().rowCount(), count);
    };
    const double ratio = GrowthRatio(read, 1500);
    QVERIFY2(ratio < 3.5, qPrintable(QString::number(ratio)));
}

KV_REGISTER_TEST(TestPreviewsAndOutline)
#include "tst_PreviewsAndOutline.moc"
