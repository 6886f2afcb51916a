#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

// One control as the decision table of a project stores it: a row per control in the order of
// the tree, each property a column of its own kind.
struct DecisionRecord {
    qint64 position = 0;
    qint64 intIdentifier = 0;
    QString strIdentifier;
    qint64 intControl = 0;
    QString caption;
    QString heading;
    QString picture;
    QStringList optsAndActs;
    QStringList include;
    // Empty, a number or a text, as the control holds it.
    QVariant defaultValue;
    QString min;
    QString max;
    qint64 kvdHelp = 0;
    QString kvwHelp;
    bool dirty = false;
};
