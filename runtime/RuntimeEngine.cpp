#include "runtime/RuntimeEngine.h"

#include "base/ResourceStrings.h"
#include "lang/BlockLine.h"
#include "lang/ExpressionParser.h"
#include "lang/RecordFields.h"
#include "runtime/ExpressionEvaluator.h"
#include "runtime/ItemExpression.h"
#include "runtime/RuntimeFault.h"

#include <QFile>

#include <algorithm>

namespace {

[[noreturn]] void fault(const QString& message)
{
    throw RuntimeFault{message};
}

[[noreturn]] void fault(int id, const QString& a, const QString& b = QString(), const QString& c = QString())
{
    QString text = LoadResString(id).arg(a);
    if (!b.isNull())
        text = text.arg(b);
    if (!c.isNull())
        text = text.arg(c);
    throw RuntimeFault{text};
}

[[noreturn]] void unknownControl(const QString& reference)
{
    fault(LoadResString(12504) + reference);
}

constexpr int ChooseAnswerId = 32571;
constexpr int FirstKeyword = BlockLine::Call;
constexpr int LastKeyword = BlockLine::Submit;

int keywordOf(const QString& line)
{
    const QString keyword = BlockLine::ActionKeyword(line);
    for (int id = FirstKeyword; id <= LastKeyword; ++id)
        if (keyword.compare(BlockLine::KeywordText(static_cast<BlockLine::Keyword>(id)), Qt::CaseInsensitive) == 0)
            return id;
    return 0;
}

// Splits at the separator where it stands outside quotes, [[ ]], << >> and parentheses.
QStringList splitTopLevel(const QString& text, QChar separator, int maxParts = -1)
{
    QStringList parts;
    int depth = 0;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == QLatin1Char('(') || c == QLatin1Char('[') || c == QLatin1Char('<')) {
            ++depth;
        } else if (c == QLatin1Char(')') || c == QLatin1Char(']') || c == QLatin1Char('>')) {
            depth = std::max(0, depth - 1);
        } else if (c == separator && depth == 0 && (maxParts < 0 || parts.size() + 1 < maxParts)) {
            parts.append(text.mid(start, i - start).trimmed());
            start = i + 1;
        }
    }
    parts.append(text.mid(start).trimmed());
    return parts;
}

// "Selector : rest" split at the first colon.
std::pair<QString, QString> selectorAndRest(const QString& argument, const QString& line)
{
    const qsizetype colon = argument.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        fault(32518, line, QStringLiteral("SSS_Name:Expression"));
    return {argument.left(colon).trimmed(), argument.mid(colon + 1).trimmed()};
}

ExpressionNode::Ptr parseOrFault(const QString& expression, const QString& line)
{
    ExpressionParseResult parsed = ExpressionParser::parse(expression);
    if (!parsed.ok())
        fault(32516, line, parsed.message);
    return std::move(parsed.root);
}

QString controlReferenceName(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1String("[[")) && trimmed.endsWith(QLatin1String("]]")))
        return trimmed.mid(2, trimmed.size() - 4).trimmed();
    return trimmed;
}

bool isInteger(double value)
{
    return value == std::floor(value);
}

QString rangeText(const NumericRange& range)
{
    const QString low = range.low ? QString::number(*range.low) : QString();
    const QString high = range.high ? QString::number(*range.high) : QString();
    return low + QLatin1Char('-') + high;
}

// Winds a map back over the changes logged since a page was left, the latest first.
template <typename Key, typename Changes>
void undo(QHash<Key, QString>& map, const Changes& changes)
{
    for (auto change = changes.rbegin(); change != changes.rend(); ++change) {
        if (change->previous)
            map.insert(change->key, *change->previous);
        else
            map.remove(change->key);
    }
}

} // namespace

// What expressions see: the run's values, the selectors and, inside !KILL and !SORT, the item
// under test.
class RuntimeEngine::Scope final : public IEvaluationScope {
public:
    explicit Scope(RuntimeEngine& engine) : m_engine(engine) {}

    void setItem(const SelectorTable* table, int item)
    {
        m_table = table;
        m_item = item;
    }

    RuntimeValue controlValue(const QString& reference) override
    {
        const RuntimeControl* control = m_engine.findControl(reference);
        if (!control)
            return foreignValue(reference);
        const QString value = m_engine.value(control->id);
        if (control->isBoolean())
            return RuntimeValue::boolean(RuntimeValue::booleanWord(value).value_or(false));
        if (control->type == RuntimeInterface::MultiList)
            return RuntimeValue::choices(value.split(QLatin1Char('|'), Qt::SkipEmptyParts));
        if (control->isNumeric())
            return RuntimeValue::guess(value);
        return RuntimeValue::text(value);
    }

