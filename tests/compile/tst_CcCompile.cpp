#include "CompileFixture.h"
#include "common/ScriptedPrompt.h"
#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"
#include "compile/CcCompile.h"
#include "compile/KvdTreeWriter.h"
#include "compile/KvwNotation.h"
#include "compile/KvwSettingsForm.h"
#include "compile/SharedCompilePass.h"
#include "model/CmDecisionItem.h"
#include "model/MDecisionDataUtil.h"
#include "persist/ProjectNodes.h"
#include "persist/StorageDocument.h"
#include "validate/CcValidation.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace MDecisionDataUtil;

namespace {

class RecordingHost : public ICompileHost {
public:
    void SetStatus(const QString& text) override { statuses.append(text); }
    void SetProgress(int percent) override { lastProgress = percent; }
    void HideProgressBar() override { ++hidden; }
    void AddLog(const QString& line) override { log.append(line); }
    void ShowLog() override { ++logShown; }
    void ViewText(const QString& title, const QString& text) override { viewed = {title, text}; }
    std::optional<qint32> DesktopModeDialog(qint32 current) override
    {
        shownFileType = current;
        return desktopAnswer;
    }
    bool WebSettingsDialog(KvwCompileSettings& settings, const QString&) override
    {
        ++webDialogs;
        if (!webAnswer)
            return false;
        settings = *webAnswer;
        return true;
    }

    QStringList statuses;
    QStringList log;
    QStringList viewed;
    int lastProgress = -1;
    int hidden = 0;
    int logShown = 0;
    int webDialogs = 0;
    qint32 shownFileType = -1;
    std::optional<qint32> desktopAnswer;
    std::optional<KvwCompileSettings> webAnswer;
};

enum class Quality { Clean, Warnings, Errors };

// A tree that validates clean, with a warning, or with an error.
void addTree(CompileFixture& tree, Quality quality)
{
    tree.add(1, u"Start"_s, Radio, {u"^Yes"_s, u"!GO Age"_s, u"^No"_s, u"!GO Finish"_s});
    CmDecisionItem& age = tree.add(4, u"Age"_s, NumBox, {u"!GO Finish"_s});
    age.setMin(u"0"_s);
    age.setMax(u"120"_s);
    tree.add(9, u"Finish"_s, Done);
    if (quality == Quality::Warnings)
        tree.add(10, u"Loose"_s, Info);
    if (quality == Quality::Errors)
        tree.add(11, u"Broken"_s, Info, {u"!GO Nowhere"_s});
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool hasNode(const StorageDocument& document, const QString& path)
{
    bool found = false;
    return document.rootNode().exists(path, found).ok() && found;
}

QString nodeText(const StorageDocument& document, const QString& path)
{
    StorageNode node = document.rootNode();
    QString text;
    if (hasNode(document, path) && node.open(path).ok())
        node.readText(text);
    return text;
}

} // namespace

class CcCompileTest : public QObject {
    Q_OBJECT

private slots:
    void desktopFileHoldsTheCompiledForm()
    {
        QTemporaryDir folder;
        CompileFixture tree;
        addTree(tree, Quality::Clean);
        tree.addSelector(u"Cars"_s, {{u"Model"_s}, {u"Mini"_s}});
        tree.addPicture(u"Logo"_s);
        StorageNode node = tree.document.Storage().rootNode();
        QVERIFY(node.open(ProjectNodes::DevFile).ok() && node.writeText(u"model"_s).ok());
        tree.document.setFileType(3);
        tree.document.setName(u"My Tree.kvp"_s);
        CcCompile compiler(tree.decisions, tree.document);
        compiler.setSaveLogFile(false);
        const QString target = folder.filePath(u"out.kvd"_s);
        QCOMPARE(compiler.CompileKvdTo(target), CcCompile::Outcome::Compiled);

        StorageDocument compiled;
        QVERIFY(compiled.open(target).ok());
        QVERIFY(!hasNode(compiled, ProjectNodes::DevFile));
        QVERIFY(!hasNode(compiled, ProjectNodes::CustomBlock));
        QCOMPARE(nodeText(compiled, KvdTreeWriter::CallingAppNode), KvdTreeWriter::CreateCallingAppKey(u"My Tree.kvp"_s));
        QCOMPARE(nodeText(compiled, ProjectNodes::Databases + u"Cars"_s), u"Model\r\nMini\r\n"_s);
        const QString rules = nodeText(compiled, ProjectNodes::RulesFile);
        QVERIFY(rules.startsWith(u"BEGIN\r\n1\t\tStart\t"_s));
        QVERIFY2(rules.contains(u"\r\n2\t\tAge\t"_s) && rules.contains(u"\r\n3\t\tFinish\t"_s), qPrintable(rules));
        QStringList pictures;
        QVERIFY(compiled.pictures().names(pictures).ok());
        QCOMPARE(pictures, QStringList{u"Logo"_s});
    }

