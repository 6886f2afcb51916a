#include "AnalysisBench.h"

#include "common/SyntheticTree.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/MDecisionDataUtil.h"
#include "validate/PathAnalysis.h"
#include "validate/ValidationFindings.h"

#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

struct Timing {
    qint64 ms = std::numeric_limits<qint64>::max();
    int findings = 0;
};

Timing measure(const CmDecisionManager& decisions)
{
    Timing timing;
    for (int round = 0; round < 3; ++round) {
        ValidationFindings findings;
        QElapsedTimer timer;
        timer.start();
        timing.findings = PathAnalysis::Run(decisions, findings);
        timing.ms = std::min(timing.ms, timer.elapsed());
    }
    return timing;
}

// Info pages, each going on to the next and the last back to the first: one loop through all.
void fillLoop(CmDecisionManager& decisions, int controls)
{
    for (int id = 1; id <= controls; ++id) {
        auto item = std::make_unique<CmDecisionItem>();
        item->setIntID(static_cast<qint16>(id));
        item->setStrID(QStringLiteral("Page%1").arg(id));
        item->setIntControl(MDecisionDataUtil::Info);
        item->setOptsAndActsAsRead({QStringLiteral("!GO Page%1").arg(id % controls + 1)});
        decisions.add(std::move(item));
    }
}

} // namespace

int AnalysisBench::run(QList<int> sizes, QTextStream& out)
{
    if (sizes.isEmpty())
        sizes = {15000, 30000};
    out << "controls\tgenerated ms\tfindings\tone loop ms\tfindings\tgenerated ratio\tloop ratio\n";
    Timing previousTree;
    Timing previousLoop;
    int previousSize = 0;
    for (const int size : sizes) {
        CmDecisionManager tree;
        SyntheticTree::fill(tree, size);
        const Timing generated = measure(tree);
        CmDecisionManager loop;
        fillLoop(loop, size);
        const Timing looped = measure(loop);
        out << size << '\t' << generated.ms << '\t' << generated.findings << '\t' << looped.ms << '\t' << looped.findings;
        if (previousSize * 2 == size)
            out << '\t' << double(generated.ms) / double(std::max<qint64>(1, previousTree.ms)) << '\t'
                << double(looped.ms) / double(std::max<qint64>(1, previousLoop.ms));
        out << '\n';
        out.flush();
        previousTree = generated;
        previousLoop = looped;
        previousSize = size;
    }
    return 0;
}