    RuntimeValue selectorValue(const SelectorReference& reference) override
    {
        const SelectorTable& table = m_engine.selectorFor(reference.selector);
        if (reference.property.isEmpty())
            return RuntimeValue::number(double(table.remainingCount()));
        const int column = table.column(reference.property);
        if (column < 0)
            fault(32513, table.name(), reference.property);
        int item = -1;
        if (reference.item.isEmpty() || reference.item == QLatin1String("-1")) {
            if (m_table == &table) {
                item = m_item;
            } else {
                const QList<int>& remaining = table.remaining();
                if (remaining.isEmpty())
                    return RuntimeValue::text(QString());
                item = remaining.first();
            }
        } else {
            item = table.findItem(reference.item);
            if (item < 0)
                fault(32514, table.name(), reference.item);
        }
        return table.cell(item, column);
    }

    const RuntimeValue& propertyValue(const QString& name) override
    {
        if (!m_table)
            fault(32515, name);
        for (const auto& [known, column] : m_columns)
            if (known == &name)
                return m_table->cell(m_item, column);
        const int column = m_table->column(name);
        if (column < 0)
            fault(32513, m_table->name(), name);
        m_columns.emplace_back(&name, column);
        return m_table->cell(m_item, column);
    }

private:
    RuntimeValue foreignValue(const QString& reference)
    {
        const QString key = reference.trimmed().toCaseFolded();
        if (m_engine.m_foreignValues.contains(key))
            return RuntimeValue::guess(m_engine.m_foreignValues.value(key));
        QString answer = reference.trimmed();
        m_engine.raise(RuntimeEvent::ValueRequest, {reference.trimmed()}, answer);
        if (answer == reference.trimmed() || answer.isEmpty())
            unknownControl(reference.trimmed());
        m_engine.assignForeign(key, answer);
        return RuntimeValue::guess(answer);
    }

    RuntimeEngine& m_engine;
    const SelectorTable* m_table = nullptr;
    int m_item = -1;
    std::vector<std::pair<const QString*, int>> m_columns;
};

// ---- host contract ------------------------------------------------------------------------

QString RuntimeEngine::PageState::read() const
{
    QStringList ids;
    for (const int id : m_engine.m_page)
        ids.append(QString::number(id));
    return ids.join(QLatin1Char('|'));
}

void RuntimeEngine::PageState::setNextControl(int id)
{
    m_engine.m_hostNext = id < 0 ? DefaultDonePage : id;
}

bool RuntimeEngine::FileUtility::copy(const QString& target, const QString& source) const
{
    if (QFile::exists(target) && !QFile::remove(target))
        return false;
    return QFile::copy(source, target);
}

RuntimeEngine::RuntimeEngine() = default;
RuntimeEngine::~RuntimeEngine() = default;

StorageResult RuntimeEngine::load(const CompiledTree& tree)
{
    std::map<int, RuntimeControl> controls;
    QHash<QString, int> byName;
    qsizetype pos = 0;
    int line = 0;
    bool begun = false;
    while (pos < tree.rulesText.size()) {
        ++line;
        const RecordFields::Record record = RecordFields::Read(tree.rulesText, pos);
        if (record.fields.size() == 1 && record.fields.first().trimmed().isEmpty())
            continue;
        if (!begun) {
            if (record.fields.first().trimmed().compare(QLatin1String("BEGIN"), Qt::CaseInsensitive) != 0)
                return StorageResult::failure(StorageErrorKind::Corrupt, LoadResString(32519));
            begun = true;
            continue;
        }
        std::optional<RuntimeControl> control = RuntimeControl::fromFields(record.fields);
        if (!control)
            return StorageResult::failure(StorageErrorKind::Corrupt, LoadResString(32520).arg(line));
        if (controls.count(control->id))
            return StorageResult::failure(StorageErrorKind::Corrupt, LoadResString(32521).arg(control->id));
        if (!control->name.isEmpty())
            byName.insert(control->name.toCaseFolded(), control->id);
        controls.emplace(control->id, std::move(*control));
    }
    if (controls.empty())
        return StorageResult::failure(StorageErrorKind::Corrupt, LoadResString(32522));

    stop();
    m_controls = std::move(controls);
    m_byName = std::move(byName);
    m_selectors.clear();
    m_selectorIndex.clear();
    m_initialMarks.clear();
    for (const CompiledTree::Table& table : tree.tables) {
        m_selectorIndex.insert(table.name.trimmed().toCaseFolded(), static_cast<int>(m_selectors.size()));
        m_selectors.emplace_back(table.name, table.rows);
        m_initialMarks.push_back(m_selectors.back().mark());
    }
    m_stopped = false;
    m_end = RunEnd::None;
    return StorageResult::success();
}

