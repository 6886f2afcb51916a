#include "app/CController.h"
#include "project/CModel.h"
#include "app/CcFile.h"
#include "base/MCommonUtil.h"
#include "base/ResourceStrings.h"
#include "common/DocumentEdits.h"
#include "common/SyntheticTree.h"
#include "common/TestRegistry.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "tests/app/ProjectFixture.h"

#include <QFile>
#include <QJsonObject>
#include <QTest>

class TestDamagedProjects : public QObject {
    Q_OBJECT

    static CcFile& file() { return gApp->Controller().File(); }
    static CmDocument& document() { return gApp->Model().Document(); }

    static QByteArray bytesOf(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // A saved project of six controls, closed again.
    static QString saveProject(ProjectFixture& fixture)
    {
        const QString path = fixture.path(QStringLiteral("trip.kvp"));
        SyntheticTree::fill(gApp->Model().Decisions(), 6);
        if (!document().SaveFileAs(path).done())
            return QString();
        document().CloseDocument();
        gApp->Model().Clear();
        return path;
    }

private slots:
    void changedContentIsOfferedReadOnly_data()
    {
        QTest::addColumn<PromptAnswer>("answer");
        QTest::newRow("looked at") << PromptAnswer::Yes;
        QTest::newRow("left closed") << PromptAnswer::No;
    }
    void changedContentIsOfferedReadOnly()
    {
        QFETCH(PromptAnswer, answer);
        ProjectFixture fixture;
        const QString path = saveProject(fixture);
        QVERIFY(!path.isEmpty());
        QCOMPARE(DocumentEdits::execSql(path, QStringLiteral("UPDATE docprop SET value = 'Changed on disk'")), QString());
        const QByteArray damaged = bytesOf(path);
        fixture.prompt.clearShown();
        fixture.prompt.QueueAnswer(answer);

        QCOMPARE(file().FileOpen(path), answer == PromptAnswer::Yes);
        QCOMPARE(fixture.prompt.shownTexts(), QStringList{LoadResString(33209).arg(LoadResString(33208).arg(path))});
        QCOMPARE(fixture.prompt.shown().first().buttons, PromptButtons::YesNo);
        QCOMPARE(document().ReadOnly(), answer == PromptAnswer::Yes);
        QCOMPARE(gApp->Model().Decisions().Count(), answer == PromptAnswer::Yes ? 6 : 0);

        // Saving cannot replace the file: it asks for another name, here cancelled.
        document().setDirty(true);
        fixture.prompt.clearShown();
        QCOMPARE(file().FileSave(), false);
        QCOMPARE(bytesOf(path), damaged);
        QVERIFY(!QFile::exists(MCommonUtil::GetTempFile(path)));
    }

    void aControlThatCannotBeIsNotLoadedInPart()
    {
        ProjectFixture fixture;
        const QString path = saveProject(fixture);
        QVERIFY(DocumentEdits::editModel(path, [](QJsonObject& root) {
            DocumentEdits::setBagProperty(root, {QStringLiteral("Model"), QStringLiteral("DecisionManager"),
                                              QStringLiteral("Decision4")},
                                       QStringLiteral("intIdentifier"), 70000);
        }));
        fixture.prompt.clearShown();
        QVERIFY(!file().FileOpen(path));
        QCOMPARE(fixture.prompt.shownTexts(), QStringList{LoadResString(33210).arg(70000)});
        QCOMPARE(gApp->Model().Decisions().Count(), 0);
        QVERIFY(document().Path().isEmpty());
    }
};

KV_REGISTER_TEST(TestDamagedProjects)
#include "tst_DamagedProjects.moc"
