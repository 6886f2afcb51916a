#pragma once

#include <QString>
#include <QStringList>

// The one-text form of an options-and-actions block, as the undo history keeps it.
namespace MTreeViewUtil {

// Every line followed by one TAB, so the text ends with a TAB unless the list is empty.
QString OptsAndActsToString(const QStringList& lines);
// The lines back: split at TAB; the TAB that ends the text makes no extra line.
QStringList OptsAndActsToCol(const QString& text);

} // namespace MTreeViewUtil