RuntimeEngine::RunValues RuntimeEngine::values() const
{
    RunValues result;
    for (const auto& [id, control] : m_controls)
        result.controls.append({control.displayName(), value(id)});
    for (const SelectorTable& table : m_selectors) {
        QStringList items;
        for (const int item : table.remaining())
            items.append(table.itemName(item));
        result.selectorItems.append({table.name(), items});
    }
    return result;
}

void RuntimeEngine::stop()
{
    if (m_running)
        m_end = RunEnd::Stopped;
    m_running = false;
    m_stopped = true;
}

void RuntimeEngine::requestStartOver()
{
    raise(RuntimeEvent::StartOver);
}

// ---- driving ------------------------------------------------------------------------------

bool RuntimeEngine::start(const QString& reference)
{
    if (m_busy || m_controls.empty())
        return false;
    const std::optional<int> told = m_hostNext;
    resetRun();
    m_hostNext = told;
    return guarded([this, &reference] { advance(startTarget(reference)); });
}

int RuntimeEngine::startTarget(const QString& reference)
{
    const std::optional<int> told = std::exchange(m_hostNext, std::nullopt);
    if (!reference.trimmed().isEmpty()) {
        if (const RuntimeControl* named = findControl(reference))
            return named->id;
        fault(32523, reference.trimmed());
    }
    if (told)
        return *told;
    return m_controls.begin()->first;
}

void RuntimeEngine::resetRun()
{
    m_running = true;
    m_stopped = false;
    m_end = RunEnd::None;
    m_error.clear();
    m_page.clear();
    m_values.clear();
    m_defaults.clear();
    for (const auto& [id, control] : m_controls)
        if (!control.defaultValue.isEmpty())
            m_defaults.insert(id, control.defaultValue);
    m_foreignValues.clear();
    m_earlyFinish = false;
    m_links.clear();
    m_history.clear();
    m_steps = 0;
    m_hostNext.reset();
    m_go.reset();
    m_actions.clear();
    m_passedOver.clear();
    m_lastLeaveRanGo = false;
    for (std::size_t i = 0; i < m_selectors.size(); ++i)
        m_selectors[i].restore(m_initialMarks.at(i));
}

bool RuntimeEngine::onDonePage() const
{
    if (!m_running)
        return false;
    if (m_page.isEmpty())
        return true;
    const RuntimeControl* main = control(m_page.first());
    return main && main->type == RuntimeInterface::Done;
}

const RuntimeControl* RuntimeEngine::control(int id) const
{
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : &found->second;
}

const RuntimeControl* RuntimeEngine::findControl(const QString& reference) const
{
    const QString name = controlReferenceName(reference);
    bool numeric = false;
    const int id = (name.startsWith(QLatin1Char('_')) ? name.mid(1) : name).toInt(&numeric);
    if (numeric)
        return control(id);
    const auto found = m_byName.constFind(name.toCaseFolded());
    return found == m_byName.constEnd() ? nullptr : control(found.value());
}

QList<const RuntimeControl*> RuntimeEngine::controls() const
{
    QList<const RuntimeControl*> result;
    for (const auto& [id, control] : m_controls)
        result.append(&control);
    return result;
}

QString RuntimeEngine::value(int id) const
{
    if (const auto answered = m_values.constFind(id); answered != m_values.constEnd())
        return answered.value();
    const RuntimeControl* owner = control(id);
    const QString fallback = m_defaults.value(id);
    if (!owner)
        return fallback;
    if (owner->isBoolean())
        return RuntimeValue::booleanWord(fallback).value_or(false) ? QStringLiteral("True") : QStringLiteral("False");
    if (fallback.isEmpty())
        return fallback;
    const Normalized normalized = normalize(*owner, fallback);
    return normalized.error.isEmpty() ? normalized.value : fallback;
}

QList<RuntimeEngine::LeftPage> RuntimeEngine::pagesLeft() const
{
    QList<LeftPage> pages;
    pages.reserve(qsizetype(m_history.size()));
    for (const Snapshot& snapshot : m_history)
        pages.append(LeftPage{snapshot.page, snapshot.pageValues});
    return pages;
}

qsizetype RuntimeEngine::historyValues() const
{
    qsizetype count = 0;
    for (const Snapshot& snapshot : m_history)
        count += snapshot.pageValues.size() + qsizetype(snapshot.values.size() + snapshot.defaults.size()
                                                        + snapshot.foreignValues.size());
    return count;
}

