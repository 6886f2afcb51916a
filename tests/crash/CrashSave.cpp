// Kills a process at random moments while it saves a large project and writes its outputs, and
// checks what each kill leaves: every file opens with its old or its new content, whole, and
// nothing lies beside them that the next save would not clean.
//
//   kestrova-crash-save [--rounds N] [--controls N] [--seed N]
//   kestrova-crash-save --child FOLDER CONTROLS [--once]
//
// The child builds a generated tree, then saves it over and over, each time with the other of
// two variants, as the Designer does: the project and its working copy, the compiled desktop and
// web files, the validation log, and the selector, picture and journeys exports. Before its first
// kill-able save it writes both variants' outputs into reference folders, once for all rounds.
// With --once it saves once, closes the project and exits: the files a killed write left are
// then gone.
#include "project/Project.h"
#include "project/CModel.h"
#include "base/StartUpTables.h"
#include "common/ScriptedPrompt.h"
#include "common/SyntheticTree.h"
#include "compile/CcCompile.h"
#include "compile/PictureExport.h"
#include "journeys/JourneyStore.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "persist/FileBytes.h"
#include "persist/StorageDocument.h"
#include "selectors/SelectorStore.h"
#include "validate/CcValidation.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

const QString ProjectName = QStringLiteral("project.kvp");
const QString WorkingCopyName = QStringLiteral("project.tmp");
const QString ReferenceA = QStringLiteral("reference-0");
const QString ReferenceB = QStringLiteral("reference-1");
const QString ReferencesDone = QStringLiteral("references.done");
// The outputs besides the project, as paths below a folder.
const QStringList OutputNames{QStringLiteral("tree.kvd"),   QStringLiteral("web/tree.kvw"),
                              QStringLiteral("tree.log"),   QStringLiteral("prices.txt"),
                              QStringLiteral("photo.jpg"),  QStringLiteral("tree.journeys.txt")};
// How long a project write rests in its part file before the rename.
constexpr unsigned long PausedWriteMs = 200;
const QString SelectorName = QStringLiteral("Prices");
const QString PictureName = QStringLiteral("Photo");

QString variantCaption(int variant)
{
    return QStringLiteral("Variant %1").arg(variant);
}

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

// ---- the child: saves until it is killed ----

class Saver {
public:
    explicit Saver(int controls)
    {
        StartUpTables::Fill();
        m_project = std::make_unique<Project>(m_prompt);
        SyntheticTree::fill(decisions(), controls);
        // Without what the generator puts in to be found by validation: the desktop compile
        // writes no file for a tree with errors.
        for (int index = 1; index <= decisions().Count(); ++index) {
            CmDecisionItem* item = decisions().ItemByIndex(index);
            item->setPicture(QString());
            item->setOptsAndActsAsRead({});
            item->setGroup({});
            item->setDefaultValue(QVariant());
            item->setMin(QStringLiteral("0"));
            item->setMax(QStringLiteral("100"));
        }
    }
    ~Saver() { m_project.reset(); }
    Saver(const Saver&) = delete;
    Saver& operator=(const Saver&) = delete;

    // Changes what every output holds.
    void apply(int variant)
    {
        decisions().ItemByIndex(1)->setCaption(variantCaption(variant));
        StorageDocument& storage = document().Storage();
        storage.pictures().remove(PictureName);
        check(storage.pictures().add(PictureName, picture(variant)));
        QString prices;
        for (int row = 0; row < 2000; ++row)
            prices += QStringLiteral("Item %1\t%2\n").arg(row).arg(row * (variant + 2));
        check(SelectorStore(storage).WriteText(SelectorName, prices));
        m_variant = variant;
    }

    void saveProject(const QString& path)
    {
        const CmDocument::Result saved = document().Path().isEmpty() ? document().SaveFileAs(path) : document().SaveFile();
        if (!saved.done())
            fail(QStringLiteral("the project was not saved: ") + saved.storage.message);
    }

