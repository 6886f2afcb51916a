#include "cli/JourneysCommand.h"

#include "project/CModel.h"
#include "base/ResourceStrings.h"
#include "cli/ProjectSession.h"
#include "journeys/JourneyStore.h"
#include "model/CmDocument.h"

#include <QTextStream>

namespace {
constexpr int NameId = 33060;
constexpr int SummaryId = 33061;
constexpr int UsageId = 33062;
constexpr int WrongArgumentsId = 33063;
constexpr int ImportedId = 33064;
constexpr int ProgramMessageId = 32003;

int failed(const StorageResult& result, QTextStream& err)
{
    err << LoadResString(ProgramMessageId).arg(result.message) << '\n';
    return CliCommand::Failure;
}
} // namespace

QString JourneysCommand::Name() const
{
    return LoadResString(NameId);
}

QString JourneysCommand::Summary() const
{
    return LoadResString(SummaryId);
}

QString JourneysCommand::Usage() const
{
    return LoadResString(UsageId);
}

int JourneysCommand::execute(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const QString action = args.value(0);
    if (action == QLatin1String("export"))
        return exportAll(args.mid(1), err);
    if (action == QLatin1String("import"))
        return import(args.mid(1), out, err);
    return usageError(LoadResString(WrongArgumentsId), err);
}

int JourneysCommand::exportAll(const QStringList& args, QTextStream& err) const
{
    if (args.size() != 3 || args.at(1) != QLatin1String("-o") || args.at(2).isEmpty())
        return usageError(LoadResString(WrongArgumentsId), err);
    ProjectSession session(err);
    if (!session.Inspect(args.at(0)))
        return Failure;
    QList<Journey> journeys;
    StorageResult done = JourneyStore::read(session.Document().Storage(), journeys);
    if (done)
        done = JourneyStore::writeFile(args.at(2), journeys, session.Document().OpenFiles());
    return done ? Success : failed(done, err);
}

int JourneysCommand::import(const QStringList& args, QTextStream& out, QTextStream& err) const
{
    if (args.size() != 2)
        return usageError(LoadResString(WrongArgumentsId), err);
    // The file is read first: a file that is not journeys leaves the project alone.
    QList<Journey> journeys;
    if (const StorageResult read = JourneyStore::readFile(args.at(1), journeys); !read)
        return failed(read, err);
    ProjectSession session(err);
    if (!session.Open(args.at(0)))
        return Failure;
    CmDocument& document = session.Document();
    if (const StorageResult written = JourneyStore::write(document.Storage(), journeys); !written)
        return failed(written, err);
    if (!session.Save())
        return Failure;
    out << LoadResString(ImportedId).arg(journeys.size()) << '\n';
    return Success;
}
