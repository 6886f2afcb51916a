#include "cli/ServeCommand.h"

#include "base/ResourceStrings.h"
#include "cli/DatabaseOptions.h"
#include "cli/ProjectSession.h"
#include "compile/SharedCompilePass.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "persist/FileBytes.h"
#include "persist/StorageDocument.h"
#include "web/ResultsStore.h"
#include "web/WebListener.h"
#include "web/WebSite.h"
#include "web/WebTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTextStream>

#include <memory>
#include <mutex>
#include <optional>

namespace {
constexpr int NameId = 35040;
constexpr int SummaryId = 35041;
constexpr int UsageId = 35042;
constexpr int WrongArgumentsId = 35043;
constexpr int BadAddressId = 35044;
constexpr int BadSecretId = 35045;
constexpr int BadResultsId = 35046;
constexpr int BadImagesId = 35047;
constexpr int TreeUnreadableId = 35048;
constexpr int CompileFailedId = 35049;
constexpr int NoStoreId = 35054;
constexpr qsizetype ShortestSecret = 16;

struct ServeArguments {
    QStringList trees;
    QString listen;
    QString images;
    QString secretFile;
    QString results;
    DatabaseOptions database;
};

std::optional<ServeArguments> parseArguments(const QStringList& args)
{
    ServeArguments parsed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        QString* option = nullptr;
        if (const std::optional<bool> taken = parsed.database.take(args, i, true)) {
            if (!*taken)
                return std::nullopt;
            continue;
        }
        if (arg == QLatin1String("--listen"))
            option = &parsed.listen;
        else if (arg == QLatin1String("--images"))
            option = &parsed.images;
        else if (arg == QLatin1String("--secret-file"))
            option = &parsed.secretFile;
        else if (arg == QLatin1String("--results"))
            option = &parsed.results;
        if (option) {
            // An empty value would silently mean the option was not given.
            if (!hasValue || !option->isEmpty() || args.at(i + 1).isEmpty())
                return std::nullopt;
            *option = args.at(++i);
        } else if (arg.startsWith(QLatin1String("--"))) {
            return std::nullopt;
        } else {
            parsed.trees.append(arg);
        }
    }
    if (parsed.trees.isEmpty())
        return std::nullopt;
    return parsed;
}

// "ADDRESS:PORT", "[IPV6]:PORT"; nothing when the port is not 1 to 65535.
std::optional<std::pair<QString, int>> parseListen(const QString& text)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return std::nullopt;
    QString host = text.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    bool ok = false;
    const int port = text.mid(colon + 1).toInt(&ok);
    if (!ok || port < 1 || port > 65535 || host.isEmpty())
        return std::nullopt;
    return std::pair{host, port};
}

QString wizardTitle(const CmDocument& document)
{
    QString title;
    document.Storage().properties().value(QStringLiteral("Title"), title);
    return title.isEmpty() ? document.Name() : title;
}
} // namespace

QString ServeCommand::Name() const
{
    return LoadResString(NameId);
}

QString ServeCommand::Summary() const
{
    return LoadResString(SummaryId);
}

QString ServeCommand::Usage() const
{
    return LoadResString(UsageId);
}

StorageResult ServeCommand::readTree(const QString& path, const DatabaseOptions& database, WebTree& tree)
{
    if (QFileInfo(path).suffix().compare(QLatin1String("kvp"), Qt::CaseInsensitive) == 0)
        return readProject(path, database, tree);
    if (const StorageResult read = WebTree::readWebFile(path, tree); !read)
        return read;
    // A web tree file holds no external selector: their settings come from a project.
    QString said;
    QTextStream reasons(&said);
    QList<ExternalSelectorSettings> external;
    QList<CompiledTree::Table> tables;
    if (!database.readSettingsProject(external, tables, reasons)) {
        reasons.flush();
        return StorageResult::failure(StorageErrorKind::Refused, said.trimmed());
    }
    tree.compiled.tables += tables;
    if (!external.isEmpty()) {
        tree.tableRefresh = std::chrono::seconds(database.refreshSeconds);
        tree.externalTables = database.reader(external, database.settingsProject);
    }
    return StorageResult::success();
}

