#pragma once

#include <QElapsedTimer>

// The milliseconds one piece of work takes.
template <typename Work>
qint64 timed(Work&& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.elapsed();
}
