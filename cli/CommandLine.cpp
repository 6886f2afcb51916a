#include "cli/CommandLine.h"

#include "base/ResourceStrings.h"
#include "cli/AnalyzeCommand.h"
#include "cli/CheckExprCommand.h"
#include "cli/CompileCommand.h"
#include "cli/ConvertCommand.h"
#include "cli/FromRulesCommand.h"
#include "cli/GraphCommand.h"
#include "cli/InfoCommand.h"
#include "cli/PrintCommand.h"
#include "cli/JourneysCommand.h"
#include "cli/RecordsCommand.h"
#include "cli/RenameCommand.h"
#include "cli/ReportCommand.h"
#include "cli/FindCommand.h"
#include "cli/ReplaceCommand.h"
#include "cli/RunCommand.h"
#include "cli/SelectorCommand.h"
#include "cli/ServeCommand.h"
#include "cli/SpellCommand.h"
#include "cli/TestCommand.h"
#include "cli/ValidateCommand.h"
#include "cli/TextCommand.h"
#include "cli/DiffCommand.h"
#include "cli/MergeCommand.h"
#include "cli/GitSetupCommand.h"

#include <QTextStream>

CommandLine::CommandLine()
{
    m_commands.push_back(std::make_unique<CheckExprCommand>());
    m_commands.push_back(std::make_unique<InfoCommand>());
    m_commands.push_back(std::make_unique<FromRulesCommand>());
    m_commands.push_back(std::make_unique<RecordsCommand>());
    m_commands.push_back(std::make_unique<RenameCommand>());
    m_commands.push_back(std::make_unique<FindCommand>());
    m_commands.push_back(std::make_unique<ReplaceCommand>());
    m_commands.push_back(std::make_unique<GraphCommand>());
    m_commands.push_back(std::make_unique<SelectorCommand>());
    m_commands.push_back(std::make_unique<ValidateCommand>());
    m_commands.push_back(std::make_unique<AnalyzeCommand>());
    m_commands.push_back(std::make_unique<ConvertCommand>());
    m_commands.push_back(std::make_unique<CompileCommand>());
    m_commands.push_back(std::make_unique<RunCommand>());
    m_commands.push_back(std::make_unique<ServeCommand>());
    m_commands.push_back(std::make_unique<ReportCommand>());
    m_commands.push_back(std::make_unique<PrintCommand>());
    m_commands.push_back(std::make_unique<SpellCommand>());
    m_commands.push_back(std::make_unique<TestCommand>());
    m_commands.push_back(std::make_unique<JourneysCommand>());
    m_commands.push_back(std::make_unique<TextCommand>());
    m_commands.push_back(std::make_unique<DiffCommand>());
    m_commands.push_back(std::make_unique<MergeCommand>());
    m_commands.push_back(std::make_unique<GitSetupCommand>());
}

CommandLine::~CommandLine() = default;

bool CommandLine::NeedsGraphics(const QString& command)
{
    return command == PrintCommand().Name();
}

CliCommand* CommandLine::find(const QString& name) const
{
    for (const auto& command : m_commands) {
        if (command->Name() == name)
            return command.get();
    }
    return nullptr;
}

CommandReference CommandLine::reference() const
{
    std::vector<const CliCommand*> commands;
    for (const auto& command : m_commands)
        commands.push_back(command.get());
    return CommandReference(commands);
}

void CommandLine::printHelp(QTextStream& out) const
{
    reference().write(CommandReference::Format::Text, out);
}

// --help [text|html|man [kestrova-designer]]: the reference in the form asked for.
int CommandLine::printReference(const QStringList& args, QTextStream& out, QTextStream& err) const
{
    CommandReference::Format format = CommandReference::Format::Text;
    if (args.size() > 3 || (args.size() > 1 && !CommandReference::FormatNamed(args.at(1), format))
        || (args.size() == 3 && (format != CommandReference::Format::Manual || args.at(2) != QLatin1String("kestrova-designer")))) {
        printHelp(err);
        return CliCommand::UsageError;
    }
    if (args.size() == 3)
        CommandReference::writeDesignerManual(out);
    else
        reference().write(format, out);
    return CliCommand::Success;
}

int CommandLine::run(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.isEmpty()) {
        printHelp(err);
        return CliCommand::UsageError;
    }
    const QString& first = args.first();
    if (first == QLatin1String("--help") || first == QLatin1String("-h"))
        return printReference(args, out, err);
    if (first == QLatin1String("--version")) {
        out << LoadResString(32004).arg(QStringLiteral(KV_VERSION_STRING)) << '\n';
        return CliCommand::Success;
    }
    CliCommand* command = find(first);
    if (!command) {
        err << LoadResString(32002).arg(first) << '\n';
        return CliCommand::UsageError;
    }
    const QStringList rest = args.mid(1);
    if (rest.size() == 1 && (rest.first() == QLatin1String("--help") || rest.first() == QLatin1String("-h"))) {
        out << command->Summary() << '\n' << command->Usage() << '\n';
        return CliCommand::Success;
    }
    return command->execute(rest, out, err);
}
