#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What a link drawn on the diagram writes into its source control.
namespace MLinkUtil {

// The go line "!GO target".
QString GoLine(const QString& target);

// The lines with the go line to target added: after the line "^" + option when one is equal
// to it, otherwise at the top as a pre-action; inside an !IF block when expression is given.
QStringList AddLinkLines(const QStringList& lines, const QString& option, const QString& expression,
                         const QString& target);

// One link of a control as the diagram draws it: a !GO line, the option whose group holds it
// (empty for a pre-action) and its target as written.
struct Link {
    qsizetype line = -1;
    QString option;
    QString target;
};
// Every !GO line of the lines, in order.
QList<Link> Links(const QStringList& lines);
// The lines without the !GO lines of the option's group (empty: the pre-actions) that lead
// to target (without regard to case or blanks); anything else is left as it was.
QStringList RemoveLinkLines(const QStringList& lines, const QString& option, const QString& target);

} // namespace MLinkUtil
