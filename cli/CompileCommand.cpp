#include "cli/CompileCommand.h"

#include "project/CModel.h"
#include "base/ResourceStrings.h"
#include "cli/ProjectSession.h"
#include "compile/CcCompile.h"
#include "validate/CcValidation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

constexpr int nameId = 32420;
constexpr int summaryId = 32421;
constexpr int usageId = 36110;
constexpr int argumentsId = 32423;
constexpr int writtenId = 32424;
constexpr int imagePathWebOnlyId = 32425;
constexpr int unknownArgumentId = 32313;
constexpr int compiledId = 14019;
constexpr int compiledWithWarningsId = 14020;
constexpr int compileIncompleteId = 14021;
constexpr int picturesNotWrittenId = 36111;
constexpr int standardOutputNameId = 36112;
constexpr int noFolderId = 36503;

struct Options {
    QString project;
    QString output;
    QString imagePath;
    bool imagePathGiven = false;
    bool web = false;
    bool desktop = false;
};

// Empty when the arguments are sound, otherwise what is wrong with them.
QString parse(const QStringList& args, Options& options)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--web")) {
            options.web = true;
        } else if (arg == QLatin1String("--desktop")) {
            options.desktop = true;
        } else if (arg == QLatin1String("-o") && hasValue) {
            options.output = args.at(++i);
        } else if (arg == QLatin1String("--image-path") && hasValue) {
            options.imagePath = args.at(++i);
            options.imagePathGiven = true;
        } else if (arg.startsWith(QLatin1Char('-'))) {
            return arg == QLatin1String("-o") ? LoadResString(argumentsId) : LoadResString(unknownArgumentId).arg(arg);
        } else if (!options.project.isEmpty()) {
            return LoadResString(argumentsId);
        } else {
            options.project = arg;
        }
    }
    if (options.project.isEmpty() || options.output.isEmpty() || options.web == options.desktop)
        return LoadResString(argumentsId);
    if (options.imagePathGiven && !options.web)
        return LoadResString(imagePathWebOnlyId);
    return QString();
}

// The compiled file's bytes on standard output. A web tree names itself by its path: there it
// is named by the file name alone, as the private folder is gone when the command ends.
bool copyToStandardOutput(const QString& path, const QString& folder, QTextStream& out, QTextStream& err)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        err << file.errorString() << '\n';
        return false;
    }
    QByteArray bytes = file.readAll();
    const QByteArray named = "tree='" + QDir::toNativeSeparators(QDir(folder).absolutePath() + QLatin1Char('/')).toUtf8();
    const qsizetype header = bytes.indexOf("?>\n<TreeFile>");
    const qsizetype at = bytes.indexOf(named);
    if (at >= 0 && at < header)
        bytes.remove(at + 6, named.size() - 6);
    out.flush();
    // A stream over a string (a caller in this process) gets the bytes one character each.
    if (QString* text = out.string()) {
        text->append(QString::fromLatin1(bytes));
        return true;
    }
    QIODevice* device = out.device();
    auto* fileDevice = qobject_cast<QFileDevice*>(device);
    if (!device || device->write(bytes) != bytes.size() || (fileDevice && !fileDevice->flush())) {
        err << (device ? device->errorString() : QString()) << '\n';
        return false;
    }
    return true;
}

} // namespace

QString CompileCommand::Name() const
{
    return LoadResString(nameId);
}

QString CompileCommand::Summary() const
{
    return LoadResString(summaryId);
}

QString CompileCommand::Usage() const
{
    return LoadResString(usageId);
}

int CompileCommand::execute(const QStringList& args, QTextStream& out, QTextStream& err)
{
    Options options;
    const QString wrong = parse(args, options);
    if (!wrong.isEmpty())
        return usageError(wrong, err);
    const bool toStandardOutput = options.output == QLatin1String("-");
    // Like every writer, compile makes no folder; a missing one is said before any work.
    if (const QFileInfo folder(QFileInfo(options.output).absolutePath()); !toStandardOutput && !folder.isDir()) {
        err << LoadResString(noFolderId).arg(QDir::toNativeSeparators(folder.filePath())) << '\n';
        return Failure;
    }
    ProjectSession session(err);
    if (!session.Inspect(options.project))
        return Failure;
    // Standard output gets the file's bytes once it is whole: it is compiled into a folder of
    // its own first, where the web compile's pictures stay behind.
    const QTemporaryDir folder;
    if (toStandardOutput && !folder.isValid()) {
        err << folder.errorString() << '\n';
        return Failure;
    }
    const QString fileName = QFileInfo(options.project).completeBaseName() + (options.web ? QLatin1String(".kvw") : QLatin1String(".kvd"));
    CcCompile compiler(session.Decisions(), session.Document());
    compiler.setSaveLogFile(false);
    compiler.setImagePath(options.imagePath);
    // The web tree file names itself by its full path.
    const QString target = toStandardOutput ? QDir(folder.path()).filePath(fileName) : QFileInfo(options.output).absoluteFilePath();
    const CcCompile::Outcome outcome = options.web ? compiler.CompileKvwTo(target) : compiler.CompileKvdTo(target);
    err << compiler.Validation().Log();
    if (outcome == CcCompile::Outcome::Failed) {
        err << compiler.FailureText() << '\n';
        return Failure;
    }
    const bool written = options.web || outcome != CcCompile::Outcome::Errors;
    if (written && toStandardOutput) {
        if (!copyToStandardOutput(target, folder.path(), out, err))
            return Failure;
        const int pictures = int(QDir(folder.path()).entryList(QDir::Files).size()) - 1;
        if (pictures > 0)
            err << LoadResString(picturesNotWrittenId).arg(pictures) << '\n';
    }
    if (written)
        err << LoadResString(writtenId).arg(toStandardOutput ? LoadResString(standardOutputNameId) : options.output) << '\n';
    switch (outcome) {
    case CcCompile::Outcome::Errors:
        err << LoadResString(compileIncompleteId) << '\n';
        return Failure;
    case CcCompile::Outcome::Warnings:
        err << LoadResString(compiledWithWarningsId) << '\n';
        return Success;
    default:
        err << LoadResString(compiledId) << '\n';
        return Success;
    }
}
