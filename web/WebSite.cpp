#include "web/WebSite.h"

#include "base/ResourceStrings.h"
#include "web/HtmlText.h"
#include "web/PageRenderer.h"
#include "web/ResultsStore.h"
#include "web/RunToken.h"
#include "web/WebRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <QUuid>

#include <algorithm>

namespace {
constexpr int DuplicateNameId = 35006;
constexpr int NotFoundId = 35007;
constexpr int NotFoundTitleId = 35008;
constexpr int TreeReloadFailedId = 35009;
constexpr int StartAgainTitleId = 35029;
constexpr int BadTokenId = 35030;
constexpr int OtherTreeId = 35031;
constexpr int OtherVersionId = 35032;
constexpr int RunEndedId = 35033;
constexpr int NoStartId = 35034;
constexpr int AddressRefusedId = 35035;
constexpr int ChooseAnswerId = 32571;
constexpr int DefaultDonePageId = 32536;
constexpr int TablesFailedId = 37030;
constexpr qint64 LargestPicture = 16 * 1024 * 1024;

WebResponse html(int status, const QString& page)
{
    WebResponse response;
    response.status = status;
    response.body = page.toUtf8();
    return response;
}

QByteArray pictureType(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xD8\xFF"))
        return QByteArrayLiteral("image/jpeg");
    if (bytes.startsWith("\x89PNG\r\n\x1A\n"))
        return QByteArrayLiteral("image/png");
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        return QByteArrayLiteral("image/gif");
    if (bytes.startsWith("BM"))
        return QByteArrayLiteral("image/bmp");
    return {};
}

QString pageName(const RuntimeEngine& engine)
{
    const QList<int>& page = engine.page();
    return page.isEmpty() ? LoadResString(DefaultDonePageId) : engine.control(page.first())->displayName();
}

// The address of a !JUMP, !JUMPN or !SUBMIT line, without its quotes and the web notation's mark.
std::pair<QString, QString> linkParts(const QString& line)
{
    const QString trimmed = line.trimmed();
    const qsizetype space = trimmed.indexOf(QLatin1Char(' '));
    QString keyword = (space < 0 ? trimmed : trimmed.left(space)).toUpper();
    QString address = space < 0 ? QString() : trimmed.mid(space + 1).trimmed();
    address.remove(QLatin1String("(stringReturnQuotes)"));
    address = address.trimmed();
    if (address.size() >= 2 && address.startsWith(QLatin1Char('"')) && address.endsWith(QLatin1Char('"')))
        address = address.mid(1, address.size() - 2);
    return {keyword, address};
}

QString startAgainAddress(const WebTree& tree)
{
    return QStringLiteral("/%1/").arg(QString::fromLatin1(QUrl::toPercentEncoding(tree.name)));
}
} // namespace

WebSite::WebSite(QByteArray key, ResultsStore* results, Log log)
    : m_key(std::move(key)), m_results(results), m_log(std::move(log))
{
}

WebSite::~WebSite() = default;

StorageResult WebSite::add(const QString& path, Loader loader)
{
    auto tree = std::make_shared<WebTree>();
    if (const StorageResult read = loader(path, *tree); !read)
        return read;
    const QFileInfo info(path);
    {
        const std::lock_guard lock(m_treesMutex);
        for (const Entry& entry : m_entries)
            if (entry.tree->name.compare(tree->name, Qt::CaseInsensitive) == 0)
                return StorageResult::failure(StorageErrorKind::Refused, LoadResString(DuplicateNameId).arg(path, tree->name));
        m_entries.push_back(Entry{path, std::move(loader), tree, info.lastModified(), info.size(), std::chrono::steady_clock::now(), {}});
    }
    preload(tree);
    return StorageResult::success();
}

void WebSite::refresh()
{
    std::vector<std::pair<std::size_t, Entry>> changed;
    {
        const std::lock_guard lock(m_treesMutex);
        for (std::size_t i = 0; i < m_entries.size(); ++i) {
            const QFileInfo info(m_entries[i].path);
            if (info.exists() && (info.lastModified() != m_entries[i].modified || info.size() != m_entries[i].size))
                changed.push_back({i, Entry{m_entries[i].path, m_entries[i].loader, nullptr, info.lastModified(), info.size(), {}, {}}});
        }
    }
    for (auto& [index, entry] : changed) {
        auto tree = std::make_shared<WebTree>();
        const StorageResult read = entry.loader(entry.path, *tree);
        const std::lock_guard lock(m_treesMutex);
        // Tried once per change of the file; the version that reads keeps being served.
        m_entries[index].modified = entry.modified;
        m_entries[index].size = entry.size;
        if (!read) {
            if (m_log)
                m_log(LoadResString(TreeReloadFailedId).arg(entry.path, read.message));
            continue;
        }
        tree->name = m_entries[index].tree->name;
        m_entries[index].tree = std::move(tree);
        m_entries[index].tablesRead = std::chrono::steady_clock::now();
    }
    refreshTables();
    replenish();
}

