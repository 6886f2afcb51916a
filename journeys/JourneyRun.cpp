#include "journeys/JourneyRun.h"

#include "base/ResourceStrings.h"
#include "journeys/JourneyCoverage.h"
#include "runtime/AnswerList.h"
#include "runtime/AnsweredRun.h"
#include "runtime/CompiledTree.h"

#include <algorithm>
#include <vector>

namespace JourneyRun {
namespace {

constexpr int DefaultDonePageId = 32536;
constexpr int PageLabelId = 33020;
constexpr int FirstPageId = 33021;
constexpr int PathPartsId = 33022;
constexpr int EndOfRunId = 33023;
constexpr int StoppedId = 33024;
constexpr int EndDiffersId = 33025;
constexpr int EndWordsId = 33026; // done, finished, open, done or finished: four ids in a row
constexpr int LeftOverId = 33030;
constexpr int ValueDiffersId = 33031;
constexpr int NoSuchControlId = 33032;
constexpr int ItemRemovedId = 33033;
constexpr int NoSuchItemId = 33034;
constexpr int NoSuchSelectorId = 33035;
constexpr int ItemKeptId = 33036;
constexpr int UnrunnableId = 33037;
constexpr int RunsDifferId = 33038;
constexpr int StartId = 33039;
constexpr int ValueOfId = 33056;
constexpr int ItemsLeftId = 33057;
constexpr int StoppedBeforeId = 33058;

QString endWord(int offset)
{
    return LoadResString(EndWordsId + offset);
}

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// How the run ended, in the words of a journey's end, or why it stopped.
QString endText(const JourneyObserved& observed)
{
    if (observed.end == RuntimeEngine::RunEnd::Done)
        return endWord(0);
    if (observed.end == RuntimeEngine::RunEnd::Finished)
        return endWord(1);
    return observed.waiting ? endWord(2) : observed.stopReason;
}

AnswerList answerList(const Journey& journey)
{
    AnswerList answers;
    for (const Journey::Answer& answer : journey.answers) {
        if (answer.control.isEmpty())
            answers.appendBack();
        else
            answers.append(answer.control, answer.value);
    }
    if (journey.finishWhenOut)
        answers.setFinishWhenOut();
    return answers;
}

// The values of the expected controls and the length of each selector's journal of removals,
// taken as each page is shown and once at the end: where a value came from, and which page's
// leaving removed an item.
class Checkpoints {
public:
    Checkpoints(const RuntimeEngine& engine, const Journey& journey) : m_engine(engine)
    {
        for (const Journey::Value& value : journey.values) {
            const RuntimeControl* control = engine.findControl(value.control);
            m_controls.append(control ? control->id : -1);
        }
    }

    void take()
    {
        QStringList values;
        for (const int id : std::as_const(m_controls))
            values.append(id < 0 ? QString() : m_engine.value(id));
        m_values.append(values);
        std::vector<std::size_t> journals;
        for (const SelectorTable& table : m_engine.selectors())
            journals.push_back(table.removals().size());
        m_journals.push_back(std::move(journals));
    }

    // The page whose leaving gave the value its last change; the first page when it never changed.
    qsizetype valueSetOn(qsizetype expectation) const
    {
        for (qsizetype page = m_values.size() - 2; page >= 0; --page) {
            if (m_values.at(page).at(expectation) != m_values.at(page + 1).at(expectation))
                return page;
        }
        return 0;
    }

    // The page whose leaving made the removal at this place of the selector's journal.
    qsizetype removedOn(std::size_t selector, std::size_t removal) const
    {
        for (auto page = static_cast<qsizetype>(m_journals.size()) - 2; page >= 0; --page) {
            if (m_journals.at(static_cast<std::size_t>(page)).at(selector) <= removal)
                return page;
        }
        return 0;
    }

private:
    const RuntimeEngine& m_engine;
    QList<int> m_controls;
    QList<QStringList> m_values;
    std::vector<std::vector<std::size_t>> m_journals;
};

// The run beside what the journey expects, in the order a reader follows the run: the way it
// went, how it ended, the answers it left, then the values and items at its end.
class Comparison {
public:
    Comparison(const Journey& journey, const RuntimeEngine& engine, const AnsweredRun& answered, const AnswerList& answers,
               const Checkpoints& checkpoints)
        : m_journey(journey), m_engine(engine), m_run(answered), m_answers(answers), m_checkpoints(checkpoints),
          m_pages(answered.pages())
    {
    }