    void writeOutputs(const QString& folder)
    {
        const QDir dir(folder);
        dir.mkpath(QStringLiteral("web"));
        CcCompile compiler(decisions(), document());
        compiler.setSaveLogFile(false);
        compiled(compiler.CompileKvdTo(dir.filePath(OutputNames[0])), compiler, false);
        // Sliders are no web control: the web file is written, with errors in its log.
        compiled(compiler.CompileKvwTo(dir.filePath(OutputNames[1])), compiler, true);
        CcValidation validation(decisions(), document());
        validation.Validate();
        validation.AppendToLog(false, variantCaption(m_variant), QStringLiteral("crash test"));
        check(validation.SaveLog(dir.filePath(OutputNames[2])));
        check(SelectorStore(document().Storage()).Export(SelectorName, dir.filePath(OutputNames[3])));
        check(PictureExport::ExportTo(document().Storage().pictures(), PictureName, dir.filePath(OutputNames[4])));
        Journey journey;
        journey.name = variantCaption(m_variant);
        check(JourneyStore::writeFile(dir.filePath(OutputNames[5]), {journey}));
    }

    void close() { document().CloseDocument(); }

    // From now on the project's bytes rest in their part file a while before they replace it, as
    // on a slow disk, and the parent hears of it: a kill then lands inside a write for certain.
    void pauseWhenWritten()
    {
        QObject::connect(&document(), &CmDocument::progressChanged, [](int percent) {
            if (percent < 100)
                return;
            out() << "written" << Qt::endl;
            QThread::msleep(PausedWriteMs);
        });
    }

private:
    CmDecisionManager& decisions() const { return m_project->Decisions(); }
    CmDocument& document() const { return m_project->Document(); }

    // A picture of some size, so that its export takes a while.
    static QByteArray picture(int variant)
    {
        QImage image(640, 480, QImage::Format_RGB32);
        QRandomGenerator noise(static_cast<quint32>(variant + 1));
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = noise.generate();
        }
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }

    static void check(const StorageResult& result)
    {
        if (!result)
            fail(result.message);
    }
    static void compiled(CcCompile::Outcome outcome, CcCompile& compiler, bool errorsWritten)
    {
        if (outcome == CcCompile::Outcome::Failed || (outcome == CcCompile::Outcome::Errors && !errorsWritten))
            fail(QStringLiteral("not compiled: ") + compiler.FailureText() + compiler.Validation().Log());
    }
    [[noreturn]] static void fail(const QString& message)
    {
        std::fprintf(stderr, "child: %s\n", qPrintable(message));
        std::fflush(stderr);
        std::_Exit(2);
    }

    ScriptedPrompt m_prompt;
    std::unique_ptr<Project> m_project;
    int m_variant = 0;
};

// The outputs just written in folder become the references of their variant. They are written
// where the kill-able saves write, as a web file names its own path.
void keepAsReference(const QDir& dir, const QString& reference)
{
    dir.mkpath(reference + QStringLiteral("/web"));
    for (const QString& name : OutputNames) {
        const QString kept = dir.filePath(reference + QLatin1Char('/') + name);
        QFile::remove(kept);
        if (!QFile::rename(dir.filePath(name), kept))
            qFatal("cannot keep %s", qPrintable(kept));
    }
}

int runChild(const QString& folder, int controls, bool once)
{
    const QDir dir(folder);
    Saver saver(controls);
    QElapsedTimer cycle;
    cycle.start();
    int variant = QRandomGenerator::global()->bounded(2);
    saver.apply(variant);
    // Saved first: the outputs carry the project's name.
    saver.saveProject(dir.filePath(ProjectName));
    if (!QFile::exists(dir.filePath(ReferencesDone))) {
        for (int each = 0; each < 2; ++each) {
            saver.apply(each);
            saver.writeOutputs(folder);
            keepAsReference(dir, each == 0 ? ReferenceA : ReferenceB);
        }
        saver.apply(variant);
        QFile done(dir.filePath(ReferencesDone));
        done.open(QIODevice::WriteOnly);
        cycle.restart();
        saver.saveProject(dir.filePath(ProjectName));
    }
    saver.writeOutputs(folder);
    if (once) {
        saver.close();
        return 0;
    }
    saver.pauseWhenWritten();
    out() << "ready " << cycle.elapsed() << Qt::endl;
    for (;;) {
        variant = 1 - variant;
        saver.apply(variant);
        saver.saveProject(dir.filePath(ProjectName));
        saver.writeOutputs(folder);
    }
}

