#pragma once

#include <QString>

class CmDecisionManager;
class IPrompt;

// One-off conversions of projects written by older versions.
namespace MUpdateUtil {

// Every '"' followed by '\' becomes '\' followed by '"', left to right.
QString UpdateQE(const QString& text);

// The lines of a Check or Command control in the old layout, in the current one. Actions
// before "^TRUE" stay pre-actions; without a "^TRUE" line there are none. Actions up to
// "!OTHERWISE" belong to the first option, those after it to the second; "^FALSE" lines go.
// Lines without any old marker come back unchanged.
QStringList ConvertOldLayout(const QStringList& lines, qint16 type);

// Asks first (OK, Cancel), then converts every control of the type. The number of controls
// changed, or -1 when the author cancelled.
int UpdateControls(CmDecisionManager& decisions, qint16 type, IPrompt& prompt);
// The same, followed by the message of the count (tools 180 and 181).
void UpdateControlsCommand(CmDecisionManager& decisions, qint16 type, IPrompt& prompt);

// A !SORT line with its old direction words (Ascending, Descending, Asc, Desc, 0, 1, -1) as
// FALSE or TRUE; other lines unchanged.
QString UpdateSortLine(const QString& line);
// Every !SORT line of every control, then the message of success or failure (tool 183).
void UpdateSortOrder(CmDecisionManager& decisions, IPrompt& prompt);

} // namespace MUpdateUtil