    QString firstDifference() const
    {
        for (const QString& difference : {path(), stop(), pathLength(), end(), leftOver(), values(), items()}) {
            if (!difference.isEmpty())
                return difference;
        }
        return QString();
    }

private:
    QString last() const { return pageLabel(m_pages, m_pages.size() - 1); }

    static QString pageName(const QString& page) { return page.isEmpty() ? LoadResString(DefaultDonePageId) : page; }

    QString path() const
    {
        const qsizetype common = std::min(m_journey.path.size(), m_pages.size());
        for (qsizetype i = 0; i < common; ++i) {
            if (m_journey.path.at(i).compare(m_pages.at(i), Qt::CaseInsensitive) == 0)
                continue;
            const QString expected = pageName(m_journey.path.at(i));
            if (i == 0)
                return LoadResString(FirstPageId).arg(expected, pageName(m_pages.at(i)));
            return LoadResString(PathPartsId).arg(pageLabel(m_pages, i - 1), expected, pageName(m_pages.at(i)));
        }
        return QString();
    }

    bool openAsExpected() const
    {
        return m_journey.end == Journey::End::Open && m_run.waitingForAnswer();
    }

    QString stop() const
    {
        if (m_run.stopReason().isEmpty() || openAsExpected())
            return QString();
        return LoadResString(StoppedId).arg(last(), m_run.stopReason());
    }

    QString pathLength() const
    {
        const qsizetype expected = m_journey.path.size();
        const qsizetype actual = m_pages.size();
        if (expected == 0 || expected == actual)
            return QString();
        const qsizetype common = std::min(expected, actual);
        const QString wanted = common < expected ? pageName(m_journey.path.at(common)) : LoadResString(EndOfRunId);
        const QString went = common < actual ? pageName(m_pages.at(common)) : LoadResString(EndOfRunId);
        return LoadResString(PathPartsId).arg(pageLabel(m_pages, common - 1), wanted, went);
    }

    QString end() const
    {
        int actual = 2; // open: the run waits on its last page
        if (m_engine.runEnd() == RuntimeEngine::RunEnd::Done)
            actual = 0;
        else if (m_engine.runEnd() == RuntimeEngine::RunEnd::Finished)
            actual = 1;
        const int expected = m_journey.end ? static_cast<int>(*m_journey.end) : 3;
        if (expected == actual || (expected == 3 && actual < 2))
            return QString();
        return LoadResString(EndDiffersId).arg(last(), endWord(expected), endWord(actual));
    }

    QString leftOver() const
    {
        const QStringList left = m_answers.leftOver();
        if (left.isEmpty())
            return QString();
        return LoadResString(LeftOverId).arg(left.join(QLatin1String(", ")), last());
    }

    QString values() const
    {
        for (qsizetype i = 0; i < m_journey.values.size(); ++i) {
            const Journey::Value& expected = m_journey.values.at(i);
            const RuntimeControl* control = m_engine.findControl(expected.control);
            if (!control)
                return LoadResString(NoSuchControlId).arg(expected.control, quoted(expected.value));
            const QString actual = m_engine.value(control->id);
            if (actual == expected.value)
                continue;
            return LoadResString(ValueDiffersId)
                .arg(control->displayName(), quoted(expected.value), quoted(actual),
                     pageLabel(m_pages, m_checkpoints.valueSetOn(i)));
        }
        return QString();
    }

    QString items() const
    {
        const std::vector<SelectorTable>& selectors = m_engine.selectors();
        for (const Journey::Item& expected : m_journey.items) {
            const SelectorTable* table = m_engine.selector(expected.selector);
            if (!table)
                return LoadResString(NoSuchSelectorId).arg(expected.selector, expected.item);
            const int item = table->findItem(expected.item);
            if (item < 0)
                return LoadResString(NoSuchItemId).arg(table->name(), expected.item);
            if (table->isRemoved(item) == !expected.held)
                continue;
            if (!expected.held)
                return LoadResString(ItemKeptId).arg(table->name(), table->itemName(item), last());
            const SelectorRemoval* removal = table->removalOf(item);
            const auto selector = static_cast<std::size_t>(table - selectors.data());
            const auto place = static_cast<std::size_t>(removal - table->removals().data());
            return LoadResString(ItemRemovedId)
                .arg(table->name(), table->itemName(item), pageLabel(m_pages, m_checkpoints.removedOn(selector, place)),
                     removal->control + QLatin1String(" / ") + removal->option + QLatin1String(": ")
                         + removal->action.trimmed());
        }
        return QString();
    }

