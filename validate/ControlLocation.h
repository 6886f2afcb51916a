#pragma once

#include <QString>

class CmDecisionItem;

// Where a finding stands: the control's name, ".", and the label of the property concerned.
namespace ControlLocation {

// The name, or "_" and the number for a control that has none.
QString NameOf(const CmDecisionItem& decision);
QString Of(const CmDecisionItem& decision, int labelId);

} // namespace ControlLocation