void WebSite::replenish()
{
    std::vector<std::shared_ptr<const WebTree>> trees;
    {
        const std::lock_guard lock(m_treesMutex);
        for (const Entry& entry : m_entries)
            trees.push_back(entry.tree);
    }
    for (const std::shared_ptr<const WebTree>& tree : trees) {
        {
            const std::lock_guard lock(m_cacheMutex);
            const bool spared = std::any_of(m_spares.cbegin(), m_spares.cend(), [&tree](const Cached& spare) { return spare.tree == tree; });
            // A spare the limit would drop at once is not loaded, or it would be loaded again
            // on every round.
            if (spared || m_keptWeight + weightOf(*tree) > KeptItems)
                continue;
        }
        preload(tree);
    }
}

void WebSite::refreshTables()
{
    const auto now = std::chrono::steady_clock::now();
    std::vector<std::shared_ptr<const WebTree>> due;
    {
        const std::lock_guard lock(m_treesMutex);
        for (const Entry& entry : m_entries)
            if (entry.tree->externalTables && now - entry.tablesRead >= entry.tree->tableRefresh)
                due.push_back(entry.tree);
    }
    for (const std::shared_ptr<const WebTree>& old : due) {
        QList<CompiledTree::Table> tables;
        const StorageResult read = old->externalTables(tables);
        const std::lock_guard lock(m_treesMutex);
        const auto entry = std::find_if(m_entries.begin(), m_entries.end(), [&old](const Entry& e) { return e.tree == old; });
        if (entry == m_entries.end())
            continue; // replaced meanwhile by a new version of its file
        entry->tablesRead = now;
        if (!read) {
            if (m_log && now - entry->failureLogged >= FailureLogInterval) {
                m_log(LoadResString(TablesFailedId).arg(old->name, read.message));
                entry->failureLogged = now;
            }
            continue;
        }
        // The same version on fresh tables: runs under way go on with the current items.
        auto tree = std::make_shared<WebTree>(*old);
        for (CompiledTree::Table& table : tables) {
            const auto same = std::find_if(tree->compiled.tables.begin(), tree->compiled.tables.end(),
                                           [&table](const CompiledTree::Table& t) { return t.name == table.name; });
            if (same == tree->compiled.tables.end())
                tree->compiled.tables.append(std::move(table));
            else
                *same = std::move(table);
        }
        entry->tree = std::move(tree);
    }
}

QStringList WebSite::names() const
{
    const std::lock_guard lock(m_treesMutex);
    QStringList names;
    for (const Entry& entry : m_entries)
        names.append(entry.tree->name);
    return names;
}

std::shared_ptr<const WebTree> WebSite::tree(const QString& name) const
{
    const std::lock_guard lock(m_treesMutex);
    for (const Entry& entry : m_entries)
        if (entry.tree->name == name)
            return entry.tree;
    return nullptr;
}

WebResponse WebSite::handle(const WebRequest& request)
{
    const QString& path = request.path;
    if (request.method == "GET" && path == QLatin1String("/")) {
        QList<std::pair<QString, QString>> trees;
        {
            const std::lock_guard lock(m_treesMutex);
            for (const Entry& entry : m_entries)
                trees.append({entry.tree->name, entry.tree->title});
        }
        return html(200, PageRenderer::treeList(trees));
    }
    if (request.method == "GET" && path == PageRenderer::StylePath) {
        WebResponse response;
        response.contentType = QByteArrayLiteral("text/css; charset=utf-8");
        response.body = PageRenderer::styleSheet();
        response.headers.append({QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("max-age=3600")});
        return response;
    }
    const QStringList parts = path.mid(1).split(QLatin1Char('/'));
    const std::shared_ptr<const WebTree> served = parts.isEmpty() ? nullptr : tree(parts.first());
    if (served && parts.size() == 1) {
        WebResponse response;
        response.status = 301;
        response.headers.append({QByteArrayLiteral("Location"), startAgainAddress(*served).toUtf8()});
        return response;
    }
    if (served && parts.size() == 2 && parts.at(1).isEmpty()) {
        if (request.method == "POST")
            return step(served, request);
        return startRun(served, request);
    }
    if (served && parts.size() == 3 && parts.at(1) == QLatin1String("images") && request.method == "GET")
        return picture(*served, parts.at(2));
    return html(404, PageRenderer::messagePage(LoadResString(NotFoundTitleId), LoadResString(NotFoundId), QStringLiteral("/")));
}

