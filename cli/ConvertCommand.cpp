#include "cli/ConvertCommand.h"

#include "project/CModel.h"
#include "base/ResourceStrings.h"
#include "cli/ProjectSession.h"
#include "model/CmDocument.h"
#include "validate/FileTypeConversion.h"

#include <QTextStream>

namespace {

constexpr int nameId = 32320;
constexpr int summaryId = 32321;
constexpr int usageId = 32322;
constexpr int unknownArgumentId = 32313;
constexpr int oneProjectId = 32314;
constexpr int targetId = 32323;

struct Options {
    QString project;
    qint32 type = -1;
    bool apply = false;
};

qint32 typeNamed(const QString& name)
{
    if (name == QLatin1String("both"))
        return FileTypeConversion::Both;
    if (name == QLatin1String("web"))
        return FileTypeConversion::Web;
    if (name == QLatin1String("desktop"))
        return FileTypeConversion::Desktop;
    return -1;
}

QString parse(const QStringList& args, Options& options)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--apply")) {
            options.apply = true;
        } else if (arg == QLatin1String("--to") || arg.startsWith(QLatin1String("--to="))) {
            const QString name = arg.size() > 4 ? arg.mid(5) : (i + 1 < args.size() ? args.at(++i) : QString());
            options.type = typeNamed(name);
            if (options.type < 0)
                return LoadResString(targetId);
        } else if (arg.startsWith(QLatin1Char('-'))) {
            return LoadResString(unknownArgumentId).arg(arg);
        } else if (!options.project.isEmpty()) {
            return LoadResString(oneProjectId);
        } else {
            options.project = arg;
        }
    }
    if (options.project.isEmpty())
        return LoadResString(oneProjectId);
    return options.type < 0 ? LoadResString(targetId) : QString();
}

} // namespace

QString ConvertCommand::Name() const
{
    return LoadResString(nameId);
}

QString ConvertCommand::Summary() const
{
    return LoadResString(summaryId);
}

QString ConvertCommand::Usage() const
{
    return LoadResString(usageId);
}

int ConvertCommand::execute(const QStringList& args, QTextStream& out, QTextStream& err)
{
    Options options;
    const QString wrong = parse(args, options);
    if (!wrong.isEmpty())
        return usageError(wrong, err);
    ProjectSession session(err);
    // Only a project opened for a change can be saved; otherwise it is only read.
    if (!(options.apply ? session.Open(options.project) : session.Inspect(options.project)))
        return Failure;
    FileTypeConversion conversion(session.Decisions(), session.Document());
    FileTypeConversion::Outcome outcome = FileTypeConversion::Outcome::AlreadyCompatible;
    if (options.apply) {
        outcome = conversion.Apply(options.type, true);
    } else if (conversion.ChangeFileType(options.type, false, true)) {
        outcome = FileTypeConversion::Outcome::Incompatible;
    }
    out << conversion.Log() << LoadResString(FileTypeConversion::OutcomeMessageId(outcome)) << '\n';
    // The project file is replaced only by a complete save.
    if (options.apply && !session.Save())
        return Failure;
    return outcome == FileTypeConversion::Outcome::Incompatible ? Failure : Success;
}
