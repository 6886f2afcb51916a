#include "common/ScriptedPrompt.h"
#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"
#include "model/CmDocument.h"
#include "persist/StorageNode.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString NotePath = QStringLiteral("\\Notes\\First");

// What the application's model writer does, reduced to one node.
CmDocument::ModelWriter noteWriter(CmDocument& document, const QString& text)
{
    return [&document, text] {
        StorageNode node = document.Storage().rootNode();
        StorageResult result = node.open(NotePath);
        return result ? node.writeText(text) : result;
    };
}

QString readNote(CmDocument& document)
{
    StorageNode node = document.Storage().rootNode();
    QString text;
    if (node.open(NotePath))
        node.readText(text);
    return text;
}

} // namespace

// The document on its own: no application object, its prompt and model writer handed in.
class TestDocument : public QObject {
    Q_OBJECT

private slots:
    void savesAndOpensWithoutTheApplication()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("cars.kvp"));
        {
            CmDocument document;
            document.setModelWriter(noteWriter(document, QStringLiteral("four wheels")));
            QSignalSpy busy(&document, &CmDocument::busyChanged);
            QVERIFY(document.SaveFileAs(path).done());
            QCOMPARE(busy.count(), 2);
            QVERIFY(!document.Busy());
            QCOMPARE(document.Name(), QStringLiteral("cars"));
        }
        CmDocument reopened;
        QSignalSpy opened(&reopened, &CmDocument::opened);
        QVERIFY(reopened.OpenDocument(path).done());
        QCOMPARE(opened.count(), 1);
        QCOMPARE(readNote(reopened), QStringLiteral("four wheels"));

        // Only the author's save counts as one; the timed working copy writes the model too.
        reopened.setModelWriter(noteWriter(reopened, QStringLiteral("three wheels")));
        QSignalSpy writing(&reopened, &CmDocument::aboutToSave);
        QSignalSpy saved(&reopened, &CmDocument::saved);
        QVERIFY(reopened.SaveWorkingCopy().ok());
        QCOMPARE(writing.count(), 1);
        QCOMPARE(saved.count(), 0);
        QVERIFY(reopened.SaveFile().done());
        QCOMPARE(writing.count(), 2);
        QCOMPARE(saved.count(), 1);
    }

    // Without a model to write, saving would replace the project with an empty one.
    void savingWithNothingToWriteFails()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("empty.kvp"));
        CmDocument document;
        const CmDocument::Result result = document.SaveFileAs(path);
        QCOMPARE(result.outcome, CmDocument::Outcome::Failed);
        QCOMPARE(result.storage.message, LoadResString(31129));
        QVERIFY(!QFile::exists(path));
    }

    // Nobody to ask whether to save: the work is kept, never thrown away.
    void withoutPromptUnsavedWorkIsKept()
    {
        CmDocument document;
        document.setDirty(true);
        QCOMPARE(document.AskSaveDlg(), PromptAnswer::Cancel);
        QVERIFY(!document.NewDocument());
        QVERIFY(document.Dirty());

        ScriptedPrompt prompt;
        prompt.QueueAnswer(PromptAnswer::No);
        document.setPrompt(&prompt);
        QVERIFY(document.NewDocument());
        QVERIFY(!document.Dirty());
    }
};

KV_REGISTER_TEST(TestDocument)
#include "tst_Document.moc"
