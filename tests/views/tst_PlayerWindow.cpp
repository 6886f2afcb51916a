#include "common/TestRegistry.h"
#include "tests/views/StoredRecord.h"

#include "app/CApplication.h"
#include "project/CModel.h"
#include "app/CRegistry.h"
#include "app/MStartUp.h"
#include "base/ResourceStrings.h"
#include "common/ScriptedPrompt.h"
#include "common/TestEnvironment.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "model/MDecisionDataUtil.h"
#include "persist/StorageDocument.h"
#include "runtime/CompiledTree.h"
#include "views/DesignerWindowHost.h"
#include "views/PlayerControlView.h"
#include "views/PlayerWindow.h"

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

namespace {

const auto record = StoredRecord;

CompiledTree carsTree()
{
    CompiledTree tree;
    tree.rulesText = "BEGIN\r\n" +
                     record({"1", "", "Budget", "", "", "\"<B>Your</B> budget \\<5 & more\"", "Radio", "^Cheap",
                             "!KILL Cars: Price > 30000", "!GO Seats", "^Any", "!GO Seats"}) + "\r\n" +
                     record({"2", "", "Seats", "", "", "\"\"", "NumBox", "&4", "^1-9", "!KILL Cars: Seats < [[Seats]]",
                             "!EARLYFINISH On"}) + "\r\n" +
                     record({"3", "", "End", "", "", "\"Thanks\"", "Done"}) + "\r\n";
    CompiledTree::Table cars{"Cars", {}};
    CsvTable::parse("Name,Price,Seats\nMini,18000,4\nVan,32000,8\nEstate,29000,5\nMicro,12000,2\n", cars.rows);
    tree.tables.append(cars);
    return tree;
}

QPushButton* button(PlayerWindow& window, int textId)
{
    for (QPushButton* candidate : window.findChildren<QPushButton*>())
        if (candidate->text() == LoadResString(textId))
            return candidate;
    return nullptr;
}

QStringList panelRows(PlayerWindow& window)
{
    QStringList rows;
    auto* items = window.findChild<QTreeWidget*>("selectorItems");
    for (int i = 0; i < items->topLevelItemCount(); ++i)
        rows.append(items->topLevelItem(i)->text(0) + " | " + items->topLevelItem(i)->text(1));
    return rows;
}

// A running Designer with a new project, its controls replaced by the ones a test adds.
struct Designer {
    ScriptedPrompt prompt;
    DesignerWindowHost windows{prompt};

    Designer()
    {
        TestEnvironment::clearSettings();
        CRegistry::Write(QString(), QStringLiteral("NoGSRun"), QStringLiteral("1"));
        prompt.QueueNewOrOpen({NewOrOpenChoice::Kind::NewProject, QString()});
        MStartUp::Main(prompt, windows, QString());
        prompt.clearShown();
        gApp->Model().Decisions().Clear();
    }
    ~Designer() { gApp.reset(); }
    Designer(const Designer&) = delete;
    Designer& operator=(const Designer&) = delete;

