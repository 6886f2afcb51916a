#pragma once

#include "journeys/Journey.h"
#include "runtime/RuntimeEngine.h"

#include <QString>
#include <QStringList>

class JourneyCoverage;
struct CompiledTree;

// What one run of a journey did, enough to set it beside another run of the same journey.
struct JourneyObserved {
    QStringList pages; // as AnsweredRun::pages() gives them
    RuntimeEngine::RunEnd end = RuntimeEngine::RunEnd::None;
    bool waiting = false; // stopped on a page the answers did not reach
    QString stopReason;
    RuntimeEngine::RunValues values;
};

struct JourneyResult {
    QString name;
    bool passed = false;
    // The first difference from what the journey expects, with the page where the run parted
    // from it; empty when the journey passed.
    QString difference;
    // The run as kestrova run writes it, removed items explained.
    QStringList transcript;
    JourneyObserved observed;
};

// Runs a journey on a compiled tree in a runtime of its own and compares what happened with
// what the journey expects.
namespace JourneyRun {

// With a coverage, the run adds what it met to it.
JourneyResult run(const CompiledTree& tree, const Journey& journey, JourneyCoverage* coverage = nullptr);

// The first way two runs of one journey differ (pages, end, values, selectors' remaining items
// in order); empty when they agree.
QString firstDifference(const JourneyObserved& first, const JourneyObserved& second);

// "page 3 (MainUse)"; index counts from 0.
QString pageLabel(const QStringList& pages, qsizetype index);

} // namespace JourneyRun
