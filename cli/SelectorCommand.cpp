#include "cli/SelectorCommand.h"

#include "app/CController.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "app/CcFile.h"
#include "project/CvProject.h"
#include "base/ResourceStrings.h"
#include "cli/ProjectSession.h"
#include "model/CmDocument.h"
#include "persist/FileBytes.h"
#include "selectors/CcCriteriaList.h"
#include "selectors/SelectorStore.h"
#include "selectors/SelectorText.h"

#include <QFileInfo>
#include <QTextStream>

#include <algorithm>

namespace {
constexpr int NameId = 32210;
constexpr int SummaryId = 32211;
constexpr int UsageId = 32212;
constexpr int NoActionId = 32213;
constexpr int UnknownActionId = 32214;
constexpr int ListArgumentsId = 32215;
constexpr int ImportArgumentsId = 32216;
constexpr int ExportArgumentsId = 32217;
constexpr int InternalId = 32218;
constexpr int ExternalId = 32219;
constexpr int ProgramMessageId = 32003;

CcCriteriaList selectorCommands(ProjectSession& session)
{
    return CcCriteriaList(session.Document(), session.Prompt(), session.Explorer());
}

} // namespace

QString SelectorCommand::Name() const
{
    return LoadResString(NameId);
}

QString SelectorCommand::Summary() const
{
    return LoadResString(SummaryId);
}

QString SelectorCommand::Usage() const
{
    return LoadResString(UsageId);
}

int SelectorCommand::execute(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.isEmpty())
        return usageError(LoadResString(NoActionId), err);
    const QString& action = args.first();
    if (action == QLatin1String("list"))
        return list(args.mid(1), out, err);
    if (action == QLatin1String("import"))
        return import(args.mid(1), out, err);
    if (action == QLatin1String("export"))
        return exportOne(args.mid(1), err);
    return usageError(LoadResString(UnknownActionId).arg(action), err);
}

int SelectorCommand::list(const QStringList& args, QTextStream& out, QTextStream& err) const
{
    if (args.size() != 1)
        return usageError(LoadResString(ListArgumentsId), err);
    ProjectSession session(err);
    if (!session.Inspect(args.first()))
        return Failure;
    const SelectorStore store(session.Document().Storage());
    const CvProject& explorer = session.Explorer();
    int code = Success;
    for (const QString& name : explorer.CriteriaLists()) {
        QString text;
        SelectorText::Rows rows;
        StorageResult read = store.ReadText(name, text);
        if (read)
            read = SelectorText::Read(text, rows);
        if (!read) {
            err << LoadResString(ProgramMessageId).arg(name + QStringLiteral(": ") + read.message) << '\n';
            code = Failure;
            continue;
        }
        qsizetype columns = 0;
        for (const QStringList& row : std::as_const(rows))
            columns = std::max(columns, row.size());
        out << name << '\t' << LoadResString(InternalId) << '\t' << std::max<qsizetype>(rows.size() - 1, 0) << '\t'
            << columns << '\n';
    }
    for (const QString& name : explorer.ExternalCriteriaLists()) {
        ExternalSelectorSettings settings;
        store.ReadExternal(name, settings);
        out << name << '\t' << LoadResString(ExternalId) << "\t-\t" << settings.fields.size() << '\n';
    }
    return code;
}

int SelectorCommand::import(const QStringList& args, QTextStream& out, QTextStream& err) const
{
    if (args.size() < 2)
        return usageError(LoadResString(ImportArgumentsId), err);
    const QString& project = args.first();
    if (const StorageResult readable = FileBytes::checkInput(project); !readable) {
        err << readable.message << '\n';
        return Failure;
    }
    ProjectSession session(err);
    if (!session.Open(project))
        return Failure;
    // Nothing is saved unless every file was imported.
    const CcCriteriaList::ImportOutcome imported = selectorCommands(session).Import(args.mid(1));
    if (!imported.result)
        return Failure;
    if (!session.Save())
        return Failure;
    for (const QString& name : imported.names)
        out << name << '\n';
    return Success;
}

int SelectorCommand::exportOne(const QStringList& args, QTextStream& err) const
{
    const qsizetype option = args.indexOf(QLatin1String("-o"));
    if (args.size() != 4 || option != 2 || args.at(3).isEmpty())
        return usageError(LoadResString(ExportArgumentsId), err);
    ProjectSession session(err);
    if (!session.Inspect(args.at(0)))
        return Failure;
    return selectorCommands(session).Export(args.at(1), args.at(3)) ? Success : Failure;
}
