#include "app/CController.h"
#include "project/CModel.h"
#include "app/CcFile.h"
#include "app/CcGettingStarted.h"
#include "common/TestRegistry.h"
#include "model/CmDocument.h"
#include "tests/app/ProjectFixture.h"

#include <QSignalSpy>
#include <QTest>

class TestGettingStarted : public QObject {
    Q_OBJECT

    static CcGettingStarted& wizard() { return gApp->Controller().GettingStarted(); }

private slots:
    void choosingANewProjectAsksNothingMore()
    {
        ProjectFixture fixture;
        wizard().StartWizard();
        QSignalSpy stopped(&wizard(), &CcGettingStarted::stopped);
        gApp->Model().Document().setName(QStringLiteral("Leftover"));
        wizard().Choose(CcGettingStarted::Choice::NewProject);
        QVERIFY(!wizard().Running());
        QCOMPARE(stopped.size(), 1);
        QVERIFY(fixture.prompt.shown().isEmpty());
        QCOMPARE(gApp->Model().Document().Name(), CmDocument::DefaultName());
    }

    void choosingAFileOpensIt()
    {
        ProjectFixture fixture;
        const QString path = fixture.path(QStringLiteral("chosen.kvp"));
        QVERIFY(gApp->Model().Document().SaveFileAs(path).done());
        QVERIFY(!gApp->Controller().File().FileClose());
        wizard().StartWizard();
        wizard().FileToOpen(path);
        QCOMPARE(wizard().PendingFile(), path);
        wizard().Choose(CcGettingStarted::Choice::OpenFile, path);
        QCOMPARE(gApp->Model().Document().Path(), path);
        QCOMPARE(gApp->Controller().File().GetMRU(1), path);
    }

    void showingOnlyWhileRunning()
    {
        ProjectFixture fixture;
        QSignalSpy raised(&wizard(), &CcGettingStarted::raiseRequested);
        wizard().ShowWizard();
        QCOMPARE(raised.size(), 0);
        wizard().StartWizard();
        wizard().ShowWizard();
        QCOMPARE(raised.size(), 1);
        wizard().StopWizard();
        wizard().ShowWizard();
        QCOMPARE(raised.size(), 1);
    }
};

KV_REGISTER_TEST(TestGettingStarted)
#include "tst_GettingStarted.moc"
