#include "common/TestRegistry.h"

#include "views/QtPrompt.h"
#include "views/SelectorTypeDialog.h"
#include "views/TitleFit.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

// The dialogs are wide enough for their titles, which window managers otherwise cut
// ("Solution Se…ector Type", "Rena… ontrol").
class TestDialogTitles : public QObject {
    Q_OBJECT

private slots:
    void dialogsFitTheirTitles()
    {
        SelectorTypeDialog type;
        QVERIFY(!type.windowTitle().isEmpty());
        QVERIFY(TitleFit::MinimumWidth(type) > type.fontMetrics().horizontalAdvance(type.windowTitle()));
        QVERIFY(type.minimumWidth() >= TitleFit::MinimumWidth(type));

        QtPrompt prompt;
        QStringList seen;
        const auto look = [&seen] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                seen << QStringLiteral("%1 %2").arg(dialog->windowTitle()).arg(dialog->width() >= TitleFit::MinimumWidth(*dialog));
                dialog->reject();
            }
        };
        QTimer::singleShot(50, look);
        QVERIFY(!prompt.InputBox(QStringLiteral("New name of the control:"), QStringLiteral("Rename Control"), QString()));
        QTimer::singleShot(50, look);
        QVERIFY(!prompt.ChooseItem(QStringLiteral("Which?"), QStringLiteral("Remove Link"), {QStringLiteral("a"), QStringLiteral("b")},
                                   QStringLiteral("b")));
        QCOMPARE(seen, (QStringList{QStringLiteral("Rename Control 1"), QStringLiteral("Remove Link 1")}));
    }
};

KV_REGISTER_TEST(TestDialogTitles)
#include "tst_DialogTitles.moc"
