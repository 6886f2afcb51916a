#include "RuntimeBench.h"

#include "runtime/CompiledTree.h"
#include "runtime/RuntimeEngine.h"

#include <QElapsedTimer>
#include <QtGlobal>
#include <QRandomGenerator>
#include <QTextStream>

#include <algorithm>

namespace {

// Page i removes the items whose score is below i * items / pages, so the selector empties
// evenly over the run, and sorts what is left by group, then by price, dearest first.
// KV_BENCH_ONLY=kill or =sort leaves the other action out, to time one at a time.
CompiledTree generate(int pages, int items)
{
    CompiledTree tree;
    QStringList lines{QStringLiteral("BEGIN")};
    const int step = std::max(1, items / pages);
    for (int page = 1; page <= pages; ++page) {
        const QString next = page < pages ? QStringLiteral("!GO P%1").arg(page + 1) : QStringLiteral("!GO End");
        QString actions;
        if (qEnvironmentVariable("KV_BENCH_ONLY") != QLatin1String("sort"))
            actions += QStringLiteral("!KILL Items: Score < %1\t").arg(page * step);
        if (qEnvironmentVariable("KV_BENCH_ONLY") != QLatin1String("kill"))
            actions += QStringLiteral("\"!SORT Items: Group, Price; False, True\"\t");
        lines.append(QStringLiteral("%1\t\tP%1\t\t\t\"Page %1\"\tInfo\t%2%3\t").arg(page).arg(actions, next));
    }
    lines.append(QStringLiteral("%1\t\tEnd\t\t\t\"Done\"\tDone\t").arg(pages + 1));
    tree.rulesText = lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n");

    CompiledTree::Table table{QStringLiteral("Items"), {{"Name", "Score", "Group", "Price"}}};
    QRandomGenerator random(20261206);
    for (int item = 0; item < items; ++item)
        table.rows.append({QStringLiteral("Item%1").arg(item), QString::number(random.bounded(items)),
                           QStringLiteral("G%1").arg(random.bounded(20)), QString::number(random.bounded(100000))});
    tree.tables.append(std::move(table));
    return tree;
}

} // namespace

int RuntimeBench::run(int pages, int items, QTextStream& out)
{
    RuntimeEngine engine;
    engine.setStepLimit(pages + 10);
    if (!engine.load(generate(pages, items))) {
        out << "the generated tree did not load\n";
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    engine.start();
    int shown = 1;
    while (engine.isRunning() && !engine.onDonePage() && engine.next())
        ++shown;
    const qint64 forwardMs = timer.elapsed();
    if (!engine.onDonePage() || shown != pages + 1) {
        out << "the run stopped early: " << engine.errorText() << '\n';
        return 1;
    }
    timer.restart();
    while (engine.back()) {
    }
    const qint64 backMs = timer.elapsed();
    out << "pages\titems\trun ms\tback ms\n"
        << pages << '\t' << items << '\t' << forwardMs << '\t' << backMs << '\n';
    return 0;
}