    void standAloneWithoutSelectors()
    {
        QTemporaryDir folder;
        CompileFixture tree;
        addTree(tree, Quality::Clean);
        tree.document.setFileType(2);
        CcCompile compiler(tree.decisions, tree.document);
        compiler.setSaveLogFile(false);
        const QString target = folder.filePath(u"out.kvd"_s);
        QCOMPARE(compiler.CompileKvdTo(target), CcCompile::Outcome::Compiled);
        StorageDocument compiled;
        QVERIFY(compiled.open(target).ok());
        QVERIFY(!hasNode(compiled, KvdTreeWriter::CallingAppNode));
        QVERIFY(!hasNode(compiled, u"\\Databases"_s));
    }

    void failedDesktopCompileLeavesThePreviousFile_data()
    {
        QTest::addColumn<bool>("validationErrors");
        QTest::newRow("validation error") << true;
        QTest::newRow("disk full while writing") << false;
    }
    void failedDesktopCompileLeavesThePreviousFile()
    {
        QFETCH(bool, validationErrors);
        QTemporaryDir folder;
        const QString target = folder.filePath(u"out.kvd"_s);
        const QByteArray previous("the last good compile");
        QVERIFY(writeFile(target, previous));
        CompileFixture tree;
        addTree(tree, validationErrors ? Quality::Errors : Quality::Clean);
        ScriptedPrompt prompt;
        CcCompile compiler(tree.decisions, tree.document);
        compiler.setSaveLogFile(false);
        compiler.setPrompt(&prompt);
        compiler.setFailAfterBytesForTest(validationErrors ? -1 : 100);
        const CcCompile::Outcome outcome = compiler.CompileKvdTo(target);
        QCOMPARE(outcome, validationErrors ? CcCompile::Outcome::Errors : CcCompile::Outcome::Failed);
        QVERIFY(compiler.Error());
        QCOMPARE(fileBytes(target), previous);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{u"out.kvd"_s});
        if (!validationErrors) {
            QCOMPARE(prompt.shown().size(), 1);
            QCOMPARE(prompt.shown().first().title, LoadResString(12500));
            QVERIFY(prompt.shown().first().text.startsWith(LoadResString(32414)));
        }
    }

    void webFileIsWrittenEvenWithErrors()
    {
        QTemporaryDir folder;
        CompileFixture tree;
        addTree(tree, Quality::Errors);
        CcCompile compiler(tree.decisions, tree.document);
        compiler.setSaveLogFile(false);
        const QString target = folder.filePath(u"out.kvw"_s);
        QCOMPARE(compiler.CompileKvwTo(target), CcCompile::Outcome::Errors);
        const QByteArray written = fileBytes(target);
        QVERIFY(written.startsWith("<?xml version='1.0' encoding='UTF-8'?>\n<?mvDoc version='1.0' script=Morvane_Kestrova tree='"));
        QVERIFY(written.contains("<Name>Broken</Name>"));
        QVERIFY(written.endsWith("</TreeFile>\n\r\n"));
        QVERIFY(compiler.Validation().Log().contains(LoadResString(12504)));
        QVERIFY(!compiler.CompilingKVW());
        QVERIFY(compiler.CompiledFile().isEmpty());
    }