// ---- the parent: kills and checks ----

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class Checker {
public:
    explicit Checker(QString folder, int controls) : m_folder(std::move(folder)), m_controls(controls)
    {
        m_project = std::make_unique<Project>(m_prompt);
        for (const QString& name : OutputNames + QStringList{ProjectName, WorkingCopyName})
            m_parts.insert(QDir(m_folder).relativeFilePath(FileBytes::partPath(path(name))));
    }
    ~Checker() { m_project.reset(); }
    Checker(const Checker&) = delete;
    Checker& operator=(const Checker&) = delete;

    // What is wrong after a kill, one line each; parts counts the part files left.
    QStringList afterKill(int& parts) const
    {
        QStringList faults = checkProjects() + checkOutputs();
        parts = 0;
        for (const QString& name : leftOver()) {
            if (m_parts.contains(name))
                ++parts;
            // A lock of a killed Designer is stale: the next save takes it over.
            else if (name != WorkingCopyName && name != WorkingCopyName + QStringLiteral(".lock"))
                faults << QStringLiteral("%1 lies beside the project").arg(name);
        }
        return faults;
    }

    // After a save that was not killed: only the files themselves.
    QStringList afterCleanSave() const
    {
        QStringList faults = checkOutputs();
        for (const QString& name : leftOver()) {
            faults << QStringLiteral("%1 is left after a complete save").arg(name);
        }
        return faults;
    }

private:
    QString path(const QString& name) const { return QDir(m_folder).filePath(name); }

    QStringList checkProjects() const
    {
        QStringList faults;
        for (const QString& name : {ProjectName, WorkingCopyName}) {
            CmDocument& document = m_project->Document();
            const CmDocument::Result opened = document.InspectDocument(path(name));
            if (!opened.done()) {
                faults << QStringLiteral("%1 does not open: %2").arg(name, opened.storage.message);
                continue;
            }
            const StorageResult loaded = m_project->ReadModel();
            const CmDecisionManager& decisions = m_project->Decisions();
            const CmDecisionItem* first = decisions.Count() > 0 ? decisions.ItemByIndex(1) : nullptr;
            if (!loaded || decisions.Count() != m_controls || !first
                || (first->Caption() != variantCaption(0) && first->Caption() != variantCaption(1)))
                faults << QStringLiteral("%1 holds neither content (%2 controls)").arg(name).arg(decisions.Count());
            document.CloseDocument();
        }
        return faults;
    }

    QStringList checkOutputs() const
    {
        QStringList faults;
        for (const QString& name : OutputNames) {
            const QByteArray found = bytesOf(path(name));
            if (found != bytesOf(path(ReferenceA + QLatin1Char('/') + name))
                && found != bytesOf(path(ReferenceB + QLatin1Char('/') + name)))
                faults << QStringLiteral("%1 holds neither content (%2 bytes)").arg(name).arg(found.size());
        }
        return faults;
    }

    // The files of the folder but the references and the outputs, by their paths below it.
    QStringList leftOver() const
    {
        QStringList names;
        QDirIterator it(m_folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString name = QDir(m_folder).relativeFilePath(it.next());
            if (name.startsWith(ReferenceA + QLatin1Char('/')) || name.startsWith(ReferenceB + QLatin1Char('/'))
                || name == ReferencesDone || name == ProjectName || OutputNames.contains(name))
                continue;
            names << name;
        }
        return names;
    }

    QString m_folder;
    int m_controls;
    QSet<QString> m_parts;
    ScriptedPrompt m_prompt;
    std::unique_ptr<Project> m_project;
};

struct Options {
    int rounds = 20;
    int controls = 1500;
    quint32 seed = 0;
};