void RuntimeEngine::assign(QHash<int, QString>& map, int id, const QString& value)
{
    if (!m_history.empty()) {
        Snapshot& top = m_history.back();
        auto& log = &map == &m_defaults ? top.defaults : top.values;
        const auto found = map.constFind(id);
        log.push_back({id, found == map.constEnd() ? std::nullopt : std::optional(found.value())});
    }
    map.insert(id, value);
}

void RuntimeEngine::assignForeign(const QString& key, const QString& value)
{
    if (!m_history.empty()) {
        const auto found = m_foreignValues.constFind(key);
        m_history.back().foreignValues.push_back(
            {key, found == m_foreignValues.constEnd() ? std::nullopt : std::optional(found.value())});
    }
    m_foreignValues.insert(key, value);
}

std::optional<QString> RuntimeEngine::setAnswer(int id, const QString& answer)
{
    const RuntimeControl* owner = control(id);
    if (!m_running || !owner || !m_page.contains(id))
        return LoadResString(32525).arg(owner ? owner->displayName() : QString::number(id));
    const Normalized normalized = normalize(*owner, answer);
    if (!normalized.error.isEmpty())
        return normalized.error;
    assign(m_values, id, normalized.value);
    return std::nullopt;
}

bool RuntimeEngine::next()
{
    if (m_busy || !m_running)
        return false;
    return guarded([this] { leavePage(true); });
}

bool RuntimeEngine::finish()
{
    if (m_busy || !m_running || !(m_earlyFinish || onDonePage()))
        return false;
    return guarded([this] { leavePage(false); });
}

bool RuntimeEngine::back()
{
    if (m_busy || !canGoBack())
        return false;
    Snapshot snapshot = std::move(m_history.back());
    m_history.pop_back();
    m_page = snapshot.page;
    undo(m_values, snapshot.values);
    undo(m_defaults, snapshot.defaults);
    undo(m_foreignValues, snapshot.foreignValues);
    m_earlyFinish = snapshot.earlyFinish;
    m_links.resize(snapshot.links); // links are only ever added
    for (std::size_t i = 0; i < m_selectors.size(); ++i)
        m_selectors[i].restore(snapshot.marks.at(i));
    m_actions.clear();
    m_passedOver.clear();
    return guarded([this] { raise(RuntimeEvent::PageShown); });
}

const SelectorTable* RuntimeEngine::selector(const QString& name) const
{
    const auto found = m_selectorIndex.constFind(name.trimmed().toCaseFolded());
    return found == m_selectorIndex.constEnd() ? nullptr : &m_selectors.at(std::size_t(found.value()));
}

// ---- events and faults --------------------------------------------------------------------

bool RuntimeEngine::guarded(const std::function<void()>& work)
{
    m_busy = true;
    try {
        work();
    } catch (const RuntimeFault& problem) {
        m_busy = false;
        fail(problem.message);
        return false;
    }
    m_busy = false;
    return m_end != RunEnd::Failed;
}

void RuntimeEngine::raise(int code, const QStringList& arguments, QString& text)
{
    if (m_host && !m_stopped)
        m_host->HandleEvent(code, arguments, text);
}

void RuntimeEngine::raise(int code, const QStringList& arguments)
{
    QString text = arguments.join(QLatin1Char('\t'));
    raise(code, arguments, text);
}

void RuntimeEngine::fail(const QString& message)
{
    m_error = message;
    QString text = message;
    raise(RuntimeEvent::Error, {message}, text);
    endRun(RunEnd::Failed);
}

void RuntimeEngine::endRun(RunEnd end)
{
    if (!m_running)
        return;
    m_running = false;
    m_end = end;
    raise(RuntimeEvent::Closed, {QString::number(int(end))});
}

// ---- pages --------------------------------------------------------------------------------

QString RuntimeEngine::pageValuesText() const
{
    QStringList values;
    for (const int id : m_page) {
        QString text = value(id);
        values.append(text.replace(QLatin1Char('|'), QLatin1Char(',')));
    }
    return values.join(QLatin1Char('|'));
}

