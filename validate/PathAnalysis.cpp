#include "validate/PathAnalysis.h"

#include "base/ProcedureBoundary.h"
#include "base/ResourceStrings.h"
#include "lang/BlockLine.h"
#include "lang/ExpressionParser.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/MDecisionDataUtil.h"
#include "validate/ConstantCondition.h"
#include "validate/ControlFlow.h"
#include "validate/ControlLocation.h"
#include "validate/IValidationLog.h"
#include "validate/PathGraph.h"

#include <QHash>

#include <algorithm>
#include <vector>

namespace {

using namespace MDecisionDataUtil;

constexpr int optionsAndActionsLabelId = 11004;
constexpr int unreachableId = 33150;
constexpr int noEndId = 33151;
constexpr int closedLoopId = 33152;
constexpr int overriddenGoId = 33153;
constexpr int constantConditionId = 33154;
constexpr int lineId = 33155;
constexpr int moreControlsId = 33156;
constexpr std::size_t loopMembersShown = 10;

// A list whose answer must be one of its options: with none it is passed over, not shown.
bool needsOptions(qint16 type)
{
    return type == Radio || type == List || type == MultiList || type == Combo || type == Slide;
}

// "[[Name]]" or "Name", as a !GO target, a displayed control or a reference is written.
QString referenceName(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1String("[[")) && trimmed.endsWith(QLatin1String("]]")))
        return trimmed.mid(2, trimmed.size() - 4).trimmed();
    return trimmed;
}

class Analysis {
public:
    Analysis(const CmDecisionManager& decisions, IValidationLog& log) : m_log(log)
    {
        index(decisions);
    }

    int run()
    {
        buildGraph();
        const PathGraph graph(nodeCount(), m_edges);
        findPaths(graph);
        for (std::size_t control = 0; control < m_controls.size(); ++control)
            report(static_cast<int>(control));
        return m_findings;
    }

private:
    int count() const { return static_cast<int>(m_controls.size()); }
    int nodeCount() const { return 2 * count() + 1; }
    // Each control is two nodes: its page, and its actions wherever they run. The end of a
    // run (a done page, a finish, a target that is no control) is one more.
    int page(int control) const { return control; }
    int actions(int control) const { return count() + control; }
    int end() const { return 2 * count(); }

    void index(const CmDecisionManager& decisions);
    int resolve(const QString& reference) const;
    void buildGraph();
    void addPage(int control);
    void addFallThrough(int control);
    void findPaths(const PathGraph& graph);
    void markShown();
    void report(int control);
    void reportLoop(int control);
    void reportLines(int control);
    bool isConstant(const QString& condition) const;
    void add(const QString& message, const QString& location, const QString& extra = QString(), int line = -1);

    IValidationLog& m_log;
    std::vector<const CmDecisionItem*> m_controls;
    std::vector<ControlFlow> m_flows;
    QHash<QString, int> m_byName; // case folded
    QHash<QString, int> m_byWrittenName;
    std::vector<int> m_byId;
    std::vector<int> m_nextById;
    std::vector<std::pair<int, int>> m_edges;
    std::vector<int> m_finishSeeds;

    std::vector<char> m_reached;
    std::vector<char> m_shown;
    std::vector<char> m_canEnd;
    std::vector<int> m_component;
    std::vector<char> m_trapped;
    // The controls of each loop that holds the run, in decision order.
    std::vector<std::vector<int>> m_loopMembers;
    int m_findings = 0;
};

void Analysis::index(const CmDecisionManager& decisions)
{
    const auto count = static_cast<std::size_t>(decisions.Count());
    m_controls.reserve(count);
    m_flows.reserve(count);
    m_byName.reserve(static_cast<qsizetype>(count));
    m_byWrittenName.reserve(static_cast<qsizetype>(count));
    for (int position = 1; position <= decisions.Count(); ++position) {
        const CmDecisionItem* decision = decisions.ItemByIndex(position);
        // The FinishLink pseudo control is the end of a web run, not a page.
        if (!decision || decision->strID().compare(BlockLine::FinishLink, Qt::CaseInsensitive) == 0)
            continue;
        const int control = static_cast<int>(m_controls.size());
        m_controls.push_back(decision);
        m_flows.emplace_back(decision->OptsAndActs(), decision->intControl(), decision->DefaultValue().toString());
        if (!decision->strID().isEmpty()) {
            m_byName.insert(decision->strID().toCaseFolded(), control);
            m_byWrittenName.insert(decision->strID(), control);
        }
        if (decision->intID() > 0) {
            const auto id = static_cast<std::size_t>(decision->intID());
            if (m_byId.size() <= id)
                m_byId.resize(id + 1, -1);
            m_byId[id] = control;
        }
    }
    m_nextById.assign(m_controls.size(), -1);
    int following = -1;
    for (auto id = m_byId.rbegin(); id != m_byId.rend(); ++id) {
        if (*id < 0)
            continue;
        m_nextById[static_cast<std::size_t>(*id)] = following;
        following = *id;
    }
}

