#include "journeys/JourneyRecorder.h"

#include "runtime/RuntimeEngine.h"

#include <QSet>

namespace JourneyRecorder {
namespace {

QString firstControl(const RuntimeEngine& engine, const QList<int>& page)
{
    return page.isEmpty() ? QString() : engine.control(page.first())->displayName();
}

void expectItems(const RuntimeEngine& engine, Journey& journey)
{
    for (const SelectorTable& table : engine.selectors()) {
        for (const int item : table.remaining())
            journey.items.append({table.name(), table.itemName(item), true});
        for (const SelectorRemoval& removal : table.removals())
            journey.items.append({table.name(), table.itemName(removal.item), false});
    }
}

} // namespace

bool canRecord(const RuntimeEngine& engine)
{
    const RuntimeEngine::RunEnd end = engine.runEnd();
    return engine.isRunning() || end == RuntimeEngine::RunEnd::Done || end == RuntimeEngine::RunEnd::Finished;
}

std::optional<Journey> record(const RuntimeEngine& engine, const QString& name)
{
    if (!canRecord(engine))
        return std::nullopt;
    const RuntimeEngine::RunEnd end = engine.runEnd();
    const bool finished = end == RuntimeEngine::RunEnd::Finished;
    Journey journey;
    journey.name = name;
    const QList<RuntimeEngine::LeftPage> left = engine.pagesLeft();
    QSet<int> answered;
    QList<int> order;
    for (const RuntimeEngine::LeftPage& page : left) {
        journey.path.append(firstControl(engine, page.controls));
        for (qsizetype i = 0; i < page.controls.size(); ++i) {
            const RuntimeControl* control = engine.control(page.controls.at(i));
            if (!control || !control->takesAnswer())
                continue;
            journey.answers.append({control->displayName(), page.values.at(i)});
            if (!answered.contains(control->id)) {
                answered.insert(control->id);
                order.append(control->id);
            }
        }
    }
    // A finished run left its last page with Finish; any other run stands on its last page.
    if (finished && !journey.path.isEmpty())
        journey.finishOn = journey.path.constLast();
    else
        journey.path.append(firstControl(engine, engine.page()));
    if (journey.path.isEmpty())
        return std::nullopt;
    journey.start = journey.path.constFirst();
    for (const int id : std::as_const(order))
        journey.values.append({engine.control(id)->displayName(), engine.value(id)});
    expectItems(engine, journey);
    // A run standing on a done page ends there when replayed: Next is all that page takes.
    const bool done = end == RuntimeEngine::RunEnd::Done || engine.onDonePage();
    journey.end = done ? Journey::End::Done : finished ? Journey::End::Finished : Journey::End::Open;
    return journey;
}

} // namespace JourneyRecorder
