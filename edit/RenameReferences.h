#pragma once

#include <QString>
#include <QStringList>

class CmDecisionItem;
class CmDecisionManager;

// Carries a control's new name into every place of the tree that refers to it.
namespace RenameReferences {

// "[[old]]" becomes "[[new]]" everywhere in the text.
QString InReference(const QString& text, const QString& oldName, const QString& newName);
// An action line after the rename: its "[[old]]" references, then the target of !GO,
// !DEFAULT or !SET when it is old (case counts). The target is compared without the blanks
// around it, which stay as the author wrote them. Other lines come back unchanged.
QString InAction(const QString& line, const QString& oldName, const QString& newName);
// Page headers, displayed controls (any letter case) and action lines of every control; each
// control changed is reported to the manager's listeners.
void UpdateAll(CmDecisionManager& decisions, const QString& oldName, const QString& newName);
// The same in one control, silently; true when anything changed.
bool UpdateOne(CmDecisionItem& item, const QString& oldName, const QString& newName);

} // namespace RenameReferences
