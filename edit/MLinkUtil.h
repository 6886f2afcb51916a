#pragma once

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

} // namespace MLinkUtil
