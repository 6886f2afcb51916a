#include "DiagramBench.h"

#include "common/ScriptedPrompt.h"
#include "common/SyntheticTree.h"
#include "edit/AutoLayout.h"
#include "edit/CanvasModel.h"
#include "edit/CcDecisionTree.h"
#include "edit/CvDecisionTree.h"
#include "edit/DiagramStore.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"

#include <QElapsedTimer>
#include <QTextStream>

namespace {

double ratio(qint64 larger, qint64 smaller)
{
    return double(larger) / double(qMax<qint64>(1, smaller));
}

} // namespace

DiagramBench::Timing DiagramBench::measure(CmDecisionManager& decisions)
{
    Timing timing;
    timing.controls = decisions.Count();
    ScriptedPrompt prompt;
    QElapsedTimer timer;
    timer.start();
    CvDecisionTree view(decisions, prompt);
    AutoLayout::LayOut(view.Canvas(), decisions);
    int links = 0;
    for (const auto& [key, entity] : view.Canvas().AllEntities())
        links += static_cast<int>(view.Canvas().LinksFrom(key).size());
    timing.buildMs = timer.elapsed();
    const QString stored = view.Canvas().LayoutText();

    CvDecisionTree reopened(decisions, prompt);
    timer.restart();
    DiagramStore::Restore(stored, reopened.Canvas(), decisions);
    for (const auto& [key, entity] : reopened.Canvas().AllEntities())
        links -= static_cast<int>(reopened.Canvas().LinksFrom(key).size());
    timing.restoreMs = timer.elapsed();
    if (links != 0)
        qFatal("the stored diagram shows other links");

    CcDecisionTree tree(view, prompt);
    const CmDecisionItem* second = decisions.ItemByIndex(2);
    timer.restart();
    tree.Rename(second->strID(), QStringLiteral("RenamedControl"), second->intID());
    timing.renameMs = timer.elapsed();
    return timing;
}

int DiagramBench::run(QList<int> sizes, QTextStream& out)
{
    if (sizes.isEmpty())
        sizes = {7500, 15000, 30000};
    out << "controls\tbuild ms\trestore ms\trename ms\tbuild ratio\trestore ratio\trename ratio\n";
    Timing previous;
    for (const int size : sizes) {
        CmDecisionManager decisions;
        SyntheticTree::fill(decisions, size);
        const Timing timing = measure(decisions);
        out << timing.controls << '\t' << timing.buildMs << '\t' << timing.restoreMs << '\t' << timing.renameMs;
        if (previous.controls * 2 == timing.controls)
            out << '\t' << ratio(timing.buildMs, previous.buildMs) << '\t' << ratio(timing.restoreMs, previous.restoreMs)
                << '\t' << ratio(timing.renameMs, previous.renameMs);
        out << '\n';
        out.flush();
        previous = timing;
    }
    return 0;
}
