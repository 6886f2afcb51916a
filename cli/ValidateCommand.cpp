#include "cli/ValidateCommand.h"

#include "project/CModel.h"
#include "base/ResourceStrings.h"
#include "cli/ProjectSession.h"
#include "database/ExternalTables.h"
#include "validate/CcValidation.h"

#include <QFileInfo>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace {

constexpr int nameId = 32310;
constexpr int summaryId = 32311;
constexpr int usageId = 32312;
constexpr int unknownArgumentId = 32313;
constexpr int oneProjectId = 32314;
constexpr int missingFieldId = 37050;
constexpr int accessibleFieldsId = 37051;

struct Options {
    QString project;
    bool web = false;
    bool desktop = false;
    bool strict = false;
    bool json = false;
    bool analyze = false;
    bool database = false;
    QString passwordEnv;
};

// Empty when the arguments are sound, otherwise what is wrong with them.
QString parse(const QStringList& args, Options& options)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--database"))
            options.database = true;
        else if (arg == QLatin1String("--database-password-env") && i + 1 < args.size() && options.passwordEnv.isEmpty())
            options.passwordEnv = args.at(++i);
        else if (arg == QLatin1String("--web"))
            options.web = true;
        else if (arg == QLatin1String("--desktop"))
            options.desktop = true;
        else if (arg == QLatin1String("--strict"))
            options.strict = true;
        else if (arg == QLatin1String("--analyze"))
            options.analyze = true;
        else if (arg == QLatin1String("--format=json"))
            options.json = true;
        else if (arg == QLatin1String("--format=text"))
            options.json = false;
        else if (arg.startsWith(QLatin1Char('-')))
            return LoadResString(unknownArgumentId).arg(arg);
        else if (!options.project.isEmpty())
            return LoadResString(oneProjectId);
        else
            options.project = arg;
    }
    return options.project.isEmpty() ? LoadResString(oneProjectId) : QString();
}

// The location is the control's name, ".", and the property with any detail after it; a
// control name never holds a dot.
QJsonObject toJson(const ValidationFindings::Entry& entry)
{
    const qsizetype dot = entry.location.indexOf(QLatin1Char('.'));
    return QJsonObject{
        {QStringLiteral("kind"), entry.isError ? QStringLiteral("error") : QStringLiteral("warning")},
        {QStringLiteral("message"), entry.message},
        {QStringLiteral("control"), dot < 0 ? entry.location : entry.location.left(dot)},
        {QStringLiteral("property"), dot < 0 ? QString() : entry.location.mid(dot + 1)},
        {QStringLiteral("extra"), entry.extra},
    };
}

// Connects to each external selector's database: a table that cannot be read, a field it lacks
// or settings that cannot work are errors located at the selector's accessible fields.
void checkDatabases(StorageDocument& project, const Options& options, ValidationFindings& findings)
{
    const QString location = LoadResString(accessibleFieldsId);
    QList<ExternalSelectorSettings> selectors;
    QString error;
    if (!ExternalTables::settingsIn(project, selectors, error)) {
        findings.AppendToLog(true, error, QString());
        return;
    }
    ExternalTables::Options connect;
    connect.baseFolder = QFileInfo(options.project).absolutePath();
    connect.passwordEnv = options.passwordEnv;
    for (const ExternalSelectorSettings& selector : std::as_const(selectors)) {
        QStringList missing;
        if (!ExternalTables::check(selector, connect, missing, error)) {
            findings.AppendToLog(true, error, location.arg(selector.Name()));
            continue;
        }
        for (const QString& field : std::as_const(missing))
            findings.AppendToLog(true, LoadResString(missingFieldId).arg(selector.table, field), location.arg(selector.Name()));
    }
}

} // namespace

QString ValidateCommand::Name() const
{
    return LoadResString(nameId);
}

QString ValidateCommand::Summary() const
{
    return LoadResString(summaryId);
}

QString ValidateCommand::Usage() const
{
    return LoadResString(usageId);
}

int ValidateCommand::execute(const QStringList& args, QTextStream& out, QTextStream& err)
{
    Options options;
    const QString wrong = parse(args, options);
    if (!wrong.isEmpty())
        return usageError(wrong, err);
    ProjectSession session(err);
    if (!session.Inspect(options.project))
        return Failure;
    CcValidation validation(session.Decisions(), session.Document());
    // Neither runtime named means both, as a project of file type 0 is checked.
    const bool both = options.web == options.desktop;
    validation.setCompileKVW(both || options.web);
    validation.setCompileKVD(both || options.desktop);
    validation.setAnalyzePaths(options.analyze);
    validation.Validate();
    ValidationFindings database;
    if (options.database)
        checkDatabases(session.Document().Storage(), options, database);
    if (options.json) {
        QJsonArray findings;
        for (const ValidationFindings::Entry& entry : validation.Findings().entries())
            findings.append(toJson(entry));
        // A selector's name holds a dot: the property is after the last one.
        for (const ValidationFindings::Entry& entry : database.entries()) {
            QJsonObject found = toJson(entry);
            const qsizetype dot = entry.location.lastIndexOf(QLatin1Char('.'));
            found[QStringLiteral("control")] = entry.location.left(dot);
            found[QStringLiteral("property")] = entry.location.mid(dot + 1);
            findings.append(found);
        }
        out << QJsonDocument(findings).toJson(QJsonDocument::Indented);
    } else {
        out << validation.Log() << database.text();
    }
    const bool failed = validation.Error() || database.hasErrors() || (options.strict && validation.Warning());
    return failed ? Failure : Success;
}
