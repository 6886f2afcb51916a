#pragma once

#include "journeys/Journey.h"

#include <optional>

class RuntimeEngine;

// Makes a journey of the run an engine holds: the way it took to the current page (a change of
// mind taken back with Back is not kept) with the answers given on each page left, and as its
// expectations the pages, the values of the controls answered on the way, every selector's
// items as they stand, and how the run ended (or that it waits on its page).
namespace JourneyRecorder {

// Whether the engine holds a run to keep: one running, or one that ended on a done page or by Finish.
bool canRecord(const RuntimeEngine& engine);
// Nothing when the engine holds no run to keep: none was started, or it ended by a fault or a stop.
std::optional<Journey> record(const RuntimeEngine& engine, const QString& name);

} // namespace JourneyRecorder
