#include "RunningDesigner.h"
#include "TestModeTree.h"
#include "common/TestRegistry.h"

#include "app/CController.h"
#include "app/CView.h"
#include "app/CcFile.h"
#include "app/CcGettingStarted.h"
#include "testmode/TestModeOptions.h"
#include "app/ToolId.h"
#include "app/ViewSettings.h"
#include "base/ResourceStrings.h"
#include "edit/CcDecisionTree.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "project/CModel.h"
#include "views/CommandBars.h"
#include "views/MainWindow.h"
#include "views/WelcomeDialog.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int ReadOnlyId = 33213;
constexpr int RecoverQuestionId = 30031;
constexpr int OpenSampleId = 30014;

// A scripted prompt that also keeps the place a save dialog suggested.
class SuggestionPrompt : public ScriptedPrompt {
public:
    QString suggested;
    std::optional<QString> SaveFileDialog(const QString& title, const QString& filter, const QString& suggestedPath) override
    {
        suggested = suggestedPath;
        return ScriptedPrompt::SaveFileDialog(title, filter, suggestedPath);
    }
};

// The user's documents folder, as the desktop's user folders name it, for as long as it lives.
class DocumentsFolder {
public:
    explicit DocumentsFolder(const QString& folder)
        : m_file(QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath(u"user-dirs.dirs"_s))
    {
        QFile dirs(m_file);
        if (dirs.open(QIODevice::WriteOnly))
            dirs.write("XDG_DOCUMENTS_DIR=\"" + QFile::encodeName(folder) + "\"\n");
    }
    ~DocumentsFolder() { QFile::remove(m_file); }
    DocumentsFolder(const DocumentsFolder&) = delete;
    DocumentsFolder& operator=(const DocumentsFolder&) = delete;

private:
    QString m_file;
};

// The running Designer of RunningDesigner, with the prompt above, a folder for the installed
// files and the user's documents folder (or a path below it).
struct Designer {
    QTemporaryDir installed;
    QTemporaryDir documents;
    DocumentsFolder documentsFolder;
    SuggestionPrompt prompt;
    DesignerWindowHost windows{prompt};

    explicit Designer(const QString& documentsBelow = QString())
        : documentsFolder(documentsBelow.isEmpty() ? documents.path() : documents.filePath(documentsBelow))
    {
        TestEnvironment::clearSettings();
        CRegistry::Write(QString(), u"NoGSRun"_s, u"1"_s);
        prompt.QueueNewOrOpen({NewOrOpenChoice::Kind::NewProject, QString()});
        MStartUp::Main(prompt, windows, QString());
        prompt.clearShown();
    }
    ~Designer() { gApp.reset(); }
    Designer(const Designer&) = delete;
    Designer& operator=(const Designer&) = delete;

    QString title() const { return windows.mainWindow()->windowTitle(); }
    void trigger(ToolId id) const { windows.mainWindow()->commandBars().action(+id)->trigger(); }
};

// A folder no one may write into while it lives (root still can), writable again for its removal.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder) : m_folder(folder)
    {
        QFile::setPermissions(m_folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
                                            | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther);
    }
    ~ReadOnlyFolder()
    {
        QFile::setPermissions(m_folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

private:
    QString m_folder;
};

QByteArray hashOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1) : QByteArray();
}

CmDocument& document()
{
    return gApp->Model().Document();
}

CcFile& file()
{
    return gApp->Controller().File();
}

// The tree of the test mode windows saved as path, then closed.
bool makeProject(const QString& path)
{
    return TestModeTree::saveTree(path) && !file().FileClose();
}

QPushButton* sampleButton()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* welcome = qobject_cast<WelcomeDialog*>(window);
        if (!welcome || !welcome->isVisible())
            continue;
        for (QPushButton* button : welcome->findChildren<QPushButton*>()) {
            if (button->text() == LoadResString(OpenSampleId))
                return button;
        }
    }
    return nullptr;
}

} // namespace

class TestReadOnlyProject : public QObject {
    Q_OBJECT

    // The folder is not writable, by its permissions or as the fed check says; an account that
    // writes everywhere sees only the second.
    static bool makeNotWritable(const QString& folder, bool fed, std::unique_ptr<ReadOnlyFolder>& locked)
    {
        if (fed) {
            document().setFolderCheck([folder](const QString& asked) { return asked != folder; });
            return true;
        }
        locked = std::make_unique<ReadOnlyFolder>(folder);
        return !QFileInfo(folder).isWritable();
    }

private slots:
    void cleanup() { gApp.reset(); }

    void openedReadOnlyEditedAndSavedElsewhere_data()
    {
        QTest::addColumn<bool>("fed");
        QTest::newRow("folder without write permission") << false;
        QTest::newRow("folder the check calls not writable") << true;
    }

