#include "cli/GraphCommand.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "app/CModel.h"
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
constexpr int UsageId = 32642;
constexpr int WrongArgumentsId = 32643;

struct Arguments {
    QString project;
    QString output;
    bool svg = false;
};

std::optional<Arguments> parse(const QStringList& args)
{
    Arguments parsed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("-o") || arg == QLatin1String("--output")) {
            if (i + 1 >= args.size() || !parsed.output.isEmpty())
                return std::nullopt;
            parsed.output = args.at(++i);
        } else if (parsed.project.isEmpty() && !arg.startsWith(QLatin1Char('-'))) {
            parsed.project = arg;
        } else {
            return std::nullopt;
        }
    }
    const QString suffix = QFileInfo(parsed.output).suffix().toLower();
    if (parsed.project.isEmpty() || (suffix != QLatin1String("dot") && suffix != QLatin1String("svg")))
        return std::nullopt;
    parsed.svg = suffix == QLatin1String("svg");
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

int GraphCommand::execute(const QStringList& args, QTextStream&, QTextStream& err)
{
    const std::optional<Arguments> parsed = parse(args);
    if (!parsed)
        return usageError(LoadResString(WrongArgumentsId), err);
    ProjectSession session(err);
    if (!session.Inspect(parsed->project))
        return Failure;
    CmDocument& document = gApp->Model().Document();
    CanvasModel& canvas = gApp->Controller().DiagramView().Canvas();
    const CmDecisionManager& decisions = gApp->Model().Decisions();
    DiagramStore::Load(document.Storage(), canvas, decisions);
    const QString title = QFileInfo(parsed->project).completeBaseName();
    const QString text = parsed->svg ? TreeGraph::Svg(title, decisions, canvas) : TreeGraph::Dot(title, decisions, canvas);
    FileBytes::WriteOptions options;
    options.inputs = document.OpenFiles();
    const StorageResult written = FileBytes::write(parsed->output, text.toUtf8(), options);
    if (!written) {
        err << written.message << '\n';
        return Failure;
    }
    return Success;
}