void RuntimeEngine::leavePage(bool moveOn)
{
    const bool done = onDonePage();
    m_actions.clear();
    m_passedOver.clear();
    m_unreported.clear();
    m_go.reset();
    m_hostNext.reset();
    if (!done) {
        Snapshot snapshot{m_page, {}, m_earlyFinish, {}, m_links.size(), {}, {}, {}};
        snapshot.pageValues.reserve(m_page.size());
        for (const int id : std::as_const(m_page))
            snapshot.pageValues.append(value(id));
        snapshot.marks.reserve(m_selectors.size());
        for (const SelectorTable& table : m_selectors)
            snapshot.marks.push_back(table.mark());
        m_history.push_back(std::move(snapshot));
    }
    QString values = pageValuesText();
    raise(RuntimeEvent::PageLeft, {values}, values);
    if (!m_running)
        return;
    for (const int id : std::as_const(m_page))
        runControlActions(*control(id));
    flushActions();
    m_lastLeaveRanGo = m_go.has_value();
    if (done || !moveOn) {
        endRun(done ? RunEnd::Done : RunEnd::Finished);
        return;
    }
    int target = DefaultDonePage;
    if (m_hostNext)
        target = *m_hostNext;
    else if (m_go)
        target = resolveTarget(*m_go);
    else
        target = nextById(m_page.first());
    advance(target);
}

void RuntimeEngine::advance(int target)
{
    while (m_running) {
        if (++m_steps > m_stepLimit)
            fault(32508, QString::number(m_stepLimit));
        if (target != DefaultDonePage && !control(target))
            target = requestDefinition(QStringLiteral("_%1").arg(target));
        if (target == DefaultDonePage) {
            showPage(DefaultDonePage);
        } else {
            const RuntimeControl& next = *control(target);
            if (next.needsOptions() && next.options.isEmpty()) {
                // Nothing to show: its pre-actions run and the run goes on.
                m_passedOver.append(PassedOver{target, m_actions.size()});
                m_go.reset();
                if (m_trace)
                    m_trace->controlLeft(next);
                runActions(next.preActions, Source{&next, PreActionName});
                flushActions();
                target = m_go ? resolveTarget(*m_go) : nextById(target);
                continue;
            }
            showPage(target);
        }
        m_hostNext.reset();
        raise(RuntimeEvent::PageShown);
        if (!m_hostNext)
            return;
        target = *std::exchange(m_hostNext, std::nullopt);
    }
}

void RuntimeEngine::showPage(int id)
{
    m_page.clear();
    if (id == DefaultDonePage)
        return;
    m_page.append(id);
    for (const int displayed : control(id)->displayedIds) {
        const int shown = control(displayed) ? displayed : requestDefinition(QStringLiteral("_%1").arg(displayed));
        if (!m_page.contains(shown))
            m_page.append(shown);
    }
}

int RuntimeEngine::resolveTarget(const QString& reference)
{
    if (const RuntimeControl* known = findControl(reference))
        return known->id;
    return requestDefinition(controlReferenceName(reference));
}

int RuntimeEngine::requestDefinition(const QString& reference)
{
    QString answer = reference;
    raise(RuntimeEvent::DefinitionRequest, {reference}, answer);
    if (answer == reference || answer.trimmed().isEmpty())
        fault(32507, reference);
    qsizetype pos = 0;
    std::optional<RuntimeControl> defined = RuntimeControl::fromFields(RecordFields::Read(answer, pos).fields);
    if (!defined || control(defined->id))
        fault(32507, reference);
    defined->name = reference;
    const int id = defined->id;
    m_byName.insert(reference.toCaseFolded(), id);
    m_controls.emplace(id, std::move(*defined));
    return id;
}

int RuntimeEngine::nextById(int id) const
{
    const auto after = m_controls.upper_bound(id);
    return after == m_controls.end() ? DefaultDonePage : after->first;
}

// ---- actions ------------------------------------------------------------------------------

QList<RuntimeOption> RuntimeEngine::chosenOptions(const RuntimeControl& control) const
{
    const QString current = value(control.id);
    QList<RuntimeOption> chosen;
    if (control.isSelectorList())
        return control.options;
    if (control.isNumeric()) {
        const auto number = RuntimeValue::guess(current).toNumber();
        for (const RuntimeOption& option : control.options) {
            const auto range = NumericRange::parse(option.text);
            if (number && range && range->contains(*number)) {
                chosen.append(option);
                break;
            }
        }
        return chosen;
    }
    if (control.type == RuntimeInterface::MultiList) {
        const QStringList picked = current.split(QLatin1Char('|'), Qt::SkipEmptyParts);
        for (const RuntimeOption& option : control.options)
            if (picked.contains(option.text, Qt::CaseInsensitive))
                chosen.append(option);
        return chosen;
    }
    for (const RuntimeOption& option : control.options) {
        if (option.text.compare(current, Qt::CaseInsensitive) == 0) {
            chosen.append(option);
            break;
        }
    }
    return chosen;
}

