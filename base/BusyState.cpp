#include "base/BusyState.h"

void BusyState::enter()
{
    if (m_depth++ == 0)
        emit busyChanged(true);
}

void BusyState::leave()
{
    if (--m_depth == 0)
        emit busyChanged(false);
}
