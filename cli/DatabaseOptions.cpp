#include "cli/DatabaseOptions.h"

#include "base/ResourceStrings.h"
#include "cli/ProjectSession.h"
#include "database/PostgresResultsStore.h"
#include "web/ResultsStore.h"

#include <QFileInfo>
#include <QTextStream>
#include <QUrl>

namespace {
constexpr int BadAddressId = 37070;
} // namespace

std::optional<bool> DatabaseOptions::take(const QStringList& args, qsizetype& i, bool withRefresh)
{
    const QString& arg = args.at(i);
    const bool known = arg == QLatin1String("--database-password-env") || arg == QLatin1String("--max-rows")
                       || arg == QLatin1String("--external-settings") || (withRefresh && arg == QLatin1String("--refresh"));
    if (!known)
        return std::nullopt;
    if (i + 1 >= args.size())
        return false;
    const QString& value = args.at(++i);
    bool ok = true;
    if (arg == QLatin1String("--database-password-env")) {
        ok = !value.isEmpty() && external.passwordEnv.isEmpty();
        external.passwordEnv = value;
    } else if (arg == QLatin1String("--external-settings")) {
        ok = !value.isEmpty() && settingsProject.isEmpty();
        settingsProject = value;
    } else if (arg == QLatin1String("--max-rows")) {
        external.maxRows = value.toLongLong(&ok);
        ok = ok && external.maxRows > 0;
    } else {
        refreshSeconds = value.toInt(&ok);
        ok = ok && refreshSeconds > 0;
    }
    return ok;
}

bool DatabaseOptions::readTables(StorageDocument& project, const QString& projectPath,
                                 QList<ExternalSelectorSettings>& settings, QList<CompiledTree::Table>& tables,
                                 QTextStream& err) const
{
    ExternalTables::Options options = external;
    options.baseFolder = QFileInfo(projectPath).absolutePath();
    QString error;
    if (!ExternalTables::settingsIn(project, settings, error) || !ExternalTables::readAll(settings, options, tables, error)) {
        err << error << '\n';
        return false;
    }
    return true;
}

bool DatabaseOptions::readSettingsProject(QList<ExternalSelectorSettings>& settings, QList<CompiledTree::Table>& tables,
                                          QTextStream& err) const
{
    if (settingsProject.isEmpty())
        return true;
    ProjectSession session(err);
    return session.Inspect(settingsProject)
           && readTables(session.Document().Storage(), settingsProject, settings, tables, err);
}

std::function<StorageResult(QList<CompiledTree::Table>&)> DatabaseOptions::reader(const QList<ExternalSelectorSettings>& settings,
                                                                                  const QString& projectPath) const
{
    ExternalTables::Options options = external;
    options.baseFolder = QFileInfo(projectPath).absolutePath();
    return [settings, options](QList<CompiledTree::Table>& read) {
        QString error;
        return ExternalTables::readAll(settings, options, read, error) ? StorageResult::success()
                                                                       : StorageResult::failure(StorageErrorKind::Io, error);
    };
}

bool DatabaseOptions::isPostgresAddress(const QString& results)
{
    return results.startsWith(QLatin1String("postgresql://")) || results.startsWith(QLatin1String("postgres://"));
}

std::unique_ptr<ResultsStore> DatabaseOptions::openResults(const QString& results, bool writable, QString& error)
{
    if (!isPostgresAddress(results))
        return writable ? ResultsStore::open(results, error) : ResultsStore::openForReading(results, error);
    SqlSettings settings;
    if (!SqlSettings::fromUrl(results, settings)) {
        error = LoadResString(BadAddressId).arg(QUrl(results).toString(QUrl::RemovePassword | QUrl::RemoveQuery));
        return nullptr;
    }
    return PostgresResultsStore::open(settings, error);
}