// As the runtime finds a control: a number, or "_" and a number, is an ID; anything else a
// name without regard to case. -1 when the tree has no such control.
int Analysis::resolve(const QString& reference) const
{
    const QString name = referenceName(reference);
    bool numeric = false;
    const int id = (name.startsWith(QLatin1Char('_')) ? name.mid(1) : name).toInt(&numeric);
    if (!numeric) {
        // Most references spell the name as the control does; folding the case costs more.
        const auto written = m_byWrittenName.constFind(name);
        return written != m_byWrittenName.constEnd() ? written.value() : m_byName.value(name.toCaseFolded(), -1);
    }
    return id > 0 && static_cast<std::size_t>(id) < m_byId.size() ? m_byId[static_cast<std::size_t>(id)] : -1;
}

void Analysis::buildGraph()
{
    for (int control = 0; control < count(); ++control) {
        // A !GO to no control of the tree ends the run: FinishLink, or a control the host makes.
        for (const ControlFlow::Line& go : m_flows[static_cast<std::size_t>(control)].goLines()) {
            const int target = resolve(BlockLine::ActionArgument(go.text));
            m_edges.emplace_back(actions(control), target < 0 ? end() : page(target));
        }
        if (m_controls[static_cast<std::size_t>(control)]->intControl() != Done)
            addPage(control);
    }
}

void Analysis::addPage(int control)
{
    const CmDecisionItem& decision = *m_controls[static_cast<std::size_t>(control)];
    const ControlFlow& flow = m_flows[static_cast<std::size_t>(control)];
    // Actions without a !GO lead nowhere of their own: what follows them is the page's.
    const auto runActionsOf = [this, control](int runner) {
        if (!m_flows[static_cast<std::size_t>(runner)].goLines().isEmpty())
            m_edges.emplace_back(page(control), actions(runner));
    };
    runActionsOf(control);
    bool pageGoes = flow.everyAnswerGoes();
    bool mayFinish = flow.mayEnableFinish();
    // A control passed over shows no page: only its own pre-actions run.
    if (!needsOptions(decision.intControl()) || flow.hasOptions()) {
        for (const QString& entry : decision.Group()) {
            const int shown = resolve(entry);
            if (shown < 0 || shown == control)
                continue;
            runActionsOf(shown);
            pageGoes = pageGoes || m_flows[static_cast<std::size_t>(shown)].everyAnswerGoes();
            mayFinish = mayFinish || m_flows[static_cast<std::size_t>(shown)].mayEnableFinish();
        }
    }
    if (!pageGoes)
        addFallThrough(control);
    if (mayFinish)
        m_finishSeeds.push_back(page(control));
}

// Without a !GO the run goes on to the control with the next ID. The compiled tree numbers the
// controls in decision order, the diagram follows their IDs: both are taken.
void Analysis::addFallThrough(int control)
{
    const int byId = m_nextById[static_cast<std::size_t>(control)];
    m_edges.emplace_back(page(control), byId < 0 ? end() : page(byId));
    const int inOrder = control + 1 < count() ? control + 1 : -1;
    if (inOrder != byId)
        m_edges.emplace_back(page(control), inOrder < 0 ? end() : page(inOrder));
}

void Analysis::findPaths(const PathGraph& graph)
{
    std::vector<int> roots;
    if (count() > 0)
        roots.push_back(page(0));
    if (const int first = resolve(QStringLiteral("1")); first > 0)
        roots.push_back(page(first));
    m_reached = graph.reachedFrom(roots);
    markShown();

    // Finish stays enabled on the pages after the one that enabled it.
    const std::vector<char> mayFinish = graph.reachedFrom(m_finishSeeds);
    std::vector<int> ends{end()};
    for (int control = 0; control < count(); ++control) {
        if (m_controls[static_cast<std::size_t>(control)]->intControl() == Done
            || mayFinish[static_cast<std::size_t>(page(control))])
            ends.push_back(page(control));
    }
    m_canEnd = graph.reaching(ends);

    m_component = graph.components();
    const int components = m_component.empty() ? 0 : *std::max_element(m_component.begin(), m_component.end()) + 1;
    const std::vector<char> left = graph.componentsLeft(m_component, components);
    // A loop is at least a page and its actions; one that no edge leaves and that cannot end
    // holds the run for good.
    m_trapped.assign(static_cast<std::size_t>(components), 0);
    m_loopMembers.assign(static_cast<std::size_t>(components), {});
    for (int control = 0; control < count(); ++control) {
        const auto component = static_cast<std::size_t>(m_component[static_cast<std::size_t>(page(control))]);
        m_trapped[component] = !left[component] && !m_canEnd[static_cast<std::size_t>(page(control))];
        if (m_trapped[component])
            m_loopMembers[component].push_back(control);
    }
}