    // A project in a folder that cannot be written opens, says so, keeps its work in the user's
    // data folder, and Save asks for a new place in the documents folder, leaving the file as it was.
    void openedReadOnlyEditedAndSavedElsewhere()
    {
        QFETCH(bool, fed);
        Designer designer;
        const QTemporaryDir& installed = designer.installed;
        const QTemporaryDir& documents = designer.documents;
        const QString project = installed.filePath(u"sample.kvp"_s);
        QVERIFY(makeProject(project));
        const QByteArray before = hashOf(project);
        std::unique_ptr<ReadOnlyFolder> locked;
        if (!makeNotWritable(installed.path(), fed, locked))
            QSKIP("This account writes into folders without write permission; the other row checks the rule.");

        QVERIFY(file().FileOpen(project));
        QVERIFY2(designer.prompt.shown().isEmpty(), qPrintable(designer.prompt.shownTexts().join('\n')));
        QCOMPARE(document().Path(), project);
        QVERIFY(document().ReadOnly());
        QVERIFY2(designer.title().contains(u"sample "_s + LoadResString(ReadOnlyId)), qPrintable(designer.title()));
        const QString working = document().WorkingCopyPath();
        QVERIFY2(working.startsWith(CmDocument::StateFolder() + u'/'), qPrintable(working));
        QVERIFY(QFileInfo::exists(working));
        QCOMPARE(QDir(installed.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"sample.kvp"_s});

        // A test run's compiled tree goes beside the working copy too.
        TestModeOptions& testing = gApp->View().Settings().TestMode;
        testing.ShowTestModeDlg = false;
        testing.StartFromFirst = true;
        designer.trigger(ToolId::Run);
        QVERIFY2(TestModeTree::player(), qPrintable(gApp->View().GetLog()));
        QVERIFY(QFileInfo::exists(QFileInfo(working).dir().filePath(u"sample.testrun.kvd"_s)));
        designer.trigger(ToolId::Stop);
        QVERIFY(!TestModeTree::player());
        QCOMPARE(QDir(installed.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"sample.kvp"_s});

        QVERIFY(gApp->Controller().DecisionTree().AddNew(QPointF(300, 0), 1, u"Extra"_s));
        QVERIFY(document().Dirty());
        file().SaveWorkingCopy();
        QVERIFY(document().Storage().path() == working);

        const QString mine = documents.filePath(u"mine.kvp"_s);
        designer.prompt.QueueText(mine);
        designer.trigger(ToolId::FileSave);
        QCOMPARE(designer.prompt.suggested, QDir(documents.path()).filePath(u"sample.kvp"_s));
        QCOMPARE(document().Path(), mine);
        QVERIFY(!document().ReadOnly());
        QVERIFY(!document().Dirty());
        QVERIFY2(!designer.title().contains(LoadResString(ReadOnlyId)), qPrintable(designer.title()));
        QCOMPARE(file().GetMRU(1), mine);
        QVERIFY(!QFileInfo::exists(working));
        QVERIFY(!QFileInfo::exists(QFileInfo(working).absolutePath()));
        QCOMPARE(hashOf(project), before);

        // The next Save writes the new place without asking.
        designer.prompt.clearShown();
        QVERIFY(gApp->Controller().DecisionTree().AddNew(QPointF(600, 0), 1, u"Later"_s));
        designer.trigger(ToolId::FileSave);
        QVERIFY(designer.prompt.shown().isEmpty());
        QVERIFY(!file().FileClose());
        QVERIFY(file().FileOpen(mine));
        QVERIFY(gApp->Model().Decisions().Item(u"Extra"_s) && gApp->Model().Decisions().Item(u"Later"_s));
    }

    // Work left in the working copy of a read-only project is found where it was kept.
    void workLeftInTheStateFolderIsOffered()
    {
        Designer designer;
        const QTemporaryDir& installed = designer.installed;
        const QString project = installed.filePath(u"left.kvp"_s);
        QVERIFY(makeProject(project));
        std::unique_ptr<ReadOnlyFolder> locked;
        QVERIFY(makeNotWritable(installed.path(), true, locked));
        QVERIFY(file().FileOpen(project));
        QVERIFY(gApp->Controller().DecisionTree().AddNew(QPointF(300, 0), 1, u"Extra"_s));
        file().SaveWorkingCopy();
        const QString working = document().WorkingCopyPath();
        QCOMPARE(document().WorkingCopyFor(project), working);
        // As a Designer that stopped would leave it: the working copy outlives the close.
        const QTemporaryDir kept;
        QVERIFY(QFile::copy(working, kept.filePath(u"left.tmp"_s)));
        document().setDirty(false);
        QVERIFY(!file().FileClose());
        QVERIFY(!QFileInfo::exists(working));
        QVERIFY(QDir().mkpath(QFileInfo(working).absolutePath()));
        QVERIFY(QFile::copy(kept.filePath(u"left.tmp"_s), working));
        QFile(working).setFileTime(QFileInfo(project).lastModified().addSecs(60), QFileDevice::FileModificationTime);

        designer.prompt.clearShown();
        designer.prompt.QueueAnswer(PromptAnswer::Yes);
        QVERIFY(file().FileOpen(project));
        QCOMPARE(designer.prompt.shownTexts(), QStringList{LoadResString(RecoverQuestionId).arg(u"left.kvp"_s)});
        QVERIFY(gApp->Model().Decisions().Item(u"Extra"_s));
        QVERIFY(document().Dirty() && document().ReadOnly());
    }

