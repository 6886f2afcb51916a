#include "web/WebRun.h"

#include "base/ResourceStrings.h"
#include "web/WebTree.h"

namespace {
constexpr int NotOnPageId = 35003;
}

WebRun::WebRun(const WebTree& tree) : m_tree(tree)
{
    m_loaded = m_engine.load(m_tree.compiled);
    m_engine.registerHost(this);
}

WebRun::~WebRun()
{
    m_engine.registerHost(nullptr);
}

bool WebRun::restore(const RunState& state)
{
    // A run of this tree that ended may be restored to another state: starting resets it.
    m_finishLinkReached = false;
    if (!m_loaded || !m_engine.start(state.start))
        return false;
    endOnFinishLink();
    for (const RunState::Step& step : state.steps) {
        if (!m_engine.isRunning() || !apply(step, nullptr))
            return false;
    }
    return true;
}

WebRun::Result WebRun::take(RunState::Step::Kind kind, const QHash<int, QString>& answers)
{
    Result result;
    result.step.kind = kind;
    if (kind != RunState::Step::Kind::Back) {
        for (const int id : m_engine.page()) {
            const RuntimeControl* control = m_engine.control(id);
            if (control && control->takesAnswer() && answers.contains(id))
                result.step.answers.append({control->displayName(), answers.value(id)});
        }
    }
    const qsizetype linksBefore = m_engine.links().size();
    result.moved = apply(result.step, &result.refused);
    if (result.moved)
        result.links = m_engine.links().mid(linksBefore);
    return result;
}

bool WebRun::apply(const RunState::Step& step, QHash<int, QString>* refused)
{
    if (step.kind == RunState::Step::Kind::Back)
        return m_engine.back();
    const QList<int> page = m_engine.page();
    for (const auto& [name, answer] : step.answers) {
        const RuntimeControl* control = m_engine.findControl(name);
        if (!control || !page.contains(control->id)) {
            if (refused)
                refused->insert(0, LoadResString(NotOnPageId).arg(name));
            return false;
        }
        if (const std::optional<QString> reason = m_engine.setAnswer(control->id, answer)) {
            if (!refused)
                return false;
            refused->insert(control->id, *reason);
        }
    }
    if (refused && !refused->isEmpty())
        return false;
    const bool moved = step.kind == RunState::Step::Kind::Finish ? m_engine.finish() : m_engine.next();
    endOnFinishLink();
    return moved || !m_engine.isRunning();
}

void WebRun::endOnFinishLink()
{
    // The reserved target is a done page the engine was given; the web wizard ends on it.
    const QList<int>& page = m_engine.page();
    if (m_finishLinkId == 0 || !m_engine.isRunning() || page.isEmpty() || page.first() != m_finishLinkId)
        return;
    m_finishLinkReached = true;
    m_engine.next();
}

void WebRun::HandleEvent(int code, const QStringList& arguments, QString& text)
{
    if (code != RuntimeEvent::DefinitionRequest)
        return;
    const QString reference = arguments.value(0).trimmed();
    if (reference.compare(FinishLink, Qt::CaseInsensitive) != 0)
        return;
    if (m_finishLinkId == 0) {
        const QList<const RuntimeControl*> controls = m_engine.controls();
        int highest = 0;
        for (const RuntimeControl* control : controls)
            highest = std::max(highest, control->id);
        m_finishLinkId = highest + 1;
    }
    text = QStringLiteral("%1\t\t%2\t\t\t\"\"\tDone\t").arg(m_finishLinkId).arg(FinishLink);
}
