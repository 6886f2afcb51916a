#include "cli/SelectorCommand.h"

#include "app/CController.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "app/CcFile.h"
#include "project/CvProject.h"
#include "base/ResourceStrings.h"
#include "cli/ProjectSession.h"
#include "database/ExternalTables.h"
#include "database/SqlConnection.h"
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
constexpr int ExternalArgumentsId = 37040;
constexpr int ExternalNameId = 37041;
constexpr int ExternalRefusedId = 37042;

// The record's lines by their options; --password-env NAME is stored as env:NAME.
bool setOption(ExternalSelectorSettings& settings, const QString& option, const QString& value)
{
    const std::pair<const char*, QString*> lines[] = {
        {"--driver", &settings.driverName}, {"--server", &settings.server},     {"--port", &settings.port},
        {"--database", &settings.database}, {"--table", &settings.table},      {"--user", &settings.user},
        {"--driver-location", &settings.driverLocation}};
    for (const auto& [name, line] : lines) {
        if (option == QLatin1String(name)) {
            *line = value;
            return true;
        }
    }
    if (option == QLatin1String("--password-env")) {
        settings.password = value.isEmpty() ? QString() : QStringLiteral("env:") + value;
        return true;
    }
    if (option == QLatin1String("--fields")) {
        settings.fields.clear();
        for (const QString& field : value.split(QLatin1Char(',')))
            if (!field.trimmed().isEmpty())
                settings.fields.append(field.trimmed());
        return true;
    }
    return false;
}

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
    if (action == QLatin1String("external"))
        return external(args.mid(1), out, err);
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

int SelectorCommand::external(const QStringList& args, QTextStream& out, QTextStream& err) const
{
    if (args.size() < 2 || args.size() % 2 != 0)
        return usageError(LoadResString(ExternalArgumentsId), err);
    const QString& project = args.at(0);
    const QString& name = args.at(1);
    ProjectSession session(err);
    if (!session.Open(project))
        return Failure;
    // An existing selector keeps what is not given; a new one starts from the defaults.
    ExternalSelectorSettings settings;
    const bool exists = session.Explorer().ExternalCLExists(name);
    if (exists)
        SelectorStore(session.Document().Storage()).ReadExternal(name, settings);
    else
        settings.driverName = QStringLiteral("postgresql");
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (!exists && dot > 0) {
        settings.database = name.left(dot);
        settings.table = name.mid(dot + 1);
    }
    QStringList given;
    for (qsizetype i = 2; i + 1 < args.size(); i += 2) {
        if (given.contains(args.at(i)) || !setOption(settings, args.at(i), args.at(i + 1)))
            return usageError(LoadResString(ExternalArgumentsId), err);
        given.append(args.at(i));
    }
    if (settings.port.isEmpty() && SqlConnection::kindOf(settings.driverName) == SqlConnection::Kind::PostgreSql)
        settings.port = QStringLiteral("5432");
    if (settings.Name().compare(name, Qt::CaseInsensitive) != 0 && !exists) {
        err << LoadResString(ExternalNameId).arg(name, settings.Name()) << '\n';
        return Failure;
    }
    if (const QStringList problems = ExternalTables::problemsOf(settings); !problems.isEmpty()) {
        for (const QString& problem : problems)
            err << LoadResString(ExternalRefusedId).arg(name, problem) << '\n';
        return Failure;
    }
    ExternalSelectorSession edit;
    edit.name = exists ? name : QString();
    if (!selectorCommands(session).ApplyExternal(edit, settings) || !session.Save())
        return Failure;
    out << edit.name << '\n';
    return Success;
}