    void picturesAreExportedAsJpegInsideTheFolder()
    {
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir(u"site"_s));
        CompileFixture tree;
        addTree(tree, Quality::Clean);
        tree.addPicture(u"../Logo"_s);
        tree.addPicture(u"Unused"_s);
        tree.decisions.Item(u"Start"_s)->setPicture(u"../Logo"_s);
        tree.decisions.Item(u"Age"_s)->setPicture(u"../logo"_s);
        CcCompile compiler(tree.decisions, tree.document);
        compiler.setSaveLogFile(false);
        compiler.setImagePath(u"pictures"_s);
        const QString target = folder.filePath(u"site/out.kvw"_s);
        QCOMPARE(compiler.CompileKvwTo(target), CcCompile::Outcome::Compiled);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList());
        QCOMPARE(QDir(folder.filePath(u"site"_s)).entryList(QDir::Files), (QStringList{u"___Logo.jpg"_s, u"out.kvw"_s}));
        QImageReader reader(folder.filePath(u"site/___Logo.jpg"_s));
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        QCOMPARE(reader.read().size(), QSize(8, 6));
        QVERIFY(fileBytes(target).contains("<LeftImg>pictures/___Logo.jpg</LeftImg>"));
    }

    // Two pictures whose names clean alike are both written, each under the name its control's
    // reference gives, and the log says which one was renamed.
    void picturesCleanedAlikeAreBothExported()
    {
        QTemporaryDir folder;
        CompileFixture tree;
        addTree(tree, Quality::Clean);
        tree.addPicture(u"a/b"_s);
        tree.addPicture(u"a_b"_s);
        tree.decisions.Item(u"Start"_s)->setPicture(u"a/b"_s);
        tree.decisions.Item(u"Age"_s)->setPicture(u"a_b"_s);
        CcCompile compiler(tree.decisions, tree.document);
        compiler.setSaveLogFile(false);
        const QString target = folder.filePath(u"out.kvw"_s);
        QCOMPARE(compiler.CompileKvwTo(target), CcCompile::Outcome::Warnings);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), (QStringList{u"a_b.jpg"_s, u"a_b~2.jpg"_s, u"out.kvw"_s}));
        const QByteArray written = fileBytes(target);
        QVERIFY(written.contains("<LeftImg>a_b.jpg</LeftImg>"));
        QVERIFY(written.contains("<LeftImg>a_b~2.jpg</LeftImg>"));
        QVERIFY(compiler.Validation().Log().contains(LoadResString(32416).arg(u"a_b"_s, u"a_b~2.jpg"_s)));
    }

    void aPictureThatCannotBeReadIsAWarning()
    {
        QTemporaryDir folder;
        CompileFixture tree;
        addTree(tree, Quality::Clean);
        QVERIFY(tree.document.Storage().pictures().add(u"Bad"_s, "not a picture").ok());
        tree.decisions.Item(u"Start"_s)->setPicture(u"Bad"_s);
        CcCompile compiler(tree.decisions, tree.document);
        compiler.setSaveLogFile(false);
        QCOMPARE(compiler.CompileKvwTo(folder.filePath(u"out.kvw"_s)), CcCompile::Outcome::Warnings);
        QVERIFY(compiler.Validation().Log().contains(LoadResString(32413) + u"Bad"_s));
    }

    void webToolReports_data()
    {
        QTest::addColumn<int>("quality");
        QTest::addColumn<int>("titleId");
        QTest::addColumn<int>("textId");
        QTest::addColumn<int>("logId");
        QTest::newRow("clean") << int(Quality::Clean) << 12513 << 14019 << 14019;
        QTest::newRow("warnings") << int(Quality::Warnings) << 12513 << 12512 << 14020;
        QTest::newRow("errors") << int(Quality::Errors) << 12500 << 12501 << 14021;
    }
    void webToolReports()
    {
        QFETCH(int, quality);
        QFETCH(int, titleId);
        QFETCH(int, textId);
        QFETCH(int, logId);
        for (const int id : {titleId, textId, logId, 32400})
            QVERIFY2(!LoadResString(id).isEmpty(), qPrintable(QString::number(id)));
        QTemporaryDir folder;
        CompileFixture tree;
        addTree(tree, static_cast<Quality>(quality));
        tree.document.setName(u"My Tree.kvp"_s);
        tree.document.setCurrentPath(folder.path());
        ScriptedPrompt prompt;
        RecordingHost host;
        CcCompile compiler(tree.decisions, tree.document);
        compiler.setSaveLogFile(false);
        compiler.setPrompt(&prompt);
        compiler.setHost(&host);
        const QString target = folder.filePath(u"chosen"_s);
        prompt.QueueText(target);
        compiler.CompileToKVW();

        QVERIFY(QFile::exists(target + u".kvw"_s));
        QCOMPARE(prompt.shown().size(), 2);
        QCOMPARE(prompt.shown().at(0).title, LoadResString(12004));
        QCOMPARE(prompt.shown().at(0).text, LoadResString(12024));
        QCOMPARE(prompt.shown().at(1).title, LoadResString(titleId));
        QString text = LoadResString(textId);
        if (textId == 12501)
            text += u" "_s + target + u".kvw"_s;
        QCOMPARE(prompt.shown().at(1).text, text);
        QCOMPARE(host.log, (QStringList{LoadResString(32400), LoadResString(logId)}));
        QCOMPARE(host.statuses.first(), LoadResString(32400));
        QCOMPARE(host.statuses.last(), QString());
        QVERIFY(host.hidden > 0);
        compiler.ViewLog();
        QCOMPARE(host.viewed, (QStringList{LoadResString(32415), compiler.Validation().Log()}));
    }

    void cancelledSaveDialogEndsQuietly()
    {
        CompileFixture tree;
        addTree(tree, Quality::Clean);
        tree.addPicture(u"Logo"_s);
        ScriptedPrompt prompt;
        RecordingHost host;
        CcCompile compiler(tree.decisions, tree.document);
        compiler.setPrompt(&prompt);
        compiler.setHost(&host);
        compiler.CompileToKVW();
        // A project with pictures and no image path shows the settings first.
        QCOMPARE(host.webDialogs, 1);
        QCOMPARE(prompt.shown().size(), 1);
        QCOMPARE(prompt.shown().first().kind, ScriptedPrompt::Kind::SaveFile);
        QVERIFY(host.log.isEmpty());
        QVERIFY(!compiler.CompilingKVW());
    }

    void desktopToolProposesTheProjectName()
    {
        QTemporaryDir folder;
        CompileFixture tree;
        addTree(tree, Quality::Clean);
        ScriptedPrompt prompt;
        tree.document.setPrompt(&prompt);
        tree.document.setModelWriter([] { return StorageResult::success(); });
        QVERIFY(tree.document.SaveFileAs(folder.filePath(u"Garage.kvp"_s)).done());
        RecordingHost host;
        CcCompile compiler(tree.decisions, tree.document);
        compiler.setPrompt(&prompt);
        compiler.setHost(&host);
        prompt.QueueText(folder.filePath(u"Garage.kvd"_s));
        compiler.CompileToKVD();
        QVERIFY(QFile::exists(folder.filePath(u"Garage.kvd"_s)));
        QCOMPARE(prompt.shown().first().title, LoadResString(12000));
        QCOMPARE(prompt.shown().last().text, LoadResString(14019));
        QCOMPARE(host.log, (QStringList{LoadResString(14009), LoadResString(14019)}));
        tree.document.CloseDocument();
    }

    // The validation log goes beside the project and into the log window; a log that cannot be
    // written is said there too, and the compile goes on.
    void validationLogIsSavedAndShown_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::newRow("written") << true;
        QTest::newRow("not written") << false;
    }
    void validationLogIsSavedAndShown()
    {
        QFETCH(bool, writable);
        QTemporaryDir folder;
        CompileFixture tree;
        addTree(tree, Quality::Warnings);
        ScriptedPrompt prompt;
        tree.document.setPrompt(&prompt);
        tree.document.setModelWriter([] { return StorageResult::success(); });
        QVERIFY(tree.document.SaveFileAs(folder.filePath(u"Garage.kvp"_s)).done());
        const QString logFile = folder.filePath(u"Garage.log"_s);
        if (!writable)
            QVERIFY(QDir(folder.path()).mkdir(u"Garage.log"_s));
        RecordingHost host;
        CcCompile compiler(tree.decisions, tree.document);
        compiler.setPrompt(&prompt);
        compiler.setHost(&host);
        prompt.QueueText(folder.filePath(u"Garage.kvd"_s));
        compiler.CompileToKVD();
        QVERIFY(QFile::exists(folder.filePath(u"Garage.kvd"_s)));
        const QString log = compiler.Validation().Log();
        QVERIFY(log.startsWith(u"Warning. "_s));
        QCOMPARE(host.log.last(), LoadResString(14020));
        if (writable) {
            QCOMPARE(QString::fromUtf8(fileBytes(logFile)), log);
            QCOMPARE(host.log.at(1) + u"\r\n"_s, log);
            QCOMPARE(host.logShown, 1);
        } else {
            QVERIFY2(host.log.at(1).contains(logFile), qPrintable(host.log.join(u'|')));
            QCOMPARE(host.logShown, 0);
        }
        tree.document.CloseDocument();
    }

    void webSettingsDialog()
    {
        CompileFixture tree;
        RecordingHost host;
        CcCompile compiler(tree.decisions, tree.document);
        compiler.setHost(&host);
        host.webAnswer = KvwCompileSettings{u"http://host:8080"_s, true, true, u"t.kvwt"_s, u"img"_s};
        compiler.ShowWebSettings();
        QCOMPARE(compiler.WebSettings(), *host.webAnswer);
        QCOMPARE(tree.document.WebSettings().HostUrl, u"http://host:8080"_s);
        QVERIFY(tree.document.Dirty());
    }

    void desktopModeDialog_data()
    {
        QTest::addColumn<std::optional<qint32>>("answer");
        QTest::addColumn<qint32>("fileType");
        QTest::newRow("called from an application") << std::optional<qint32>(3) << 3;
        QTest::newRow("cancelled") << std::optional<qint32>() << 2;
    }
    void desktopModeDialog()
    {
        QFETCH(std::optional<qint32>, answer);
        QFETCH(qint32, fileType);
        CompileFixture tree;
        tree.document.setFileType(2);
        RecordingHost host;
        host.desktopAnswer = answer;
        CcCompile compiler(tree.decisions, tree.document);
        compiler.setHost(&host);
        compiler.ShowDesktopMode();
        QCOMPARE(host.shownFileType, 2);
        QCOMPARE(tree.document.FileType(), fileType);
        QCOMPARE(tree.document.Dirty(), answer.has_value());
    }

    void hostUrlFields_data()
    {
        QTest::addColumn<QString>("hostUrl");
        QTest::addColumn<QString>("urlField");
        QTest::addColumn<QString>("portField");
        QTest::addColumn<QString>("joined");
        QTest::newRow("scheme, host and port") << u"http://host:8080"_s << u"http://host"_s << u"8080"_s << u"http://host:8080"_s;
        QTest::newRow("no port") << u"http://host"_s << u"http://host"_s << u""_s << u"http://host"_s;
        QTest::newRow("no scheme") << u"host"_s << u""_s << u""_s << u""_s;
    }
    void hostUrlFields()
    {
        QFETCH(QString, hostUrl);
        QFETCH(QString, urlField);
        QFETCH(QString, portField);
        QFETCH(QString, joined);
        KvwCompileSettings settings;
        settings.HostURL = hostUrl;
        const KvwSettingsForm form = KvwSettingsForm::Load(settings);
        QCOMPARE(form.hostUrl, urlField);
        QCOMPARE(form.hostPort, portField);
        form.Apply(settings);
        QCOMPARE(settings.HostURL, joined);
    }

    void relativePaths_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("relative");
        QTest::newRow("below") << u"/home/ann/trees/site/img"_s << u"site/img"_s;
        QTest::newRow("beside") << u"/home/ann/images"_s << u"../images"_s;
        QTest::newRow("above") << u"/home"_s << u"../.."_s;
        QTest::newRow("same folder") << u"/home/ann/trees/"_s << u""_s;
        QTest::newRow("another root") << u"C:/web/img"_s << u"C:/web/img"_s;
    }
    void relativePaths()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, relative);
        QCOMPARE(KvwSettingsForm::RelativePath(u"/home/ann/trees"_s, chosen), relative);
    }

    void defaultWebName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blanks and extension") << u"My Tree.kvp"_s << u"MyTree"_s;
        QTest::newRow("no point") << u"Tree"_s << u"Tree"_s;
        QTest::newRow("short with point") << u"a.b"_s << u"a.b"_s;
    }
    void defaultWebName()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(CcCompile::DefaultKvwName(name), expected);
    }

    void inMemoryCompile()
    {
        CompileFixture clean;
        addTree(clean, Quality::Clean);
        SharedCompilePass::CompiledTree compiled = SharedCompilePass::CompileInMemory(clean.decisions, clean.document);
        QVERIFY(compiled.document);
        QVERIFY(!compiled.errors);
        clean.number();
        KvwNotation notation(clean.decisions, clean.numbers);
        notation.setCompilingKVW(false);
        QCOMPARE(nodeText(*compiled.document, ProjectNodes::RulesFile), KvdTreeWriter(clean.numbers, notation).RulesText());

        CompileFixture broken;
        addTree(broken, Quality::Errors);
        compiled = SharedCompilePass::CompileInMemory(broken.decisions, broken.document);
        QVERIFY(!compiled.document);
        QVERIFY(compiled.errors);
        QVERIFY(compiled.log.contains(u"Nowhere"_s));
    }
};

KV_REGISTER_TEST(CcCompileTest)
#include "tst_CcCompile.moc"
