#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <limits>

// How much longer work(2n) takes than work(n), best of three runs each. Linear work gives
// about 2 (up to 3 once caches and a sanitizer's bookkeeping feel the larger size), work that
// grows with the square about 4; the ratio does not depend on how fast the machine is. Work
// whose cost per step grows a little with the size (a B-tree's depth) is told apart better at
// a larger factor: linear about 4 at factor 4, the square 16.
template <typename Work>
double GrowthRatio(Work&& work, int n, int factor = 2)
{
    const auto best = [&](int size) {
        qint64 fastest = std::numeric_limits<qint64>::max();
        for (int round = 0; round < 3; ++round) {
            QElapsedTimer timer;
            timer.start();
            work(size);
            fastest = std::min(fastest, timer.nsecsElapsed());
        }
        return std::max<qint64>(fastest, 1);
    };
    const qint64 single = best(n);
    return double(best(factor * n)) / double(single);
}
