#pragma once

#include <QString>

// A fault of the tree met while running it (an unknown reference, a division by zero, a loop).
// It ends the run with an error event; it never escapes the engine.
struct RuntimeFault {
    QString message;
};