void RuntimeEngine::runControlActions(const RuntimeControl& control)
{
    if (m_trace)
        m_trace->controlLeft(control);
    runActions(control.preActions, Source{&control, PreActionName});
    for (const RuntimeOption& option : chosenOptions(control)) {
        if (m_trace)
            m_trace->optionTaken(control, option.text);
        runActions(option.actions, Source{&control, option.text});
    }
}

void RuntimeEngine::runActions(const QStringList& lines, const Source& source)
{
    // One entry per open !IF: whether the branch runs, and whether a branch of it already ran.
    struct Branch {
        bool outerActive;
        bool taken;
        bool active;
    };
    std::vector<Branch> blocks;
    const auto active = [&blocks] { return blocks.empty() || blocks.back().active; };
    const auto condition = [this](const QString& line) {
        const ExpressionNode::Ptr test = parseOrFault(BlockLine::ActionArgument(line), line);
        Scope scope(*this);
        return ExpressionEvaluator(scope).test(*test);
    };
    const auto traced = [this, &source](qsizetype index) {
        if (m_trace)
            m_trace->branchTaken(*source.control, source.option, int(index));
    };
    for (qsizetype index = 0; index < lines.size(); ++index) {
        const QString& line = lines.at(index);
        const int keyword = keywordOf(line);
        switch (keyword) {
        case BlockLine::If: {
            const bool outer = active();
            const bool holds = outer && condition(line);
            blocks.push_back({outer, holds, holds});
            if (holds)
                traced(index);
            break;
        }
        case BlockLine::ElseIf: {
            if (blocks.empty())
                fault(32517, line);
            Branch& block = blocks.back();
            block.active = block.outerActive && !block.taken && condition(line);
            block.taken = block.taken || block.active;
            if (block.active)
                traced(index);
            break;
        }
        case BlockLine::Else: {
            if (blocks.empty())
                fault(32517, line);
            Branch& block = blocks.back();
            block.active = block.outerActive && !block.taken;
            block.taken = true;
            if (block.active)
                traced(index);
            break;
        }
        case BlockLine::EndIf:
            if (blocks.empty())
                fault(32517, line);
            if (blocks.back().outerActive && !blocks.back().taken)
                traced(index);
            blocks.pop_back();
            break;
        default:
            if (active())
                runAction(line, keyword, source);
            break;
        }
    }
}

void RuntimeEngine::runAction(const QString& line, int keyword, const Source& source)
{
    const QString argument = BlockLine::ActionArgument(line).trimmed();
    switch (keyword) {
    case BlockLine::Go:
        if (argument.isEmpty())
            fault(32518, line, QStringLiteral("!GO Decision_Name"));
        m_go = argument;
        record(source, line);
        break;
    case BlockLine::Set:
    case BlockLine::Default:
        runSet(argument, keyword == BlockLine::Default, source, line);
        break;
    case BlockLine::Kill:
        runKill(argument, source, line);
        break;
    case BlockLine::Sort:
        runSort(argument, source, line);
        break;
    case BlockLine::EarlyFinish: {
        const auto on = argument.compare(QLatin1String("On"), Qt::CaseInsensitive) == 0 ? std::optional(true)
                        : argument.compare(QLatin1String("Off"), Qt::CaseInsensitive) == 0
                            ? std::optional(false)
                            : RuntimeValue::booleanWord(argument);
        if (!on)
            fault(32527, line);
        m_earlyFinish = *on;
        record(source, line);
        break;
    }
    case BlockLine::Call: {
        QString message = argument;
        record(source, line);
        raise(RuntimeEvent::Call, {argument}, message);
        break;
    }
    case BlockLine::Jump:
    case BlockLine::JumpN:
    case BlockLine::Submit:
        m_links.append(line.trimmed());
        record(source, line, LoadResString(32528));
        break;
    case BlockLine::Noop:
        record(source, line);
        break;
    default:
        fault(32506, line);
    }
}

void RuntimeEngine::record(const Source& source, const QString& line, const QString& note)
{
    m_actions.append(ExecutedAction{source.control->displayName(), source.option, line, note});
    if (m_mode == Mode::StepThrough)
        raise(RuntimeEvent::ActionsRun, {line});
    else
        m_unreported.append(line);
}

void RuntimeEngine::flushActions()
{
    if (m_unreported.isEmpty())
        return;
    raise(RuntimeEvent::ActionsRun, std::exchange(m_unreported, {}));
}

SelectorTable& RuntimeEngine::selectorFor(const QString& name)
{
    const auto found = m_selectorIndex.constFind(name.trimmed().toCaseFolded());
    if (found == m_selectorIndex.constEnd())
        fault(32509, name.trimmed());
    return m_selectors.at(std::size_t(found.value()));
}