    const Journey& m_journey;
    const RuntimeEngine& m_engine;
    const AnsweredRun& m_run;
    const AnswerList& m_answers;
    const Checkpoints& m_checkpoints;
    const QStringList& m_pages;
};

} // namespace

QString pageLabel(const QStringList& pages, qsizetype index)
{
    if (index < 0 || index >= pages.size())
        return LoadResString(StartId);
    const QString& page = pages.at(index);
    return LoadResString(PageLabelId).arg(index + 1).arg(page.isEmpty() ? LoadResString(DefaultDonePageId) : page);
}

JourneyResult run(const CompiledTree& tree, const Journey& journey, JourneyCoverage* coverage)
{
    JourneyResult result;
    result.name = journey.name;
    RuntimeEngine engine;
    if (const StorageResult loaded = engine.load(tree); !loaded) {
        result.difference = LoadResString(UnrunnableId).arg(loaded.message);
        return result;
    }
    engine.setTrace(coverage);
    AnswerList answers = answerList(journey);
    AnsweredRun answered(engine, answers);
    answered.setFinishOn(journey.finishOn);
    Checkpoints checkpoints(engine, journey);
    answered.setPageObserver([&checkpoints] { checkpoints.take(); });
    answered.run(journey.start);
    checkpoints.take();
    engine.setTrace(nullptr);
    if (coverage)
        coverage->runEnded(engine);

    result.transcript = answered.transcript() + answered.selectorReport(true);
    result.observed = {answered.pages(), engine.runEnd(), answered.waitingForAnswer(), answered.stopReason(), engine.values()};
    result.difference = Comparison(journey, engine, answered, answers, checkpoints).firstDifference();
    result.passed = result.difference.isEmpty();
    return result;
}

QString firstDifference(const JourneyObserved& first, const JourneyObserved& second)
{
    const auto differ = [](const QString& what, const QString& a, const QString& b) {
        return LoadResString(RunsDifferId).arg(what, quoted(a), quoted(b));
    };
    // A run with no page i ended there, or stopped (a refused answer) and says why.
    const auto page = [](const JourneyObserved& run, qsizetype i) {
        if (i < run.pages.size())
            return quoted(run.pages.at(i));
        if (!run.waiting && !run.stopReason.isEmpty())
            return LoadResString(StoppedBeforeId).arg(run.stopReason);
        return quoted(LoadResString(EndOfRunId));
    };
    const qsizetype pages = std::max(first.pages.size(), second.pages.size());
    for (qsizetype i = 0; i < pages; ++i) {
        if (first.pages.value(i) != second.pages.value(i) || i >= first.pages.size() || i >= second.pages.size())
            return LoadResString(RunsDifferId).arg(pageLabel(first.pages, i), page(first, i), page(second, i));
    }
    if (endText(first) != endText(second))
        return differ(LoadResString(EndOfRunId), endText(first), endText(second));
    const auto& a = first.values.controls;
    const auto& b = second.values.controls;
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
        if (a.value(i) != b.value(i))
            return differ(LoadResString(ValueOfId).arg(a.value(i, b.value(i)).first), a.value(i).second, b.value(i).second);
    }
    const auto& s = first.values.selectorItems;
    const auto& t = second.values.selectorItems;
    for (qsizetype i = 0; i < std::max(s.size(), t.size()); ++i) {
        if (s.value(i) != t.value(i))
            return differ(LoadResString(ItemsLeftId).arg(s.value(i, t.value(i)).first), s.value(i).second.join(QLatin1String(", ")),
                          t.value(i).second.join(QLatin1String(", ")));
    }
    return QString();
}

} // namespace JourneyRun
