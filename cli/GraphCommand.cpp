#include "cli/GraphCommand.h"

#include "app/CController.h"
#include "project/CModel.h"
#include "base/ResourceStrings.h"
#include "cli/ProjectSession.h"
#include "edit/CvDecisionTree.h"
#include "edit/DiagramStore.h"
#include "edit/TreeGraph.h"
#include "model/CmDocument.h"

#include "persist/FileBytes.h"

#include <QFileInfo>
#include <QTextStream>

#include <optional>

namespace {

constexpr int NameId = 32640;
constexpr int SummaryId = 32641;
constexpr int UsageId = 36120;
constexpr int WrongArgumentsId = 36121;

struct Arguments {
    QString project;
    QString output;
    bool svg = false;
};

bool toStandardOutput(const Arguments& arguments)
{
    return arguments.output == QLatin1String("-");
}

std::optional<Arguments> parse(const QStringList& args)
{
    Arguments parsed;
    QString format;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("-o") || arg == QLatin1String("--output")) {
            if (i + 1 >= args.size() || !parsed.output.isEmpty())
                return std::nullopt;
            parsed.output = args.at(++i);
        } else if (arg == QLatin1String("--format")) {
            if (i + 1 >= args.size() || !format.isEmpty())
                return std::nullopt;
            format = args.at(++i).toLower();
        } else if (parsed.project.isEmpty() && !arg.startsWith(QLatin1Char('-'))) {
            parsed.project = arg;
        } else {
            return std::nullopt;
        }
    }
    // The format is the file's suffix, or the one named; standard output takes DOT unless named.
    const QString suffix = toStandardOutput(parsed) ? QString() : QFileInfo(parsed.output).suffix().toLower();
    if (format.isEmpty())
        format = toStandardOutput(parsed) ? QStringLiteral("dot") : suffix;
    if (parsed.project.isEmpty() || parsed.output.isEmpty()
        || (format != QLatin1String("dot") && format != QLatin1String("svg")))
        return std::nullopt;
    parsed.svg = format == QLatin1String("svg");
    return parsed;
}

} // namespace

QString GraphCommand::Name() const
{
    return LoadResString(NameId);
}

QString GraphCommand::Summary() const
{
    return LoadResString(SummaryId);
}

QString GraphCommand::Usage() const
{
    return LoadResString(UsageId);
}

int GraphCommand::execute(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const std::optional<Arguments> parsed = parse(args);
    if (!parsed)
        return usageError(LoadResString(WrongArgumentsId), err);
    ProjectSession session(err);
    if (!session.Inspect(parsed->project))
        return Failure;
    CmDocument& document = session.Document();
    CanvasModel& canvas = session.Canvas();
    const CmDecisionManager& decisions = session.Decisions();
    DiagramStore::Load(document.Storage(), canvas, decisions);
    const QString title = QFileInfo(parsed->project).completeBaseName();
    const QString text = parsed->svg ? TreeGraph::Svg(title, decisions, canvas) : TreeGraph::Dot(title, decisions, canvas);
    if (toStandardOutput(*parsed)) {
        out << text;
        return Success;
    }
    FileBytes::WriteOptions options;
    options.inputs = document.OpenFiles();
    const StorageResult written = FileBytes::write(parsed->output, text.toUtf8(), options);
    if (!written) {
        err << written.message << '\n';
        return Failure;
    }
    return Success;
}
