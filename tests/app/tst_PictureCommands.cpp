#include "common/TestRegistry.h"
#include "tests/app/ProjectFixture.h"

#include "app/CController.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "app/CcFile.h"
#include "app/CommandTool.h"
#include "project/CvProject.h"
#include "app/ToolId.h"
#include "edit/CcEdit.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "model/DecisionProperties.h"

#include <QImage>
#include <QTest>

// The picture commands from the menus: the questions they ask, and the project explorer's list
// following every change, undo included, and a reopened project.
class TestPictureCommands : public QObject {
    Q_OBJECT

    static CView& view() { return gApp->View(); }
    static QStringList listed() { return view().Project().Pictures(); }
    static bool enabled(ToolId id) { return view().Tool(+id) && view().Tool(+id)->Enabled(); }

private slots:
    void theExplorerFollowsEveryPictureChange()
    {
        ProjectFixture f;
        const QString file = f.path(QStringLiteral("front page.png"));
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(file));
        QVERIFY(!enabled(ToolId::RemovePicture));

        // A refused name is said and asked again; the answer is then taken.
        f.prompt.QueueText(file);
        f.prompt.QueueText(QStringLiteral("../front"));
        f.prompt.QueueText(QStringLiteral("Front"));
        view().mAB_ToolClick(+ToolId::ImportPictureIntoProject);
        QCOMPARE(listed(), QStringList{"Front"});
        QVERIFY(enabled(ToolId::RemovePicture));
        QVERIFY(enabled(ToolId::RenamePicture));
        auto added = std::make_unique<CmDecisionItem>();
        added->setIntID(1);
        added->setStrID(QStringLiteral("Ask"));
        CmDecisionItem* control = added.get();
        QVERIFY(gApp->Model().Decisions().add(std::move(added)));
        QVERIFY(MDecisionDataUtil::SetProperty(*control, MDecisionDataUtil::PictureLabel, QStringLiteral("Front")));

        f.prompt.QueueText(QStringLiteral("Cover"));
        view().mAB_ToolClick(+ToolId::RenamePicture);
        QCOMPARE(listed(), QStringList{"Cover"});
        QCOMPARE(control->Picture(), QStringLiteral("Cover"));

        gApp->Controller().Edit().UndoCommand();
        QCOMPARE(listed(), QStringList{"Front"});
        QCOMPARE(control->Picture(), QStringLiteral("Front"));

        f.prompt.QueueAnswer(PromptAnswer::Yes);
        view().mAB_ToolClick(+ToolId::RemovePicture);
        QVERIFY(listed().isEmpty());
        QVERIFY(!enabled(ToolId::RemovePicture));
        gApp->Controller().Edit().UndoCommand();
        QCOMPARE(listed(), QStringList{"Front"});

        // Saved and opened again, the explorer lists what the project holds.
        const QString project = f.path(QStringLiteral("pictures.kvp"));
        QVERIFY(gApp->Model().Document().SaveFileAs(project).done());
        gApp->Controller().File().FileClose();
        QVERIFY(listed().isEmpty());
        QVERIFY(gApp->Controller().File().FileOpen(project));
        QCOMPARE(listed(), QStringList{"Front"});
    }
};

KV_REGISTER_TEST(TestPictureCommands)
#include "tst_PictureCommands.moc"
