#include "cli/PrintCommand.h"

#include "app/CController.h"
#include "project/CModel.h"
#include "base/ResourceStrings.h"
#include "cli/ProjectSession.h"
#include "edit/CvDecisionTree.h"
#include "edit/DiagramStore.h"
#include "model/CmDocument.h"
#include "printing/ProjectPrint.h"

#include "persist/FileBytes.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QTextStream>

#include <optional>

namespace {

constexpr int ProgramNameId = 30000;
constexpr int NameId = 33760;
constexpr int SummaryId = 33761;
constexpr int UsageId = 33762;
constexpr int WrongArgumentsId = 33763;
constexpr int UnknownSectionId = 33764;
constexpr int NothingPrintedId = 33765;
constexpr int NotWrittenId = 33766;
constexpr int NoDisplayId = 33767;

struct Arguments {
    QString project;
    QString output;
    PrintSelections selections;
};

// Picks the sections; every per-control property prints.
bool parseSections(const QString& list, PrintSelections& selections, QString& unknown)
{
    selections.Print_DTSummary = selections.Print_DTThumbnail = false;
    selections.Print_Selectors = selections.Print_Pictures = false;
    for (const QString& section : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString word = section.trimmed().toLower();
        if (word == QLatin1String("summary"))
            selections.Print_DTSummary = true;
        else if (word == QLatin1String("diagram"))
            selections.Print_DTThumbnail = true;
        else if (word == QLatin1String("selectors"))
            selections.Print_Selectors = true;
        else if (word == QLatin1String("pictures"))
            selections.Print_Pictures = true;
        else {
            unknown = section;
            return false;
        }
    }
    return true;
}

std::optional<Arguments> parse(const QStringList& args, QString& unknown)
{
    Arguments parsed;
    bool sectionsGiven = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if ((arg == QLatin1String("-o") || arg == QLatin1String("--output")) && i + 1 < args.size() &&
            parsed.output.isEmpty()) {
            parsed.output = args.at(++i);
        } else if (arg == QLatin1String("--what") && i + 1 < args.size() && !sectionsGiven) {
            sectionsGiven = true;
            if (!parseSections(args.at(++i), parsed.selections, unknown))
                return std::nullopt;
        } else if (arg == QLatin1String("--tiled")) {
            parsed.selections.Print_ThumbnailOnePage = false;
        } else if (parsed.project.isEmpty() && !arg.startsWith(QLatin1Char('-'))) {
            parsed.project = arg;
        } else {
            return std::nullopt;
        }
    }
    if (parsed.project.isEmpty() || QFileInfo(parsed.output).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return parsed;
}

} // namespace

QString PrintCommand::Name() const
{
    return LoadResString(NameId);
}

QString PrintCommand::Summary() const
{
    return LoadResString(SummaryId);
}

QString PrintCommand::Usage() const
{
    return LoadResString(UsageId);
}

int PrintCommand::execute(const QStringList& args, QTextStream&, QTextStream& err)
{
    QString unknown;
    const std::optional<Arguments> parsed = parse(args, unknown);
    if (!parsed)
        return usageError(unknown.isEmpty() ? LoadResString(WrongArgumentsId) : LoadResString(UnknownSectionId).arg(unknown), err);
    // Laying out text needs the fonts of a graphical application; one without a screen will do.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        err << LoadResString(NoDisplayId) << '\n';
        return Failure;
    }
    ProjectSession session(err);
    if (!session.Inspect(parsed->project))
        return Failure;
    CmDocument& document = session.Document();
    CanvasModel& canvas = session.Canvas();
    const CmDecisionManager& decisions = session.Decisions();
    DiagramStore::Load(document.Storage(), canvas, decisions);

    QByteArray pdf;
    int pages = 0;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        const QString title = QFileInfo(parsed->project).completeBaseName();
        writer.setTitle(title);
        writer.setCreator(LoadResString(ProgramNameId));
        ProjectPrint print(decisions, document.Storage(), &canvas, title);
        print.setSelections(parsed->selections);
        pages = print.Print(writer);
    }
    if (pages == 0) {
        err << LoadResString(NothingPrintedId) << '\n';
        return Failure;
    }
    // The file is replaced only by a whole one, and never the project it prints.
    FileBytes::WriteOptions options;
    options.inputs = document.OpenFiles();
    const StorageResult written = pages > 0 ? FileBytes::write(parsed->output, pdf, options)
                                            : StorageResult::failure(StorageErrorKind::Io, QString());
    if (!written) {
        err << LoadResString(NotWrittenId).arg(parsed->output, written.message) << '\n';
        return Failure;
    }
    return Success;
}
