#include "cli/TextCommand.h"

#include "base/ResourceStrings.h"
#include "cli/ProjectSession.h"
#include "vcs/ProjectCapture.h"
#include "vcs/ProjectTextWriter.h"

#include <QBuffer>
#include <QFileDevice>
#include <QFileInfo>
#include <QTextStream>

namespace {
constexpr int NameId = 34300;
constexpr int SummaryId = 34301;
constexpr int UsageId = 34302;
constexpr int WrongArgumentsId = 34303;
} // namespace

QString TextCommand::Name() const
{
    return LoadResString(NameId);
}

QString TextCommand::Summary() const
{
    return LoadResString(SummaryId);
}

QString TextCommand::Usage() const
{
    return LoadResString(UsageId);
}

bool TextCommand::ReadProject(const QString& path, ProjectData& project, QTextStream& err)
{
    ProjectSession session(err);
    if (!session.Inspect(path, Project::Diagram::LeftOut))
        return false;
    const StorageResult read = ProjectCapture::Read(session.Decisions(), session.Document(), nullptr, project);
    if (!read)
        err << path << ": " << read.message << '\n';
    return read.ok();
}

bool TextCommand::ReadProjectOrNothing(const QString& path, ProjectData& project, QTextStream& err)
{
    const QFileInfo file(path);
    if (path == QLatin1String("/dev/null") || (file.isFile() && file.size() == 0)) {
        project = ProjectData();
        return true;
    }
    return ReadProject(path, project, err);
}

int TextCommand::execute(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 1)
        return usageError(LoadResString(WrongArgumentsId), err);
    const QString& path = args.first();
    ProjectSession session(err);
    if (!session.Inspect(path, Project::Diagram::LeftOut))
        return Failure;
    // Streamed as UTF-8 to the output's device, a control at a time; a stream into a string (as
    // the tests run commands) takes the same bytes at the end.
    out.flush();
    QBuffer inMemory;
    QIODevice* device = out.device();
    if (!device) {
        inMemory.open(QIODevice::WriteOnly);
        device = &inMemory;
    }
    ProjectTextWriter writer(*device);
    StorageResult written = ProjectCapture::WriteText(session.Decisions(), session.Document(), writer);
    if (auto* file = qobject_cast<QFileDevice*>(device); file && written && !file->flush())
        written = StorageResult::failure(StorageErrorKind::Io, file->errorString());
    if (device == &inMemory)
        out << QString::fromUtf8(inMemory.data());
    if (!written)
        err << path << ": " << written.message << '\n';
    return written ? Success : Failure;
}
