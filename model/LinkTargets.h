#pragma once

#include <QStringList>

class CmDecisionItem;
class CmDecisionManager;

namespace MDecisionDataUtil {

// The controls that the decision can lead to, for drawing its links: the targets of its !GO
// actions (keyword without regard to case), each once, in the order of the lines; then, when
// some answer can run no !GO, the control with the next ID, which the runtime goes to then.
// IDs that no control has are skipped. A Done control leads nowhere.
//
// An answer surely runs a !GO when the pre-actions or its own actions hold one outside any
// !IF block, or an !IF block with an !ELSE of which every branch surely runs one. Each option
// is an answer; without options the pre-actions alone are; a numeric interface also has the
// answer that falls in none of its ranges.
QStringList GetLinkTargets(const CmDecisionItem& decision, const CmDecisionManager& decisions);

} // namespace MDecisionDataUtil