WebResponse WebSite::startRun(const std::shared_ptr<const WebTree>& tree, const WebRequest& request)
{
    RunState state;
    state.tree = tree->name;
    state.version = tree->version;
    state.run = QUuid::createUuid().toString(QUuid::WithoutBraces);
    // A run starts where the author's tree starts: a browser choosing another page could pass
    // over the pages before it.
    if (request.hasField(QStringLiteral("start")))
        return html(400, PageRenderer::messagePage(tree->title, LoadResString(NoStartId).arg(request.field(QStringLiteral("start"))),
                                                   startAgainAddress(*tree)));
    std::unique_ptr<WebRun> run = freshRun(tree);
    if (!run->restore(state))
        return html(400, PageRenderer::messagePage(tree->title, LoadResString(NoStartId).arg(state.start), startAgainAddress(*tree)));
    return afterStep(tree, std::move(run), state, {}, {});
}

WebResponse WebSite::mustStartAgain(const WebTree& tree, int messageId) const
{
    return html(400, PageRenderer::messagePage(LoadResString(StartAgainTitleId), LoadResString(messageId), startAgainAddress(tree)));
}

WebResponse WebSite::step(const std::shared_ptr<const WebTree>& tree, const WebRequest& request)
{
    const QByteArray token = request.field(QStringLiteral("token")).toLatin1();
    std::optional<RunState> state = RunToken::verify(token, m_key);
    if (!state)
        return mustStartAgain(*tree, BadTokenId);
    if (state->tree != tree->name)
        return mustStartAgain(*tree, OtherTreeId);
    if (state->version != tree->version)
        return mustStartAgain(*tree, OtherVersionId);

    std::unique_ptr<WebRun> run = takeCached(RunToken::signature(token), *tree);
    if (!run) {
        run = freshRun(tree);
        if (!run->restore(*state))
            return mustStartAgain(*tree, BadTokenId);
    }
    RuntimeEngine& engine = run->engine();
    if (!engine.isRunning())
        return mustStartAgain(*tree, RunEndedId);

    const QString go = request.field(QStringLiteral("go"));
    RunState::Step::Kind kind = RunState::Step::Kind::Next;
    if (go == QLatin1String("back"))
        kind = RunState::Step::Kind::Back;
    else if (go == QLatin1String("finish"))
        kind = RunState::Step::Kind::Finish;

    // The answers as the page's fields give them; what was typed is shown again when refused.
    QHash<int, QString> answers;
    QHash<int, QString> inputs;
    QHash<int, QString> refused;
    if (kind != RunState::Step::Kind::Back) {
        for (const int id : engine.page()) {
            const RuntimeControl& control = *engine.control(id);
            if (!control.takesAnswer())
                continue;
            const QString field = PageRenderer::fieldName(id);
            QString answer;
            if (control.isBoolean()) {
                answer = request.hasField(field) ? QStringLiteral("True") : QStringLiteral("False");
            } else if (control.type == RuntimeInterface::MultiList) {
                QStringList chosen;
                for (const auto& [name, value] : request.fields)
                    if (name == field)
                        chosen.append(value);
                answer = chosen.join(QLatin1Char('|'));
            } else {
                answer = request.field(field);
                bool isIndex = false;
                const int index = answer.toInt(&isIndex);
                if (control.type == RuntimeInterface::Slide && isIndex && index >= 0 && index < control.options.size())
                    answer = control.options.at(index).text;
            }
            inputs.insert(id, answer);
            if (answer.isEmpty() && control.needsChoice())
                refused.insert(id, LoadResString(ChooseAnswerId).arg(control.captionOrName()));
            answers.insert(id, answer);
        }
    }
    WebRun::Result result;
    if (refused.isEmpty())
        result = run->take(kind, answers);
    refused.insert(result.refused);
    if (!refused.isEmpty() || !result.moved) {
        // The run is shown as it was: this engine took some of the answers, so it starts again.
        std::unique_ptr<WebRun> fresh = std::move(run);
        if (!fresh->restore(*state))
            return mustStartAgain(*tree, BadTokenId);
        PageRenderer::RunPage page;
        page.imageFolder = !m_imageFolder.isEmpty();
        page.token = token;
        page.inputs = inputs;
        page.refused = refused;
        const QString body = PageRenderer::runPage(*tree, fresh->engine(), page);
        if (fresh->engine().isRunning())
            keep(RunToken::signature(token), tree, std::move(fresh));
        return html(200, body);
    }
    state->steps.append(result.step);
    return afterStep(tree, std::move(run), *state, result.step, result.links);
}