QString RuntimeEngine::valueText(const QString& expression)
{
    const QString trimmed = expression.trimmed();
    ExpressionParseResult parsed = ExpressionParser::parse(trimmed);
    // A bare word or an unquoted phrase is the text itself.
    if (!parsed.ok() || parsed.root->kind() == ExpressionKind::Property)
        return trimmed;
    Scope scope(*this);
    return ExpressionEvaluator(scope).evaluate(*parsed.root).toText();
}

void RuntimeEngine::runSet(const QString& argument, bool asDefault, const Source& source, const QString& line)
{
    const qsizetype closing = argument.startsWith(QLatin1String("[[")) ? argument.indexOf(QLatin1String("]]")) : 0;
    const qsizetype equals = argument.indexOf(QLatin1Char('='), std::max<qsizetype>(closing, 0));
    if (equals <= 0)
        fault(32518, line, QStringLiteral("[[Decision_Name]]=Value"));
    const QString reference = controlReferenceName(argument.left(equals));
    const RuntimeControl* target = findControl(reference);
    if (!target)
        unknownControl(reference);
    const QString given = valueText(argument.mid(equals + 1));
    const Normalized normalized = normalize(*target, given);
    if (!normalized.error.isEmpty())
        fault(32524, line, normalized.error);
    assign(asDefault ? m_defaults : m_values, target->id, normalized.value);
    record(source, line, LoadResString(32529).arg(target->displayName(), normalized.value));
}

void RuntimeEngine::runKill(const QString& argument, const Source& source, const QString& line)
{
    const auto [name, expression] = selectorAndRest(argument, line);
    SelectorTable& table = selectorFor(name);
    auto parsed = m_killTests.find(expression);
    if (parsed == m_killTests.end())
        parsed = m_killTests.emplace(expression, parseOrFault(expression, line)).first;
    Scope scope(*this);
    ItemExpression test(*parsed->second, table, scope);
    const SelectorRemoval reason{-1, source.control->displayName(), source.option, line.trimmed()};
    // A selector without items asks nothing of the constant, as a pass over no items would.
    const std::optional<CellComparison> comparison = table.remainingCount() > 0 ? test.comparison() : std::nullopt;
    const int removed = table.removeWhere(
        [&](int item) {
            scope.setItem(&table, item);
            return test.test(item);
        },
        reason, comparison).removed;
    record(source, line, LoadResString(32530).arg(removed).arg(table.remainingCount()));
}

void RuntimeEngine::runSort(const QString& argument, const Source& source, const QString& line)
{
    const auto [name, rest] = selectorAndRest(argument, line);
    SelectorTable& table = selectorFor(name);
    const QStringList halves = splitTopLevel(rest, QLatin1Char(';'), 2);
    std::vector<ExpressionNode::Ptr> keys;
    for (const QString& key : splitTopLevel(halves.first(), QLatin1Char(',')))
        keys.push_back(parseOrFault(key, line));
    std::vector<bool> descending(keys.size(), false);
    if (halves.size() > 1) {
        const QStringList flags = splitTopLevel(halves.at(1), QLatin1Char(','));
        for (qsizetype i = 0; i < flags.size() && i < qsizetype(keys.size()); ++i) {
            const QString& flag = flags.at(i);
            if (flag.isEmpty())
                continue;
            if (flag.compare(LoadResString(11102), Qt::CaseInsensitive) == 0)
                descending[std::size_t(i)] = true;
            else if (flag.compare(LoadResString(11101), Qt::CaseInsensitive) == 0)
                descending[std::size_t(i)] = false;
            else if (const auto word = RuntimeValue::booleanWord(flag))
                descending[std::size_t(i)] = *word;
            else
                fault(32526, flag);
        }
    }
    // Each key is evaluated once per item, then the items are ordered by those values.
    bool cellsOnly = true;
    for (const auto& key : keys)
        key->visit([&cellsOnly](const ExpressionNode& part) {
            cellsOnly = cellsOnly && part.kind() != ExpressionKind::ControlReference
                        && part.kind() != ExpressionKind::SelectorReference;
        });
    const QString signature = cellsOnly ? rest : QString();
    if (!signature.isEmpty() && table.sortedBy() == signature) {
        record(source, line);
        return;
    }
    // A bare property key is read from the table where it stands; any other key is worked out
    // once per item and kept.
    const QList<int> items = table.remaining();
    const std::size_t keyCount = keys.size();
    std::vector<int> columns;
    for (const auto& key : keys) {
        const int column = key->kind() == ExpressionKind::Property ? table.column(key->text()) : -1;
        if (key->kind() == ExpressionKind::Property && column < 0)
            fault(32513, table.name(), key->text());
        columns.push_back(column);
    }
    std::vector<RuntimeValue> computed;
    computed.reserve(std::size_t(items.size()) * keyCount);
    std::vector<const RuntimeValue*> values;
    values.reserve(std::size_t(items.size()) * keyCount);
    Scope scope(*this);
    std::vector<ItemExpression> expressions;
    expressions.reserve(keyCount);
    for (const auto& key : keys)
        expressions.emplace_back(*key, table, scope);
    for (const int item : items) {
        scope.setItem(&table, item);
        for (std::size_t k = 0; k < keyCount; ++k) {
            if (columns[k] >= 0) {
                values.push_back(&table.cell(item, columns[k]));
            } else {
                computed.push_back(expressions[k].value(item));
                values.push_back(&computed.back());
            }
        }
    }
    const auto before = [&values, &descending, keyCount](std::size_t a, std::size_t b) {
        for (std::size_t k = 0; k < keyCount; ++k) {
            const int order = values[a * keyCount + k]->compare(*values[b * keyCount + k]);
            if (order != 0)
                return descending[k] ? order > 0 : order < 0;
        }
        return false;
    };
    std::vector<std::size_t> positions(std::size_t(items.size()));
    for (std::size_t i = 0; i < positions.size(); ++i)
        positions[i] = i;
    if (!std::is_sorted(positions.begin(), positions.end(), before)) {
        std::stable_sort(positions.begin(), positions.end(), before);
        QList<int> sorted;
        sorted.reserve(items.size());
        for (const std::size_t position : positions)
            sorted.append(items.at(qsizetype(position)));
        table.reorder(sorted);
    }
    table.setSortedBy(signature);
    record(source, line);
}