    // The welcome window's sample opens as the user's own copy in their documents folder, with
    // the files beside it of its name; the second time the copy made before opens as it was left.
    void sampleOpensAsTheUsersCopy()
    {
        Designer designer;
        const QTemporaryDir& installed = designer.installed;
        const QTemporaryDir& documents = designer.documents;
        const QString sample = installed.filePath(u"laptop-selector.kvp"_s);
        QVERIFY(makeProject(sample));
        for (const QString& name : {u"laptop-selector.journeys.txt"_s, u"laptop-selector.tmp"_s, u"laptops.csv"_s}) {
            QFile beside(installed.filePath(name));
            QVERIFY(beside.open(QIODevice::WriteOnly));
            beside.write(name.toUtf8());
        }
        QVERIFY(QFile::setPermissions(installed.filePath(u"laptop-selector.journeys.txt"_s), QFileDevice::ReadOwner));
        const ReadOnlyFolder locked(installed.path());
        CcGettingStarted& wizard = gApp->Controller().GettingStarted();
        wizard.setSampleProject(sample);

        designer.trigger(ToolId::GettingStartedWizard);
        QPushButton* button = sampleButton();
        QVERIFY(button && button->isEnabled());
        designer.prompt.clearShown();
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY2(designer.prompt.shown().isEmpty(), qPrintable(designer.prompt.shownTexts().join('\n')));
        const QString copies = QDir(documents.path()).filePath(u"Kestrova"_s);
        const QString copy = QDir(copies).filePath(u"laptop-selector.kvp"_s);
        QCOMPARE(document().Path(), copy);
        QVERIFY(!document().ReadOnly());
        QCOMPARE(QDir(copies).entryList({u"*.kvp"_s, u"*.txt"_s, u"*.csv"_s}, QDir::Files),
                 (QStringList{u"laptop-selector.journeys.txt"_s, u"laptop-selector.kvp"_s}));
        QVERIFY(QFile::permissions(QDir(copies).filePath(u"laptop-selector.journeys.txt"_s)) & QFileDevice::WriteOwner);

        QVERIFY(gApp->Controller().DecisionTree().AddNew(QPointF(300, 0), 1, u"Mine"_s));
        designer.trigger(ToolId::FileSave);
        QVERIFY(designer.prompt.shown().isEmpty());
        const QByteArray saved = hashOf(copy);

        designer.trigger(ToolId::GettingStartedWizard);
        button = sampleButton();
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(designer.prompt.shown().isEmpty());
        QCOMPARE(document().Path(), copy);
        QVERIFY(gApp->Model().Decisions().Item(u"Mine"_s));
        QCOMPARE(hashOf(copy), saved);
    }

    // No copy can be made: the installed sample opens where it is, read-only, and nothing is shown.
    void sampleWithoutACopyOpensReadOnly()
    {
        // The documents folder would be below a file: no folder can be made there.
        Designer designer(u"file/Documents"_s);
        const QTemporaryDir& installed = designer.installed;
        QFile blocking(designer.documents.filePath(u"file"_s));
        QVERIFY(blocking.open(QIODevice::WriteOnly));
        blocking.close();
        const QString sample = installed.filePath(u"laptop-selector.kvp"_s);
        QVERIFY(makeProject(sample));
        std::unique_ptr<ReadOnlyFolder> locked;
        QVERIFY(makeNotWritable(installed.path(), true, locked));
        gApp->Controller().GettingStarted().setSampleProject(sample);
        designer.trigger(ToolId::GettingStartedWizard);
        QPushButton* button = sampleButton();
        QVERIFY(button);
        designer.prompt.clearShown();
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY2(designer.prompt.shown().isEmpty(), qPrintable(designer.prompt.shownTexts().join('\n')));
        QCOMPARE(document().Path(), sample);
        QVERIFY(document().ReadOnly());
        QVERIFY(designer.title().contains(LoadResString(ReadOnlyId)));
    }
};

KV_REGISTER_TEST(TestReadOnlyProject)
#include "tst_ReadOnlyProject.moc"
