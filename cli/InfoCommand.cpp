#include "cli/InfoCommand.h"

#include "project/CModel.h"
#include "app/CView.h"
#include "project/CvProject.h"
#include "base/ResourceStrings.h"
#include "cli/ProjectSession.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"

#include <QTextStream>

namespace {
constexpr int FileTypeNameIds[] = {32020, 32021, 32022, 32023};

QString fileTypeText(qint32 type)
{
    const bool known = type >= 0 && type < qint32(std::size(FileTypeNameIds));
    return known ? QStringLiteral("%1 (%2)").arg(type).arg(LoadResString(FileTypeNameIds[type])) : QString::number(type);
}
} // namespace

QString InfoCommand::Name() const
{
    return LoadResString(32030);
}

QString InfoCommand::Summary() const
{
    return LoadResString(32031);
}

QString InfoCommand::Usage() const
{
    return LoadResString(32032);
}

int InfoCommand::execute(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 1)
        return usageError(LoadResString(32033), err);
    ProjectSession session(err);
    if (!session.Inspect(args.first()))
        return Failure;
    const CmDocument& document = session.Document();
    const CvProject& explorer = session.Explorer();
    const QList<std::pair<int, QString>> lines{
        {32035, document.Name()},
        {32036, fileTypeText(document.FileType())},
        {32037, QString::number(session.Decisions().Count())},
        {32038, QString::number(explorer.CriteriaListCount())},
        {32039, QString::number(explorer.ExternalCriteriaLists().size())},
        {32040, QString::number(explorer.PicturesCount())},
    };
    for (const auto& [labelId, value] : lines)
        out << LoadResString(labelId) << ": " << value << '\n';
    return Success;
}
