#include "cli/SpellCommand.h"

#include "project/CModel.h"
#include "base/ResourceStrings.h"
#include "cli/ProjectSession.h"
#include "spelling/ProjectSpelling.h"
#include "spelling/SpellChecker.h"

#include <QDir>
#include <QTextStream>

#include <optional>

namespace {

constexpr int ProgramMessageId = 32003;
constexpr int NameId = 33770;
constexpr int SummaryId = 33771;
constexpr int UsageId = 33772;
constexpr int WrongArgumentsId = 33773;
constexpr int NoSuchDictionaryId = 36100;
constexpr int DictionariesFoundId = 36101;
constexpr int NoDictionariesFoundId = 36102;

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
    const QStringList folders = parsed->folders.isEmpty() ? SpellChecker::DefaultFolders() : parsed->folders;
    // A language asked for by name is that dictionary or none: checking in another would pass
    // words the author never had checked.
    if (!parsed->language.isEmpty()) {
        const QStringList found = SpellChecker::Dictionaries(folders);
        if (!found.contains(parsed->language)) {
            err << LoadResString(ProgramMessageId)
                       .arg(LoadResString(NoSuchDictionaryId)
                                .arg(parsed->language, QDir::toNativeSeparators(folders.join(QStringLiteral(", ")))))
                << '\n'
                << (found.isEmpty() ? LoadResString(NoDictionariesFoundId)
                                    : LoadResString(DictionariesFoundId).arg(found.join(QStringLiteral(", "))))
                << '\n';
            return UsageError;
        }
    }
    SpellChecker checker;
    if (!checker.Load(parsed->language.isEmpty() ? SpellChecker::DefaultLanguage() : parsed->language, folders,
                      SpellChecker::DefaultWordListPath())) {
        err << checker.Problem() << '\n';
        return Failure;
    }
    ProjectSession session(err);
    if (!session.Inspect(parsed->project))
        return Failure;
    const CmDecisionManager& decisions = session.Decisions();
    const QList<SpellingFinding> findings = ProjectSpelling::CheckAll(decisions, checker);
    for (const SpellingFinding& finding : findings)
        out << ProjectSpelling::Location(decisions, finding) << ": " << finding.word << '\n';
    return findings.isEmpty() ? Success : Failure;
}
