#pragma once

#include <QString>

// One control in the level search of the automatic layout.
struct CmBFSItem {
    QString key;
    bool found = false;
    bool visited = false;
    qint16 level = 0;
};