RuntimeEngine::Normalized RuntimeEngine::normalize(const RuntimeControl& control, const QString& answer) const
{
    const QString given = answer.trimmed();
    const auto refuse = [&control, &given] {
        return Normalized{QString(), LoadResString(32510).arg(control.displayName(), given)};
    };
    if (!control.takesAnswer())
        return Normalized{QString(), LoadResString(32512).arg(control.displayName())};
    if (control.isBoolean()) {
        const auto word = RuntimeValue::booleanWord(given);
        return word ? Normalized{*word ? QStringLiteral("True") : QStringLiteral("False"), {}} : refuse();
    }
    if (control.isNumeric()) {
        bool ok = false;
        const double number = given.toDouble(&ok);
        if (!ok || (control.type != RuntimeInterface::RealNumBox && !isInteger(number)))
            return refuse();
        const NumericRange limits = control.limits();
        if (!limits.contains(number))
            return Normalized{QString(), LoadResString(32511).arg(control.displayName(), given, rangeText(limits))};
        return Normalized{given, {}};
    }
    if (control.type == RuntimeInterface::StringBox || control.type == RuntimeInterface::TextArea)
        return Normalized{answer, {}};
    if (control.isSelectorList()) {
        if (given.isEmpty() || control.options.isEmpty())
            return Normalized{given, {}};
        for (const RuntimeOption& option : control.options) {
            const SelectorTable* table = selector(option.text);
            const int item = table ? table->findItem(given) : -1;
            if (item >= 0 && !table->isRemoved(item))
                return Normalized{table->itemName(item), {}};
        }
        return refuse();
    }
    if (control.options.isEmpty())
        return Normalized{given, {}};
    const auto optionText = [&control](const QString& text) -> std::optional<QString> {
        for (const RuntimeOption& option : control.options)
            if (option.text.compare(text.trimmed(), Qt::CaseInsensitive) == 0)
                return option.text;
        return std::nullopt;
    };
    if (control.type == RuntimeInterface::MultiList) {
        QStringList picked;
        for (const QString& part : given.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
            const auto text = optionText(part);
            if (!text)
                return Normalized{QString(), LoadResString(32510).arg(control.displayName(), part.trimmed())};
            picked.append(*text);
        }
        QStringList inOrder;
        for (const RuntimeOption& option : control.options)
            if (picked.contains(option.text) && !inOrder.contains(option.text))
                inOrder.append(option.text);
        return Normalized{inOrder.join(QLatin1Char('|')), {}};
    }
    if (given.isEmpty() && control.needsChoice())
        return Normalized{QString(), LoadResString(ChooseAnswerId).arg(control.captionOrName())};
    const auto text = optionText(given);
    return text ? Normalized{*text, {}} : refuse();
}
