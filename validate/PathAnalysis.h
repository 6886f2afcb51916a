#pragma once

class CmDecisionManager;
class IValidationLog;

// Follows the paths a run can take through a tree and reports, as warnings in the validation
// log's form, what cannot work: controls no path from the first control reaches; controls from
// which no done page or finish can be reached; loops of controls that lead only to one another;
// !GO actions that never decide the next page because another !GO always runs after them; and
// !IF and !ELSEIF tests whose outcome never changes.
//
// A path goes from a page (a control and the controls it displays) to the target of any !GO
// of the page, and, when some answer runs no !GO, to the control with the next ID. Answers are
// as ControlFlow counts them; a page left with no answer given is no path. The work is linear in
// the size of the tree: one index of the controls, one graph, and a few searches over it.
namespace PathAnalysis {

// Writes every finding to log, control by control in decision order and by line within one;
// answers how many it wrote.
int Run(const CmDecisionManager& decisions, IValidationLog& log);

} // namespace PathAnalysis
