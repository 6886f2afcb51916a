#include "cli/SpellCommand.h"

#include "app/CApplication.h"
#include "app/CModel.h"
#include "base/ResourceStrings.h"
#include "cli/ProjectSession.h"
#include "spelling/ProjectSpelling.h"
#include "spelling/SpellChecker.h"

#include <QTextStream>

#include <optional>

namespace {

constexpr int NameId = 33770;
constexpr int SummaryId = 33771;
constexpr int UsageId = 33772;
constexpr int WrongArgumentsId = 33773;

struct Arguments {
    QString project;
    QString language;
    QStringList folders;
};

std::optional<Arguments> parse(const QStringList& args)
{
    Arguments parsed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const bool valued = i + 1 < args.size();
        if (arg == QLatin1String("--language") && valued && parsed.language.isEmpty())
            parsed.language = args.at(++i);
        else if (arg == QLatin1String("--dictionaries") && valued)
            parsed.folders.append(args.at(++i));
        else if (parsed.project.isEmpty() && !arg.startsWith(QLatin1Char('-')))
            parsed.project = arg;
        else
            return std::nullopt;
    }
    if (parsed.project.isEmpty())
        return std::nullopt;
    return parsed;
}

} // namespace

QString SpellCommand::Name() const
{
    return LoadResString(NameId);
}

QString SpellCommand::Summary() const
{
    return LoadResString(SummaryId);
}

QString SpellCommand::Usage() const
{
    return LoadResString(UsageId);
}

int SpellCommand::execute(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const std::optional<Arguments> parsed = parse(args);
    if (!parsed)
        return usageError(LoadResString(WrongArgumentsId), err);
    SpellChecker checker;
    if (!checker.Load(parsed->language.isEmpty() ? SpellChecker::DefaultLanguage() : parsed->language,
                      parsed->folders.isEmpty() ? SpellChecker::DefaultFolders() : parsed->folders,
                      SpellChecker::DefaultWordListPath())) {
        err << checker.Problem() << '\n';
        return Failure;
    }
    ProjectSession session(err);
    if (!session.Inspect(parsed->project))
        return Failure;
    const CmDecisionManager& decisions = gApp->Model().Decisions();
    const QList<SpellingFinding> findings = ProjectSpelling::CheckAll(decisions, checker);
    for (const SpellingFinding& finding : findings)
        out << ProjectSpelling::Location(decisions, finding) << ": " << finding.word << '\n';
    return findings.isEmpty() ? Success : Failure;
}
