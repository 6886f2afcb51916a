#include "cli/AnalyzeCommand.h"

#include "project/CModel.h"
#include "base/ResourceStrings.h"
#include "cli/ProjectSession.h"
#include "validate/PathAnalysis.h"
#include "validate/ValidationFindings.h"

#include <QTextStream>

namespace {

constexpr int nameId = 33160;
constexpr int summaryId = 33161;
constexpr int usageId = 33162;
constexpr int unknownArgumentId = 32313;
constexpr int oneProjectId = 32314;

// The log entry on one line: its line breaks go, the TABs that open its second and third lines
// stay between the parts.
QString oneLine(const ValidationFindings::Entry& entry)
{
    return entry.text().remove(QStringLiteral("\r\n"));
}

} // namespace

QString AnalyzeCommand::Name() const
{
    return LoadResString(nameId);
}

QString AnalyzeCommand::Summary() const
{
    return LoadResString(summaryId);
}

QString AnalyzeCommand::Usage() const
{
    return LoadResString(usageId);
}

int AnalyzeCommand::execute(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QString project;
    for (const QString& arg : args) {
        if (arg.startsWith(QLatin1Char('-')))
            return usageError(LoadResString(unknownArgumentId).arg(arg), err);
        if (!project.isEmpty())
            return usageError(LoadResString(oneProjectId), err);
        project = arg;
    }
    if (project.isEmpty())
        return usageError(LoadResString(oneProjectId), err);
    ProjectSession session(err);
    if (!session.Inspect(project))
        return Failure;
    ValidationFindings findings;
    PathAnalysis::Run(session.Decisions(), findings);
    for (const ValidationFindings::Entry& entry : findings.entries())
        out << oneLine(entry) << '\n';
    return findings.entries().isEmpty() ? Success : Failure;
}
