#include "RunningDesigner.h"

#include "app/CController.h"
#include "app/CcFile.h"
#include "app/CommandBand.h"
#include "app/CommandTable.h"
#include "common/TestRegistry.h"
#include "views/CommandBars.h"
#include "views/MainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <map>

namespace {

// The access key of a caption as Qt reads it ("E&xit" gives X); empty when it has none.
QString accessKey(const QString& caption)
{
    const QKeySequence alt = QKeySequence::mnemonic(caption);
    return alt.isEmpty() ? QString() : QKeySequence(alt[0].key()).toString();
}

// Every item of the list without an access key, and every key two items share, named by their
// captions; empty when each item has a key of its own.
QStringList keyProblems(const QString& where, const QList<QAction*>& actions)
{
    QStringList problems;
    std::map<QString, QString> taken;
    for (const QAction* action : actions) {
        if (action->isSeparator())
            continue;
        const QString key = accessKey(action->text());
        if (key.isEmpty()) {
            problems << where + QStringLiteral(": no access key: ") + action->text();
            continue;
        }
        const auto [held, added] = taken.emplace(key, action->text());
        if (!added)
            problems << where + QStringLiteral(": ") + key + QStringLiteral(" for both ") + held->second
                            + QStringLiteral(" and ") + action->text();
    }
    return problems;
}

} // namespace

class TestMenuAccessKeys : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { gApp.reset(); }

    // The checks themselves: a shared key and a missing one are both caught.
    void problemsAreFound()
    {
        QAction exportMenu(QStringLiteral("E&xport"));
        QAction exitItem(QStringLiteral("E&xit"));
        QAction plain(QStringLiteral("File Properties"));
        QAction separator;
        separator.setSeparator(true);
        const QStringList problems = keyProblems(QStringLiteral("File"), {&exportMenu, &separator, &exitItem, &plain});
        QCOMPARE(problems, (QStringList{QStringLiteral("File: X for both E&xport and E&xit"),
                                        QStringLiteral("File: no access key: File Properties")}));
        QCOMPARE(accessKey(QStringLiteral("R&&D &Notes")), QStringLiteral("N"));
    }

    // Every menu the Designer can show, its menu bar (with the menus its windows add) and its
    // context menus, with a full recent-files list: each item has a key no other item of its
    // menu has.
    void everyItemHasAKeyOfItsOwn()
    {
        RunningDesigner designer;
        QTemporaryDir folder;
        for (int index = 1; index <= CommandTable::RecentFileToolCount; ++index)
            gApp->Controller().File().AddToMRU(folder.filePath(QStringLiteral("project%1.kvp").arg(index)));

        const CommandBars& bars = designer.windows.mainWindow()->commandBars();
        QStringList problems = keyProblems(QStringLiteral("menu bar"), designer.windows.mainWindow()->menuBar()->actions());
        int menus = 0;
        for (const CommandTable::BandDefinition& band : CommandTable::Bands()) {
            if (band.kind != CommandBand::Kind::Menu && band.kind != CommandBand::Kind::Submenu
                && band.kind != CommandBand::Kind::Popup)
                continue;
            QMenu* menu = bars.menu(QLatin1String(band.name));
            QVERIFY2(menu, band.name);
            problems << keyProblems(QLatin1String(band.name), menu->actions());
            ++menus;
        }
        QVERIFY(menus > 15);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    // Keys typed as a user types them reach the item: Alt and the menu's key, then the item's
    // key (and a submenu's). The item is chosen, with its own work held back.
    void keysReachTheItem_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("toolId");
        QTest::newRow("File, Exit") << "fx" << 109;
        QTest::newRow("File, Import, Solution Set Selector") << "fis" << 122;
        QTest::newRow("File, Update, Sort order") << "fds" << 183;
        QTest::newRow("Edit, Find Next") << "ei" << 210;
        QTest::newRow("View, Status Bar") << "vu" << 304;
        QTest::newRow("Project, Run") << "pr" << 1303;
        QTest::newRow("Project, Compile, Web") << "pce" << 1321;
        QTest::newRow("Help, What's This") << "hw" << 704;
    }

    void keysReachTheItem()
    {
        QFETCH(QString, keys);
        QFETCH(int, toolId);
        RunningDesigner designer;
        MainWindow& main = *designer.windows.mainWindow();
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        const CommandBars& bars = main.commandBars();
        QAction* wanted = bars.action(toolId);
        QVERIFY(wanted);
        QVERIFY2(wanted->isEnabled(), "a disabled item cannot be chosen");
        QObject::disconnect(wanted, &QAction::triggered, &bars, nullptr);
        QSignalSpy chosen(wanted, &QAction::triggered);

        QMenu* top = nullptr;
        for (QAction* entry : main.menuBar()->actions()) {
            if (entry->isVisible() && accessKey(entry->text()).compare(keys.left(1), Qt::CaseInsensitive) == 0)
                top = entry->menu();
        }
        QVERIFY(top);
        QTest::keyClick(&main, keys.at(0).toLatin1(), Qt::AltModifier);
        for (const QChar key : keys.mid(1)) {
            QWidget* popup = QApplication::activePopupWidget();
            QVERIFY2(popup, qPrintable(keys));
            QTest::keyClick(popup, key.toLatin1());
        }
        QCOMPARE(chosen.size(), 1);
        QVERIFY(!QApplication::activePopupWidget());
    }

    // The windows docked beside the work, each shown as the author may show it, leave the menu
    // bar's keys to the menus: Alt+F opens File wherever the keyboard is; F10 opens the menu bar.
    void docksLeaveTheMenuKeysToTheMenus()
    {
        RunningDesigner designer;
        MainWindow& main = *designer.windows.mainWindow();
        main.resize(1100, 760);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QSet<QString> menuKeys;
        for (const QAction* menu : main.menuBar()->actions())
            menuKeys.insert(accessKey(menu->text()));
        QVERIFY(menuKeys.contains(QStringLiteral("F")) && menuKeys.contains(QStringLiteral("H")));
        QStringList clashes;
        int docks = 0;
        for (QDockWidget* dock : main.findChildren<QDockWidget*>()) {
            dock->show();
            ++docks;
            QStringList captions;
            for (const QLabel* label : dock->findChildren<QLabel*>())
                captions << label->text();
            for (const QAbstractButton* button : dock->findChildren<QAbstractButton*>())
                captions << button->text();
            for (const QString& caption : std::as_const(captions)) {
                if (menuKeys.contains(accessKey(caption)))
                    clashes << dock->objectName() + QStringLiteral(": ") + caption;
            }
        }
        QVERIFY(docks >= 8);
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(QLatin1Char('\n'))));

        QTest::keyClick(&main, Qt::Key_F10);
        QVERIFY(main.menuBar()->activeAction());
        QCOMPARE(main.menuBar()->activeAction(), main.menuBar()->actions().value(0));
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    }
};

KV_REGISTER_TEST(TestMenuAccessKeys)
#include "tst_MenuAccessKeys.moc"