    CmDecisionItem& add(qint16 id, const QString& name, qint16 type, const QStringList& lines)
    {
        auto item = std::make_unique<CmDecisionItem>();
        CmDecisionItem& added = *item;
        item->setIntID(id);
        item->setStrID(name);
        item->setIntControl(type);
        item->setOptsAndActsAsRead(lines);
        if (!gApp->Model().Decisions().add(std::move(item)))
            qFatal("decision %s refused", qPrintable(name));
        return added;
    }
};

QByteArray pictureBytes(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

class TestPlayerWindow : public QObject {
    Q_OBJECT

private slots:
    void playsAPageAtATime()
    {
        QString problem;
        std::unique_ptr<PlayerWindow> window = PlayerWindow::create(carsTree(), "cars", problem);
        QVERIFY2(window, qPrintable(problem));
        QVERIFY(window->start());
        QCOMPARE(window->findChild<QLabel*>("header")->text(), QString("<b>Your</b> budget &lt;5 &amp; more"));
        QCOMPARE(window->controlViews().size(), 1);
        QVERIFY(!button(*window, 32572)->isEnabled());
        QVERIFY(!button(*window, 32578)->isEnabled());

        button(*window, 32573)->click(); // nothing chosen yet
        QCOMPARE(window->statusText(), LoadResString(32571).arg("Budget"));
        QCOMPARE(window->engine().page(), QList<int>{1});

        window->findChildren<QRadioButton*>().first()->setChecked(true);
        button(*window, 32573)->click();
        QCOMPARE(window->engine().page(), QList<int>{2});
        QCOMPARE(panelRows(*window), (QStringList{"Mini | ", "Estate | ", "Micro | ",
                                                  "Van | " + LoadResString(32577).arg("Budget", "Cheap",
                                                                                      "!KILL Cars: Price > 30000")}));
        auto* seats = window->controlViews().first()->findChild<QSpinBox*>();
        QCOMPARE(seats->value(), 4); // the default
        seats->setValue(5);
        button(*window, 32573)->click();
        QCOMPARE(window->engine().page(), QList<int>{3});
        QCOMPARE(window->statusText(), LoadResString(32582).arg("End"));
        QVERIFY(!button(*window, 32573)->isEnabled());
        QVERIFY(button(*window, 32578)->isEnabled());

        button(*window, 32572)->click(); // back to the seats page, its answer kept, its removals undone
        QCOMPARE(window->controlViews().first()->findChild<QSpinBox*>()->value(), 5);
        QCOMPARE(panelRows(*window).size(), 4);
        button(*window, 32572)->click();
        QVERIFY(window->findChildren<QRadioButton*>().first()->isChecked());

        button(*window, 32573)->click();
        button(*window, 32573)->click();
        button(*window, 32578)->click();
        QVERIFY(!window->engine().isRunning());
        QCOMPARE(window->findChild<QLabel*>("header")->text(), LoadResString(32580));
        // The seats page came back with its default, since the budget page was left without it.
        QCOMPARE(panelRows(*window).mid(0, 2), (QStringList{"Mini | ", "Estate | "}));
    }

    void aCommandButtonAnswersItsPage()
    {
        CompiledTree tree;
        tree.rulesText = "BEGIN\r\n" + record({"1", "", "Go", "", "", "\"\"", "Command", "$Show them", "^True", "!GO End",
                                                "^False", "!NOOP"}) +
                         "\r\n" + record({"2", "", "End", "", "", "\"\"", "Done"}) + "\r\n";
        QString problem;
        std::unique_ptr<PlayerWindow> window = PlayerWindow::create(tree, "command", problem);
        QVERIFY(window);
        QVERIFY(window->start());
        QPushButton* command = window->controlViews().first()->findChild<QPushButton*>();
        QCOMPARE(command->text(), QString("Show them"));
        command->click();
        QTRY_COMPARE(window->engine().page(), QList<int>{2});
    }

    // The project open in the Designer is compiled in memory and played: its pages, the picture
    // stored with it, and where it goes next.
    void playsTheOpenProject()
    {
        Designer designer;
        using namespace MDecisionDataUtil;
        CmDecisionItem& welcome = designer.add(1, "Welcome", Info, {"!GO Colour"});
        welcome.setHeading("Hello <B>there</B>");
        welcome.setPicture("Logo.png");
        designer.add(2, "Colour", Radio, {"^Red", "!GO Bye", "^Blue", "!GO Bye"}).setHeading("Pick one");
        designer.add(3, "Bye", Done, {});
        QVERIFY(gApp->Model().Document().Storage().pictures().add("Logo.png", pictureBytes(640, 80)).ok());

        QString problem;
        std::unique_ptr<PlayerWindow> window = PlayerWindow::forProject(gApp->OpenProject(), problem);
        QVERIFY2(window, qPrintable(problem));
        QVERIFY(window->start());
        QCOMPARE(window->findChild<QLabel*>("header")->text(), QString("Hello <b>there</b>"));
        const QLabel* picture = nullptr;
        for (const QLabel* label : window->findChildren<QLabel*>())
            if (!label->pixmap().isNull())
                picture = label;
        QVERIFY(picture);
        QVERIFY(!picture->isHidden());
        QCOMPARE(picture->pixmap().width(), 480); // scaled down to the page's width
        QCOMPARE(picture->pixmap().height(), 60);

        button(*window, 32573)->click();
        QCOMPARE(window->findChild<QLabel*>("header")->text(), QString("Pick one"));
        QVERIFY(picture->isHidden()); // the next page has no picture
        window->findChildren<QRadioButton*>().at(1)->setChecked(true);
        button(*window, 32573)->click();
        QCOMPARE(window->engine().value(2), QString("Blue"));
        QVERIFY(window->engine().onDonePage());
    }

    void refusesAProjectThatDoesNotValidate()
    {
        Designer designer;
        designer.add(1, "Start", MDecisionDataUtil::Radio, {"^Yes", "!GO Nowhere"});
        QString problem;
        QVERIFY(!PlayerWindow::forProject(gApp->OpenProject(), problem));
        QVERIFY2(problem.contains("Nowhere"), qPrintable(problem));
    }

    void refusesATreeItCannotRead()
    {
        CompiledTree broken;
        broken.rulesText = "hello";
        QString problem;
        QVERIFY(!PlayerWindow::create(broken, "broken", problem));
        QCOMPARE(problem, LoadResString(32519));
    }
};

KV_REGISTER_TEST(TestPlayerWindow)
#include "tst_PlayerWindow.moc"
