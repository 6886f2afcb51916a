#include "cli/RenameCommand.h"

#include "app/CController.h"
#include "project/CModel.h"
#include "base/ResourceStrings.h"
#include "cli/ProjectSession.h"
#include "edit/CcDecisionTree.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"

#include <QTextStream>

namespace {

constexpr int NameId = 32630;
constexpr int SummaryId = 32631;
constexpr int UsageId = 32632;
constexpr int WrongArgumentsId = 32633;
constexpr int NoSuchControlId = 32634;

} // namespace

QString RenameCommand::Name() const
{
    return LoadResString(NameId);
}

QString RenameCommand::Summary() const
{
    return LoadResString(SummaryId);
}

QString RenameCommand::Usage() const
{
    return LoadResString(UsageId);
}

int RenameCommand::execute(const QStringList& args, QTextStream&, QTextStream& err)
{
    if (args.size() != 3)
        return usageError(LoadResString(WrongArgumentsId), err);
    const QString& oldName = args.at(1);
    const QString& newName = args.at(2);
    ProjectSession session(err);
    if (!session.Open(args.first()))
        return Failure;
    // Only a name finds the control: a number would name another control than the author meant.
    const CmDecisionItem* control = session.Decisions().Item(oldName);
    if (!control || control->strID() != oldName) {
        err << LoadResString(NoSuchControlId).arg(oldName) << '\n';
        return Failure;
    }
    if (newName == oldName)
        return Success;
    if (!session.Tree().Rename(oldName, newName, control->intID()))
        return Failure;
    return session.Save() ? Success : Failure;
}
