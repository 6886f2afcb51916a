#include "app/CController.h"
#include "project/CModel.h"
#include "app/CcFile.h"
#include "base/MCommonUtil.h"
#include "persist/ProjectNodes.h"
#include "base/ResourceStrings.h"
#include "common/TestRegistry.h"
#include "model/CmDocument.h"
#include "persist/StorageDocument.h"
#include "tests/app/ProjectFixture.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>

class TestFileLifecycle : public QObject {
    Q_OBJECT

    static CcFile& file() { return gApp->Controller().File(); }
    static CmDocument& document() { return gApp->Model().Document(); }

    static QByteArray bytesOf(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static QString saveProject(ProjectFixture& fixture, const QString& name, const QString& title)
    {
        const QString path = fixture.path(name);
        document().setName(title);
        if (!document().SaveFileAs(path).done())
            return QString();
        return path;
    }

private slots:
    void cancellingTheSavePromptKeepsTheProject_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::newRow("close") << "close";
        QTest::newRow("new") << "new";
        QTest::newRow("open") << "open";
        QTest::newRow("exit") << "exit";
    }
    void cancellingTheSavePromptKeepsTheProject()
    {
        QFETCH(QString, operation);
        ProjectFixture fixture;
        const QString other = saveProject(fixture, QStringLiteral("other.kvp"), QStringLiteral("Other"));
        QVERIFY(file().FileOpen(saveProject(fixture, QStringLiteral("cars.kvp"), QStringLiteral("Cars"))));
        document().setDirty(true);
        fixture.prompt.clearShown();
        fixture.prompt.QueueAnswer(PromptAnswer::Cancel);

        if (operation == QLatin1String("close"))
            QVERIFY(file().FileClose());
        else if (operation == QLatin1String("new"))
            file().FileNew();
        else if (operation == QLatin1String("open"))
            QVERIFY(!file().FileOpen(other));
        else
            QVERIFY(!MStartUp::ExitProgram(fixture.windows));

        QVERIFY(gApp);
        QCOMPARE(fixture.prompt.shownTexts(), QStringList{LoadResString(12001)});
        QCOMPARE(fixture.prompt.shown().first().buttons, PromptButtons::YesNoCancel);
        QVERIFY(document().Dirty());
        QCOMPARE(document().Name(), QStringLiteral("cars"));
        QVERIFY(QFile::exists(document().WorkingCopyPath()));
    }

    void answeringNoDiscardsAndCloses()
    {
        ProjectFixture fixture;
        QVERIFY(file().FileOpen(saveProject(fixture, QStringLiteral("cars.kvp"), QStringLiteral("Cars"))));
        const QString workingCopy = document().WorkingCopyPath();
        document().setDirty(true);
        fixture.prompt.QueueAnswer(PromptAnswer::No);
        QVERIFY(!file().FileClose());
        QVERIFY(!document().Dirty());
        QVERIFY(!QFile::exists(workingCopy));
    }

    void recentListKeepsTheNewestTwenty()
    {
        ProjectFixture fixture;
        for (int i = 1; i <= 21; ++i)
            file().AddToMRU(QStringLiteral("/p/%1.kvp").arg(i));
        QCOMPARE(file().RecentFiles().size(), 20);
        QCOMPARE(file().GetMRU(1), QStringLiteral("/p/21.kvp"));
        QCOMPARE(file().GetMRU(20), QStringLiteral("/p/2.kvp"));
        QVERIFY(file().GetMRU(21).isEmpty());

        const QStringList before = file().RecentFiles();
        file().AddToMRU(file().GetMRU(1));
        QCOMPARE(file().RecentFiles(), before);

        const QString fifth = file().GetMRU(5);
        file().AddToMRU(fifth);
        QCOMPARE(file().GetMRU(1), fifth);
        QCOMPARE(file().GetMRU(2), before.at(0));
        QCOMPARE(file().GetMRU(5), before.at(3));
        QCOMPARE(file().GetMRU(6), before.at(5));
    }

    void compiledDesktopFileIsRefused()
    {
        ProjectFixture fixture;
        const QString path = fixture.path(QStringLiteral("compiled.kvd"));
        {
            StorageDocument compiled;
            QVERIFY(compiled.create());
            StorageNode node = compiled.rootNode();
            QVERIFY(node.open(ProjectNodes::RulesFile));
            QVERIFY(node.writeText(QStringLiteral("BEGIN")));
            QVERIFY(compiled.saveAs(path));
        }
        QVERIFY(!file().FileOpen(path));
        QCOMPARE(fixture.prompt.shown().size(), 1);
        QCOMPARE(fixture.prompt.shown().first().text, LoadResString(12010));
        QCOMPARE(fixture.prompt.shown().first().title, QStringLiteral("Cannot Open File"));
        QCOMPARE(fixture.prompt.shown().first().icon, PromptIcon::Critical);
        QCOMPARE(document().Name(), CmDocument::DefaultName());
        QVERIFY(document().Path().isEmpty());
    }