WebResponse WebSite::afterStep(const std::shared_ptr<const WebTree>& tree, std::unique_ptr<WebRun> run,
                               const RunState& state, const RunState::Step& step, const QStringList& links)
{
    PageRenderer::RunPage page;
    page.imageFolder = !m_imageFolder.isEmpty();
    QString jumpTo;
    for (const QString& line : links) {
        const auto [keyword, address] = linkParts(line);
        if (!HtmlText::isWebAddress(address)) {
            page.notes.append(LoadResString(AddressRefusedId).arg(address));
            continue;
        }
        if (keyword == QLatin1String("!JUMP"))
            jumpTo = address;
        else if (keyword == QLatin1String("!JUMPN"))
            page.newWindowLinks.append(address);
        else if (keyword == QLatin1String("!SUBMIT"))
            page.submitTo = address;
    }
    recordPage(*tree, state, *run, state.steps.isEmpty() ? nullptr : &step);
    const RuntimeEngine& engine = run->engine();
    if (!jumpTo.isEmpty()) {
        WebResponse response;
        response.status = 303;
        response.headers.append({QByteArrayLiteral("Location"), QUrl(jumpTo).toString(QUrl::FullyEncoded).toUtf8()});
        return response;
    }
    if (!engine.isRunning()) {
        WebResponse response = html(200, PageRenderer::endPage(*tree, engine, page));
        spare(tree, std::move(run));
        return response;
    }
    page.token = RunToken::sign(state, m_key);
    WebResponse response = html(200, PageRenderer::runPage(*tree, engine, page));
    keep(RunToken::signature(page.token), tree, std::move(run));
    return response;
}

void WebSite::recordPage(const WebTree& tree, const RunState& state, const WebRun& run, const RunState::Step* step)
{
    if (!m_results)
        return;
    const RuntimeEngine& engine = run.engine();
    ResultEvent event;
    event.run = state.run;
    event.tree = tree.name;
    event.version = tree.version;
    event.at = QDateTime::currentMSecsSinceEpoch();
    if (engine.isRunning()) {
        event.page = pageName(engine);
        QJsonObject values;
        if (step)
            for (const auto& [name, value] : step->answers)
                values.insert(name, value);
        event.values = QString::fromUtf8(QJsonDocument(values).toJson(QJsonDocument::Compact));
    } else {
        event.kind = ResultEvent::Kind::End;
        event.page = engine.page().isEmpty() ? LoadResString(DefaultDonePageId) : pageName(engine);
        const RuntimeEngine::RunValues values = engine.values();
        QJsonObject items;
        for (const auto& [selector, remaining] : values.selectorItems)
            items.insert(selector, QJsonArray::fromStringList(remaining));
        QString end = QStringLiteral("done");
        if (engine.runEnd() == RuntimeEngine::RunEnd::Finished)
            end = QStringLiteral("finished");
        else if (engine.runEnd() == RuntimeEngine::RunEnd::Failed)
            end = QStringLiteral("failed");
        event.values = QString::fromUtf8(
            QJsonDocument(QJsonObject{{QStringLiteral("end"), end}, {QStringLiteral("items"), items}}).toJson(QJsonDocument::Compact));
    }
    QString error;
    // A failing store never breaks the run: the page is served and the failure logged.
    if (!m_results->record(event, error) && m_log)
        m_log(error);
}