std::optional<Options> parse(const QStringList& args)
{
    Options options;
    options.seed = QRandomGenerator::global()->generate();
    for (qsizetype i = 0; i + 1 < args.size(); i += 2) {
        bool number = false;
        const uint value = args.at(i + 1).toUInt(&number);
        if (!number)
            return std::nullopt;
        if (args.at(i) == QLatin1String("--rounds") && value > 0)
            options.rounds = static_cast<int>(value);
        else if (args.at(i) == QLatin1String("--controls") && value > 1)
            options.controls = static_cast<int>(value);
        else if (args.at(i) == QLatin1String("--seed"))
            options.seed = value;
        else
            return std::nullopt;
    }
    return args.size() % 2 == 0 ? std::optional(options) : std::nullopt;
}

QStringList childArguments(const QString& folder, int controls)
{
    return {QStringLiteral("--child"), folder, QString::number(controls)};
}

// Starts a child and waits for its first complete save; its time in ms, or -1.
qint64 startChild(QProcess& child, const QString& folder, int controls)
{
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), childArguments(folder, controls));
    while (child.waitForReadyRead(300000)) {
        if (!child.canReadLine())
            continue;
        const QByteArray line = child.readLine().trimmed();
        if (line.startsWith("ready "))
            return line.mid(6).toLongLong();
    }
    return -1;
}

void waitForWrite(QProcess& child)
{
    while (child.canReadLine() || child.waitForReadyRead(300000)) {
        if (child.canReadLine() && child.readLine().trimmed() == "written")
            return;
    }
}

int runParent(const Options& options)
{
    QTemporaryDir folder;
    QRandomGenerator random(options.seed);
    out() << "crash-save: " << options.rounds << " kills of a project of " << options.controls
          << " controls, seed " << options.seed << Qt::endl;
    int failed = 0;
    int cutShort = 0;
    Checker checker(folder.path(), options.controls);
    for (int round = 1; round <= options.rounds; ++round) {
        QProcess child;
        const qint64 cycleMs = startChild(child, folder.path(), options.controls);
        if (cycleMs < 0) {
            out() << "round " << round << ": the saving process did not start" << Qt::endl;
            return 1;
        }
        // Every fourth kill while a project write rests in its part file, the others anywhere
        // in the next two saves.
        if (round % 4 == 0)
            waitForWrite(child);
        else
            QThread::msleep(static_cast<unsigned long>(random.bounded(2 * cycleMs + 1)));
        child.kill();
        child.waitForFinished();
        int parts = 0;
        const QStringList faults = checker.afterKill(parts);
        cutShort += parts > 0 ? 1 : 0;
        if (!faults.isEmpty()) {
            ++failed;
            out() << "round " << round << ": " << faults.join(QStringLiteral("; ")) << Qt::endl;
        }
    }
    QProcess last;
    last.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    last.start(QCoreApplication::applicationFilePath(),
               childArguments(folder.path(), options.controls) << QStringLiteral("--once"));
    const bool saved = last.waitForFinished(300000) && last.exitCode() == 0;
    const QStringList faults = saved ? checker.afterCleanSave() : QStringList{QStringLiteral("the last save failed")};
    out() << options.rounds << " kills, " << cutShort << " of them during a write (a part file left)" << Qt::endl;
    for (const QString& fault : faults)
        out() << "after the last save: " << fault << Qt::endl;
    // Kills that never land in a write would prove nothing.
    const bool landed = options.rounds < 10 || cutShort > 0;
    if (!landed)
        out() << "no kill landed during a write" << Qt::endl;
    const bool passed = failed == 0 && faults.isEmpty() && landed;
    out() << (passed ? 1 : 0) << " passed, " << (passed ? 0 : 1) << " failed" << Qt::endl;
    return passed ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Morvane Corporation"));
    QCoreApplication::setApplicationName(QStringLiteral("kvwDesignerCrashTest"));
    // Settings and the error log away from the user's own.
    QStandardPaths::setTestModeEnabled(true);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.value(0) == QLatin1String("--child") && (args.size() == 3 || args.size() == 4))
        return runChild(args.at(1), args.at(2).toInt(), args.value(3) == QLatin1String("--once"));
    const std::optional<Options> options = parse(args);
    if (!options) {
        std::fprintf(stderr, "usage: kestrova-crash-save [--rounds N] [--controls N] [--seed N]\n");
        return 2;
    }
    return runParent(*options);
}