    void unreadableFilesAreToldApart_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("messageId");
        QTest::newRow("random bytes") << QByteArray("not a project at all, just text") << 12007;
        QTest::newRow("empty") << QByteArray() << 12007;
    }
    void unreadableFilesAreToldApart()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, messageId);
        ProjectFixture fixture;
        const QString path = fixture.path(QStringLiteral("broken.kvp"));
        QFile broken(path);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write(content);
        broken.close();
        QVERIFY(!file().FileOpen(path));
        QCOMPARE(fixture.prompt.shownTexts(), QStringList{LoadResString(messageId)});
        QCOMPARE(bytesOf(path), content);
    }

    void projectOpenInAnotherDesignerIsInUse()
    {
        ProjectFixture fixture;
        const QString path = saveProject(fixture, QStringLiteral("shared.kvp"), QStringLiteral("Shared"));
        QVERIFY(file().FileOpen(path));
        // A second document in this process stands for another Designer.
        CmDocument other;
        const CmDocument::Result second = other.OpenDocument(path);
        QCOMPARE(second.outcome, CmDocument::Outcome::Failed);
        QCOMPARE(second.storage.kind, StorageErrorKind::InUse);
    }

    void failedSaveKeepsTheProjectFile()
    {
        ProjectFixture fixture;
        const QString path = saveProject(fixture, QStringLiteral("cars.kvp"), QStringLiteral("Cars"));
        QVERIFY(file().FileOpen(path));
        const QByteArray before = bytesOf(path);
        document().setName(QStringLiteral("Renamed"));
        document().setDirty(true);
        document().Storage().setFailAfterBytesForTest(100);
        fixture.prompt.clearShown();
        QVERIFY(!file().FileSave());
        QCOMPARE(fixture.prompt.shownTexts(), QStringList{LoadResString(15000)});
        QCOMPARE(bytesOf(path), before);
        QVERIFY(document().Dirty());
    }

    void leftoverWorkingCopyIsOfferedForRecovery_data()
    {
        QTest::addColumn<PromptAnswer>("answer");
        QTest::addColumn<QString>("expectedName");
        QTest::addColumn<bool>("expectedDirty");
        QTest::newRow("recover") << PromptAnswer::Yes << "Unsaved work" << true;
        QTest::newRow("discard") << PromptAnswer::No << "cars" << false;
    }
    void leftoverWorkingCopyIsOfferedForRecovery()
    {
        QFETCH(PromptAnswer, answer);
        QFETCH(QString, expectedName);
        QFETCH(bool, expectedDirty);
        ProjectFixture fixture;
        const QString path = saveProject(fixture, QStringLiteral("cars.kvp"), QStringLiteral("Cars"));
        QVERIFY(file().FileOpen(path));
        document().setName(QStringLiteral("Unsaved work"));
        document().setDirty(true);
        file().SaveWorkingCopy();

        // A crash: the working copy stays behind, newer than the project.
        const QString workingCopy = MCommonUtil::GetTempFile(path);
        const QByteArray leftover = bytesOf(workingCopy);
        QVERIFY(!leftover.isEmpty());
        document().setDirty(false);
        QVERIFY(!file().FileClose());
        QFile restored(workingCopy);
        QVERIFY(restored.open(QIODevice::WriteOnly));
        restored.write(leftover);
        restored.close();
        QFile project(path);
        QVERIFY(project.open(QIODevice::ReadWrite));
        QVERIFY(project.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
        project.close();

        fixture.prompt.clearShown();
        fixture.prompt.QueueAnswer(answer);
        QVERIFY(file().FileOpen(path));
        QCOMPARE(fixture.prompt.shown().size(), 1);
        QCOMPARE(fixture.prompt.shown().first().title, LoadResString(30030));
        QCOMPARE(document().Name(), expectedName);
        QCOMPARE(document().Dirty(), expectedDirty);
    }

    void whatStandsAtALeftoverWorkingCopyIsNotTrusted_data()
    {
        QTest::addColumn<bool>("pipeAtLock");
        QTest::addColumn<bool>("opens");
        QTest::newRow("a pipe at its lock") << true << false;
        QTest::newRow("a link at its name to another project") << false << true;
    }
    // Neither a pipe at the lock's name (which QLockFile would wait on) nor a working copy that
    // is a link to another, newer project is offered for recovery.
    void whatStandsAtALeftoverWorkingCopyIsNotTrusted()
    {
        QFETCH(bool, pipeAtLock);
        QFETCH(bool, opens);
        ProjectFixture fixture;
        const QString path = saveProject(fixture, QStringLiteral("cars.kvp"), QStringLiteral("Cars"));
        const QString other = saveProject(fixture, QStringLiteral("other.kvp"), QStringLiteral("Other"));
        QVERIFY(file().FileOpen(path));
        QVERIFY(!file().FileClose());
        const QString workingCopy = MCommonUtil::GetTempFile(path);
        QFile::remove(workingCopy);
        const QByteArray otherBytes = bytesOf(other);
        if (pipeAtLock) {
            QVERIFY(QFile::copy(other, workingCopy));
            QCOMPARE(::mkfifo(QFile::encodeName(workingCopy + QStringLiteral(".lock")).constData(), 0600), 0);
        } else {
            QVERIFY(QFile::link(other, workingCopy));
        }
        QFile project(path);
        QVERIFY(project.open(QIODevice::ReadWrite));
        QVERIFY(project.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
        project.close();

        fixture.prompt.clearShown();
        QCOMPARE(file().FileOpen(path), opens);
        for (const auto& shown : fixture.prompt.shown())
            QVERIFY(shown.title != LoadResString(30030));
        QCOMPARE(bytesOf(other), otherBytes);
        if (opens)
            QCOMPARE(document().Name(), QStringLiteral("cars"));
        QFile::remove(workingCopy + QStringLiteral(".lock"));
    }

    void newDocumentDefaults()
    {
        ProjectFixture fixture;
        document().setCallAppName(7, QStringLiteral("Ledger"));
        QCOMPARE(document().CallAppCount(), qint16(7));
        QVERIFY(document().CallAppName(3).isEmpty());
        document().setDirty(false);
        QVERIFY(document().NewDocument());
        QCOMPARE(document().Name(), QStringLiteral("DecisionTree1"));
        QVERIFY(!document().FileTypeSet());
        QCOMPARE(document().CallAppCount(), qint16(0));
        QVERIFY(!document().Dirty());
    }
};

KV_REGISTER_TEST(TestFileLifecycle)
#include "tst_FileLifecycle.moc"