WebResponse WebSite::picture(const WebTree& tree, const QString& name) const
{
    const auto notFound = [] {
        return html(404, PageRenderer::messagePage(LoadResString(NotFoundTitleId), LoadResString(NotFoundId), QStringLiteral("/")));
    };
    QByteArray bytes = tree.compiled.pictures.value(name.toCaseFolded());
    if (bytes.isEmpty() && !m_imageFolder.isEmpty()) {
        // Only a plain file directly in the image folder, never a link out of it.
        if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || name.startsWith(QLatin1Char('.')))
            return notFound();
        const QDir folder(m_imageFolder);
        QFileInfo info(folder.filePath(name));
        // A tree names a picture by its exported file without the extension the compiler adds.
        if (!info.exists())
            info = QFileInfo(folder.filePath(name + QStringLiteral(".jpg")));
        if (!info.isFile() || info.isSymLink() || info.size() > LargestPicture
            || QFileInfo(info.canonicalPath()) != QFileInfo(folder.canonicalPath()))
            return notFound();
        QFile file(info.filePath());
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
    }
    const QByteArray type = pictureType(bytes);
    if (type.isEmpty())
        return notFound();
    WebResponse response;
    response.contentType = type;
    response.body = bytes;
    response.headers.append({QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("max-age=300")});
    return response;
}

std::unique_ptr<WebRun> WebSite::takeCached(const QByteArray& signature, const WebTree& tree)
{
    const std::lock_guard lock(m_cacheMutex);
    const auto found = std::find_if(m_cache.begin(), m_cache.end(), [&](const Cached& cached) {
        return cached.signature == signature && cached.tree.get() == &tree;
    });
    if (found == m_cache.end())
        return nullptr;
    std::unique_ptr<WebRun> run = std::move(found->run);
    m_keptWeight -= found->weight;
    m_cache.erase(found);
    return run;
}

void WebSite::keep(const QByteArray& signature, const std::shared_ptr<const WebTree>& tree, std::unique_ptr<WebRun> run)
{
    const std::lock_guard lock(m_cacheMutex);
    const std::size_t weight = weightOf(*tree);
    m_keptWeight += weight;
    m_cache.push_front(Cached{signature, tree, std::move(run), weight});
    trim();
}

std::unique_ptr<WebRun> WebSite::freshRun(const std::shared_ptr<const WebTree>& tree)
{
    {
        const std::lock_guard lock(m_cacheMutex);
        for (auto spare = m_spares.rbegin(); spare != m_spares.rend(); ++spare) {
            if (spare->tree != tree)
                continue;
            std::unique_ptr<WebRun> run = std::move(spare->run);
            m_keptWeight -= spare->weight;
            m_spares.erase(std::next(spare).base());
            return run;
        }
    }
    return std::make_unique<WebRun>(*tree);
}

void WebSite::preload(const std::shared_ptr<const WebTree>& tree)
{
    // Loading the engine (reading every control and selector cell) is most of what a new run
    // costs, and of a step replayed by a copy that never saw the run: it is done here, before a
    // request waits for it.
    spare(tree, std::make_unique<WebRun>(*tree));
}

std::size_t WebSite::spareEngines()
{
    const std::lock_guard lock(m_cacheMutex);
    return m_spares.size();
}

void WebSite::spare(const std::shared_ptr<const WebTree>& tree, std::unique_ptr<WebRun> run)
{
    const std::lock_guard lock(m_cacheMutex);
    const std::size_t weight = weightOf(*tree);
    m_keptWeight += weight;
    m_spares.push_back(Cached{{}, tree, std::move(run), weight});
    trim();
}

void WebSite::trim()
{
    // The oldest spares go first, so spares of a tree no longer served do not stay.
    const auto dropSpare = [this] {
        m_keptWeight -= m_spares.front().weight;
        m_spares.erase(m_spares.begin());
    };
    while (m_keptWeight > KeptItems && !m_spares.empty())
        dropSpare();
    while (m_keptWeight > KeptItems && m_cache.size() > 1) {
        m_keptWeight -= m_cache.back().weight;
        m_cache.pop_back();
    }
    while (m_cache.size() > CachedRuns) {
        m_spares.push_back(std::move(m_cache.back()));
        m_cache.pop_back();
    }
    while (m_spares.size() > SpareRuns)
        dropSpare();
}

std::size_t WebSite::weightOf(const WebTree& tree)
{
    std::size_t items = 1;
    for (const CompiledTree::Table& table : tree.compiled.tables)
        items += static_cast<std::size_t>(table.rows.size());
    return items;
}
