#include "runtime/AnsweredRun.h"

#include "base/ResourceStrings.h"
#include "runtime/RuntimeEngine.h"

namespace {

QString controlText(const RuntimeControl& control)
{
    return LoadResString(32532).arg(control.displayName(), control.interfaceName);
}

} // namespace

AnsweredRun::Outcome AnsweredRun::run(const QString& start)
{
    m_engine.registerHost(this);
    if (!m_engine.start(start))
        return stopped(m_error);
    writePage();
    bool returned = false;
    while (m_engine.isRunning()) {
        if (m_answers.takeBack()) {
            if (!m_engine.back()) {
                m_engine.stop();
                return stopped(LoadResString(32585).arg(m_pageCount));
            }
            m_lines.append(LoadResString(32584));
            writePage();
            returned = true;
            continue;
        }
        if (m_engine.onDonePage()) {
            m_engine.next();
            break;
        }
        const PageAnswer answered = answerPage(std::exchange(returned, false));
        if (answered == PageAnswer::Stopped)
            return Outcome::Stopped;
        if (answered == PageAnswer::Finished)
            break;
        if (finishesHere()) {
            if (!m_engine.earlyFinish()) {
                m_engine.stop();
                return stopped(LoadResString(33000).arg(m_pages.constLast()));
            }
            m_engine.finish();
            writeLeave();
            break;
        }
        const bool moved = m_engine.next();
        writeLeave();
        if (!moved)
            return stopped(m_error);
        if (m_engine.isRunning())
            writePage();
    }
    return ended();
}

AnsweredRun::Outcome AnsweredRun::ended()
{
    const QString page = m_engine.onDefaultDonePage() || m_engine.page().isEmpty()
                             ? LoadResString(32536)
                             : m_engine.control(m_engine.page().first())->displayName();
    switch (m_engine.runEnd()) {
    case RuntimeEngine::RunEnd::Done:
        m_lines.append(LoadResString(32539).arg(page));
        return Outcome::Done;
    case RuntimeEngine::RunEnd::Finished:
        m_lines.append(LoadResString(32540).arg(page));
        return Outcome::Finished;
    case RuntimeEngine::RunEnd::Failed:
        return stopped(m_error);
    default:
        return stopped(m_error);
    }
}

bool AnsweredRun::finishesHere() const
{
    return !m_finishOn.isEmpty() && !m_pages.isEmpty()
           && m_pages.constLast().compare(m_finishOn.trimmed(), Qt::CaseInsensitive) == 0;
}

AnsweredRun::Outcome AnsweredRun::stopped(const QString& reason)
{
    m_stopReason = reason;
    m_lines.append(LoadResString(32541).arg(reason));
    return Outcome::Stopped;
}

void AnsweredRun::writePage()
{
    ++m_pageCount;
    QStringList controls;
    for (const int id : m_engine.page())
        controls.append(controlText(*m_engine.control(id)));
    if (controls.isEmpty())
        controls.append(LoadResString(32536));
    m_lines.append(LoadResString(32531).arg(m_pageCount).arg(controls.join(QLatin1String(", "))));
    const QList<int>& page = m_engine.page();
    m_pages.append(page.isEmpty() ? QString() : m_engine.control(page.first())->displayName());
    if (m_pageObserver)
        m_pageObserver();
}

AnsweredRun::PageAnswer AnsweredRun::answerPage(bool returned)
{
    const QList<int> page = m_engine.page();
    for (const int id : page) {
        const RuntimeControl& control = *m_engine.control(id);
        if (!control.takesAnswer())
            continue;
        const std::optional<QString> answer = m_answers.take(control.displayName());
        // A page Back returned to keeps the answers it had unless the list gives new ones.
        if (!answer && id == page.first() && !returned) {
            if (m_answers.finishWhenOut() && m_engine.earlyFinish()) {
                m_engine.finish();
                writeLeave();
                return PageAnswer::Finished;
            }
            m_waiting = true;
            stopped(LoadResString(32542).arg(control.displayName()).arg(m_pageCount));
            m_engine.stop();
            return PageAnswer::Stopped;
        }
        if (answer) {
            if (const std::optional<QString> refused = m_engine.setAnswer(id, *answer)) {
                stopped(*refused);
                m_engine.stop();
                return PageAnswer::Stopped;
            }
        }
        m_lines.append(LoadResString(32533).arg(control.displayName(), m_engine.value(id)));
    }
    return PageAnswer::Answered;
}

void AnsweredRun::writeLeave()
{
    const QList<ExecutedAction>& actions = m_engine.lastActions();
    const QList<RuntimeEngine::PassedOver>& passed = m_engine.passedOver();
    qsizetype written = 0;
    const auto writeActions = [&](qsizetype upTo) {
        for (; written < upTo; ++written) {
            const ExecutedAction& action = actions.at(written);
            QString line = LoadResString(32534).arg(action.control, action.option, action.line.trimmed());
            if (!action.note.isEmpty())
                line += LoadResString(32535).arg(action.note);
            m_lines.append(line);
        }
    };
    writeActions(passed.isEmpty() ? actions.size() : passed.first().firstAction);
    if (m_engine.isRunning() && !m_engine.lastLeaveRanGo()) {
        QString next = LoadResString(32536);
        if (!passed.isEmpty())
            next = m_engine.control(passed.first().control)->displayName();
        else if (!m_engine.page().isEmpty())
            next = m_engine.control(m_engine.page().first())->displayName();
        m_lines.append(LoadResString(32537).arg(next));
    }
    for (qsizetype i = 0; i < passed.size(); ++i) {
        m_lines.append(LoadResString(32538).arg(m_engine.control(passed.at(i).control)->displayName()));
        writeActions(i + 1 < passed.size() ? passed.at(i + 1).firstAction : actions.size());
    }
    m_lines.append(std::exchange(m_pending, {}));
}

QStringList AnsweredRun::selectorReport(bool explain) const
{
    QStringList lines;
    for (const SelectorTable& table : m_engine.selectors()) {
        const QList<int> remaining = table.remaining();
        lines.append(LoadResString(32543).arg(table.name()).arg(remaining.size()).arg(table.itemCount()));
        for (qsizetype i = 0; i < remaining.size(); ++i)
            lines.append(LoadResString(32544).arg(i + 1).arg(table.itemName(remaining.at(i))));
        if (!explain)
            continue;
        for (const SelectorRemoval& removal : table.removals())
            lines.append(LoadResString(32546).arg(table.itemName(removal.item), removal.control, removal.option,
                                                  removal.action));
    }
    return lines;
}

void AnsweredRun::HandleEvent(int code, const QStringList& arguments, QString& text)
{
    switch (code) {
    case RuntimeEvent::Error:
        m_error = arguments.value(0);
        break;
    case RuntimeEvent::ValueRequest:
        if (const std::optional<QString> answer = m_answers.take(arguments.value(0))) {
            text = *answer;
            m_pending.append(LoadResString(32548).arg(arguments.value(0), *answer));
        }
        break;
    default:
        break;
    }
}
