#include "cli/ReplaceCommand.h"

#include "app/CController.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "app/CcFile.h"
#include "project/CvProject.h"
#include "base/ResourceStrings.h"
#include "cli/ProjectSession.h"
#include "cli/SearchArguments.h"
#include "selectors/CcCriteriaList.h"

#include <QTextStream>

namespace {

constexpr int NameId = 32760;
constexpr int SummaryId = 32761;
constexpr int UsageId = 32762;
constexpr int ReplacedId = 32763;
constexpr int SkippedId = 32764;

} // namespace

QString ReplaceCommand::Name() const
{
    return LoadResString(NameId);
}

QString ReplaceCommand::Summary() const
{
    return LoadResString(SummaryId);
}

QString ReplaceCommand::Usage() const
{
    return LoadResString(UsageId);
}

int ReplaceCommand::execute(const QStringList& args, QTextStream& out, QTextStream& err)
{
    SearchArguments arguments;
    if (!arguments.Parse(args, 2))
        return usageError(arguments.Error(), err);
    ProjectSession session(err);
    if (!session.Open(arguments.Project()))
        return Failure;
    CvProject& explorer = session.Explorer();
    CcCriteriaList selectors(session.Document(), session.Prompt(), explorer);
    FindReplace finder(session.Decisions());
    finder.setTree(&session.Tree());
    finder.setSelectors(&selectors, &explorer, &session.Document());
    const FindReplace::Outcome outcome = finder.ReplaceAll(arguments.Request());
    out << LoadResString(ReplacedId).arg(outcome.replaced) << '\n';
    if (outcome.skipped > 0)
        err << LoadResString(SkippedId).arg(outcome.skipped) << '\n';
    if (outcome.replaced == 0)
        return Success;
    selectors.Manager().SaveAll();
    return session.Save() ? Success : Failure;
}
