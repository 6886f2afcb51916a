#include "cli/FindCommand.h"

#include "project/CModel.h"
#include "app/CView.h"
#include "project/CvProject.h"
#include "base/ResourceStrings.h"
#include "cli/ProjectSession.h"
#include "cli/SearchArguments.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"

#include <QTextStream>

namespace {

constexpr int NameId = 32755;
constexpr int SummaryId = 32756;
constexpr int UsageId = 32757;

// The line of the text that holds the match.
QString lineAt(const QString& text, qsizetype position)
{
    const qsizetype before = text.lastIndexOf(QLatin1Char('\n'), position);
    const qsizetype cr = text.lastIndexOf(QLatin1Char('\r'), position);
    const qsizetype start = std::max(before, cr) + 1;
    qsizetype end = text.size();
    for (const QLatin1Char breakChar : {QLatin1Char('\r'), QLatin1Char('\n')}) {
        const qsizetype at = text.indexOf(breakChar, position);
        if (at >= 0 && at < end)
            end = at;
    }
    return text.mid(start, end - start);
}

QString controlName(const CmDecisionManager& decisions, qint16 key)
{
    const CmDecisionItem* item = decisions.Item(int{key});
    return item && !item->strID().isEmpty() ? item->strID() : QString::number(key);
}

} // namespace

QString FindCommand::Name() const
{
    return LoadResString(NameId);
}

QString FindCommand::Summary() const
{
    return LoadResString(SummaryId);
}

QString FindCommand::Usage() const
{
    return LoadResString(UsageId);
}

int FindCommand::execute(const QStringList& args, QTextStream& out, QTextStream& err)
{
    SearchArguments arguments;
    if (!arguments.Parse(args, 1))
        return usageError(arguments.Error(), err);
    ProjectSession session(err);
    if (!session.Inspect(arguments.Project()))
        return Failure;
    const CmDecisionManager& decisions = session.Decisions();
    FindReplace finder(session.Decisions());
    finder.setSelectors(nullptr, &session.Explorer(), &session.Document());
    for (const FoundMatch& match : finder.FindAll(arguments.Request())) {
        if (match.inSelector) {
            out << match.selector << '[' << match.row + 1 << ',' << match.column + 1 << "]: " << match.text << '\n';
        } else {
            out << controlName(decisions, match.key) << '.' << FindReplace::FieldName(match.field) << ": "
                << lineAt(match.text, match.position) << '\n';
        }
    }
    return Success;
}
