#include "cli/FromRulesCommand.h"

#include "app/CController.h"
#include "project/CModel.h"
#include "base/ResourceStrings.h"
#include "cli/ProjectSession.h"
#include "edit/AutoLayout.h"
#include "edit/CvDecisionTree.h"
#include "model/RulesText.h"

#include "persist/FileBytes.h"

#include <QTextStream>

#include <optional>

namespace {

constexpr int NameId = 30450;
constexpr int SummaryId = 30451;
constexpr int UsageId = 30452;
constexpr int WrongArgumentsId = 30453;
constexpr int FileMessageId = 30454;
constexpr int ProgramMessageId = 32003;

struct Arguments {
    QString rules;
    QString project;
};

std::optional<Arguments> parse(const QStringList& args)
{
    Arguments parsed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("-o") || arg == QLatin1String("--output")) {
            if (i + 1 >= args.size() || !parsed.project.isEmpty())
                return std::nullopt;
            parsed.project = args.at(++i);
        } else if (parsed.rules.isEmpty() && !arg.startsWith(QLatin1Char('-'))) {
            parsed.rules = arg;
        } else {
            return std::nullopt;
        }
    }
    if (parsed.rules.isEmpty() || parsed.project.isEmpty())
        return std::nullopt;
    return parsed;
}

std::optional<QString> readText(const QString& path, QTextStream& err)
{
    QString text;
    if (const StorageResult read = FileBytes::readText(path, text, FileBytes::Input::RulesText); !read) {
        err << read.message << '\n';
        return std::nullopt;
    }
    return text;
}

} // namespace

QString FromRulesCommand::Name() const
{
    return LoadResString(NameId);
}

QString FromRulesCommand::Summary() const
{
    return LoadResString(SummaryId);
}

QString FromRulesCommand::Usage() const
{
    return LoadResString(UsageId);
}

int FromRulesCommand::execute(const QStringList& args, QTextStream&, QTextStream& err)
{
    const std::optional<Arguments> parsed = parse(args);
    if (!parsed)
        return usageError(LoadResString(WrongArgumentsId), err);
    const std::optional<QString> text = readText(parsed->rules, err);
    if (!text)
        return Failure;
    ProjectSession session(err);
    const RulesText::ReadResult read = RulesText::Read(*text, session.Decisions());
    if (!read.ok) {
        err << LoadResString(ProgramMessageId).arg(LoadResString(FileMessageId).arg(parsed->rules, read.message))
            << '\n';
        return Failure;
    }
    AutoLayout::LayOut(session.Canvas(), session.Decisions());
    return session.SaveAs(parsed->project, {parsed->rules}) ? Success : Failure;
}
