#pragma once

#include <QString>
#include <QStringList>

class CmDecisionManager;

// A rules text: an optional "BEGIN" line, then the stored record of each control, one a line,
// lines ending with CR LF or LF. A page header may carry line breaks inside its quotes; empty
// lines are skipped.
namespace RulesText {

struct ReadResult {
    bool ok = true;
    // The line the failing record begins on, from 1.
    int line = 0;
    // What failed and where, ready to show.
    QString message;
    int controls = 0;
};

// Adds a control for each record to decisions, in text order, each keeping its ID and name.
// A record that cannot become a control (too few fields, an ID that is no number from 1 to
// 32767 or is taken, an invalid or taken name, an unknown interface, a help id or displayed
// control that is no number, an unclosed quote or text after a closing quote) stops the
// reading: nothing is added.
ReadResult Read(const QString& text, CmDecisionManager& decisions);

// The stored record of every decision, in decision order.
QStringList Records(const CmDecisionManager& decisions);

} // namespace RulesText
