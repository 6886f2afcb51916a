#include "cli/CompileCommand.h"

#include "app/CApplication.h"
#include "app/CModel.h"
#include "base/ResourceStrings.h"
#include "cli/ProjectSession.h"
#include "compile/CcCompile.h"
#include "validate/CcValidation.h"

#include <QFileInfo>
#include <QTextStream>

namespace {

constexpr int nameId = 32420;
constexpr int summaryId = 32421;
constexpr int usageId = 32422;
constexpr int argumentsId = 32423;
constexpr int writtenId = 32424;
constexpr int imagePathWebOnlyId = 32425;
constexpr int unknownArgumentId = 32313;
constexpr int compiledId = 14019;
constexpr int compiledWithWarningsId = 14020;
constexpr int compileIncompleteId = 14021;

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
    ProjectSession session(err);
    if (!session.Inspect(options.project))
        return Failure;
    CcCompile compiler(gApp->Model().Decisions(), gApp->Model().Document());
    compiler.setSaveLogFile(false);
    compiler.setImagePath(options.imagePath);
    // The web tree file names itself by its full path.
    const QString target = QFileInfo(options.output).absoluteFilePath();
    const CcCompile::Outcome outcome = options.web ? compiler.CompileKvwTo(target) : compiler.CompileKvdTo(target);
    err << compiler.Validation().Log();
    if (outcome == CcCompile::Outcome::Failed) {
        err << compiler.FailureText() << '\n';
        return Failure;
    }
    if (options.web || outcome != CcCompile::Outcome::Errors)
        out << LoadResString(writtenId).arg(options.output) << '\n';
    switch (outcome) {
    case CcCompile::Outcome::Errors:
        out << LoadResString(compileIncompleteId) << '\n';
        return Failure;
    case CcCompile::Outcome::Warnings:
        out << LoadResString(compiledWithWarningsId) << '\n';
        return Success;
    default:
        out << LoadResString(compiledId) << '\n';
        return Success;
    }
}