StorageResult ServeCommand::readProject(const QString& path, const DatabaseOptions& database, WebTree& tree)
{
    QString said;
    QTextStream reasons(&said);
    ProjectSession session(reasons);
    if (!session.Inspect(path)) {
        reasons.flush();
        return StorageResult::failure(StorageErrorKind::Refused, said.trimmed());
    }
    const SharedCompilePass::CompiledTree compiled = SharedCompilePass::CompileInMemory(session.Decisions(), session.Document());
    if (!compiled.document)
        return StorageResult::failure(StorageErrorKind::Refused,
                                      compiled.log.trimmed() + QLatin1Char('\n') + LoadResString(CompileFailedId).arg(path, compiled.written.message));
    if (const StorageResult read = CompiledTree::read(*compiled.document, tree.compiled); !read)
        return read;
    // A database that is down now refuses the tree; later the last good tables keep serving.
    QList<ExternalSelectorSettings> external;
    QList<CompiledTree::Table> tables;
    if (!database.readTables(session.Document().Storage(), path, external, tables, reasons)) {
        reasons.flush();
        return StorageResult::failure(StorageErrorKind::Refused, said.trimmed());
    }
    tree.compiled.tables += tables;
    if (!external.isEmpty()) {
        tree.tableRefresh = std::chrono::seconds(database.refreshSeconds);
        tree.externalTables = database.reader(external, path);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return StorageResult::failure(StorageErrorKind::Io, file.errorString());
    tree.path = path;
    tree.name = WebTree::nameFor(path);
    tree.version = WebTree::versionOf(file.readAll());
    const CmDocument& document = session.Document();
    tree.title = wizardTitle(document);
    const CmDecisionManager& decisions = session.Decisions();
    for (int i = 1; i <= decisions.Count(); ++i) {
        const CmDecisionItem* decision = decisions.ItemByIndex(i);
        if (decision && !decision->strID().isEmpty() && !decision->kvwHelpID().trimmed().isEmpty())
            tree.help.insert(decision->strID().trimmed().toCaseFolded(), decision->kvwHelpID().trimmed());
    }
    const QString templatePath = document.WebSettings().Template.trimmed();
    if (templatePath.isEmpty())
        return StorageResult::success();
    return WebTree::readTemplate(templatePath, path, tree.templateHtml);
}

int ServeCommand::execute(const QStringList& args, QTextStream& out, QTextStream& err)
{
    Q_UNUSED(out)
    const std::optional<ServeArguments> parsed = parseArguments(args);
    if (!parsed)
        return usageError(LoadResString(WrongArgumentsId), err);
    const QString listenText = parsed->listen.isEmpty() ? QStringLiteral("127.0.0.1:8080") : parsed->listen;
    const std::optional<std::pair<QString, int>> listen = parseListen(listenText);
    if (!listen)
        return usageError(LoadResString(BadAddressId).arg(listenText), err);
    if (!parsed->images.isEmpty() && !QFileInfo(parsed->images).isDir()) {
        err << LoadResString(BadImagesId).arg(parsed->images) << '\n';
        return Failure;
    }
    // A tree that is not there is named before anything is opened or made beside it.
    for (const QString& path : parsed->trees) {
        if (const StorageResult readable = FileBytes::checkInput(path); !readable) {
            err << LoadResString(TreeUnreadableId).arg(path, readable.message) << '\n';
            return Failure;
        }
    }
    QString resultsPath = QFileInfo(parsed->trees.first()).absoluteDir().filePath(QStringLiteral("results.sqlite"));
    if (DatabaseOptions::isPostgresAddress(parsed->results)) {
        resultsPath = parsed->results;
    } else if (!parsed->results.isEmpty()) {
        if (!parsed->results.startsWith(QLatin1String("sqlite:")) || parsed->results.size() <= 7)
            return usageError(LoadResString(BadResultsId).arg(parsed->results), err);
        resultsPath = parsed->results.mid(7);
    }

    QString problem;
    std::unique_ptr<ResultsStore> results = DatabaseOptions::openResults(resultsPath, true, problem);
    if (!results)
        err << problem << '\n';
    QByteArray key;
    if (!parsed->secretFile.isEmpty()) {
        // Read as any named input: a pipe or a device there is refused, not waited on.
        if (const StorageResult read = FileBytes::read(parsed->secretFile, key, FileBytes::Input::Secret); !read) {
            err << read.message << '\n';
            return Failure;
        }
        key = key.trimmed();
        if (key.size() < ShortestSecret) {
            err << LoadResString(BadSecretId).arg(parsed->secretFile) << '\n';
            return Failure;
        }
    } else if (results) {
        key = results->secret(problem);
        if (key.isEmpty())
            err << problem << '\n';
    }
    if (key.isEmpty()) {
        err << LoadResString(NoStoreId) << '\n';
        key.resize(32);
        QRandomGenerator::system()->generate(key.begin(), key.end());
    }

    // The server's threads all log through here, one line at a time.
    std::mutex logMutex;
    const WebSite::Log log = [&err, &logMutex](const QString& line) {
        const std::lock_guard lock(logMutex);
        err << line << Qt::endl;
    };
    WebSite site(key, results.get(), log);
    if (!parsed->images.isEmpty())
        site.setImageFolder(QFileInfo(parsed->images).absoluteFilePath());
    for (const QString& path : parsed->trees) {
        const DatabaseOptions& database = parsed->database;
        const WebSite::Loader loader = [&database](const QString& file, WebTree& tree) { return readTree(file, database, tree); };
        if (const StorageResult added = site.add(path, loader); !added) {
            err << LoadResString(TreeUnreadableId).arg(path, added.message) << '\n';
            return Failure;
        }
    }
    err.flush();
    return WebListener::run(site, listen->first, listen->second, log);
}