// The controls a reached page displays are shown, though no path leads to their own page.
void Analysis::markShown()
{
    m_shown.assign(m_controls.size(), 0);
    for (int control = 0; control < count(); ++control) {
        const CmDecisionItem& decision = *m_controls[static_cast<std::size_t>(control)];
        if (!m_reached[static_cast<std::size_t>(page(control))]
            || (needsOptions(decision.intControl()) && !m_flows[static_cast<std::size_t>(control)].hasOptions()))
            continue;
        for (const QString& entry : decision.Group()) {
            if (const int shown = resolve(entry); shown >= 0)
                m_shown[static_cast<std::size_t>(shown)] = 1;
        }
    }
}

void Analysis::report(int control)
{
    const CmDecisionItem& decision = *m_controls[static_cast<std::size_t>(control)];
    const auto at = static_cast<std::size_t>(page(control));
    const QString name = ControlLocation::NameOf(decision);
    const bool trapped = m_trapped[static_cast<std::size_t>(m_component[at])];
    if (!m_reached[at] && !m_shown[static_cast<std::size_t>(control)])
        add(LoadResString(unreachableId), name);
    else if (m_reached[at] && !trapped && !m_canEnd[at])
        add(LoadResString(noEndId), name);
    else if (m_reached[at] && trapped)
        reportLoop(control);
    reportLines(control);
}

// Once for each loop, at its first control in decision order.
void Analysis::reportLoop(int control)
{
    const auto component = static_cast<std::size_t>(m_component[static_cast<std::size_t>(page(control))]);
    const std::vector<int>& members = m_loopMembers[component];
    if (members.front() != control)
        return;
    QStringList names;
    for (std::size_t member = 0; member < members.size() && member < loopMembersShown; ++member)
        names.append(ControlLocation::NameOf(*m_controls[static_cast<std::size_t>(members[member])]));
    QString list = names.join(QStringLiteral(", "));
    if (members.size() > loopMembersShown)
        list = LoadResString(moreControlsId).arg(list).arg(members.size() - loopMembersShown);
    add(LoadResString(closedLoopId), ControlLocation::NameOf(*m_controls[static_cast<std::size_t>(control)]), list);
}

void Analysis::reportLines(int control)
{
    const CmDecisionItem& decision = *m_controls[static_cast<std::size_t>(control)];
    const ControlFlow& flow = m_flows[static_cast<std::size_t>(control)];
    struct Finding {
        int messageId;
        ControlFlow::Line line;
    };
    std::vector<Finding> findings;
    for (const ControlFlow::Line& go : flow.overriddenGoes())
        findings.push_back({overriddenGoId, go});
    for (const ControlFlow::Line& condition : flow.conditions()) {
        if (isConstant(BlockLine::ActionArgument(condition.text)))
            findings.push_back({constantConditionId, condition});
    }
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return a.line.number < b.line.number; });
    const QString location = ControlLocation::Of(decision, optionsAndActionsLabelId);
    for (const Finding& finding : findings)
        add(LoadResString(finding.messageId), location,
            LoadResString(lineId).arg(finding.line.number).arg(finding.line.text.trimmed()), finding.line.number - 1);
}

bool Analysis::isConstant(const QString& condition) const
{
    const ExpressionParseResult parsed = ExpressionParser::parse(condition);
    // A test that does not parse is the validator's to report.
    if (!parsed.ok())
        return false;
    return ConstantCondition::Holds(*parsed.root, [this](const QString& reference) {
        const int control = resolve(reference);
        if (control < 0 || m_controls[static_cast<std::size_t>(control)]->intControl() == MultiList)
            return -1;
        return control;
    });
}

void Analysis::add(const QString& message, const QString& location, const QString& extra, int line)
{
    m_log.AppendLineToLog(line, false, message, location, extra);
    ++m_findings;
}

} // namespace

int PathAnalysis::Run(const CmDecisionManager& decisions, IValidationLog& log)
{
    return ProcedureBoundary::runOr("PathAnalysis.Run", 0, [&] { return Analysis(decisions, log).run(); });
}
