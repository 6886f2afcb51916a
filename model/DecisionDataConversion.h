#pragma once

#include <QString>
#include <QStringList>

class CmDecisionItem;
class CmDecisionManager;
class IPrompt;

// The stored decision record, one line of text per decision: what the desktop rules text holds
// for each control and what a decision is rebuilt from; and the lookups that go with it.
namespace MDecisionDataUtil {

// Every double quote that no backslash precedes gets one.
QString AddQuoteEscapes(const QString& text);

// Every field followed by a TAB: the ID; the displayed controls by number, in quotes; name;
// picture; desktop help id; the page header in quotes with its quotes escaped; the interface.
// Then, only when set: "&" and the default, "$" and the caption (never for Check); one field per
// option-and-action line in the runtime's form; the closing field (a Check's "$" and caption, a
// numeric interface's "^min-max" when it has no option). Displayed controls are looked up in
// decisions; without any, only entries that are numbers already are written.
QString StoreDecision(const CmDecisionItem& decision, const CmDecisionManager* decisions);

// Replaces what the record carries; the web help address and the option lists of the other
// data kinds stay. StoreDecision of the result gives the same record back: a Check or Command
// control's ^True and ^False become its own two options again, !SORT orders become words again,
// and a numeric interface's closing range becomes its minimum and maximum. On a failure the
// decision is unchanged, the error is reported and the user told through tell, when given; the
// answer is then false.
bool LoadDecision(CmDecisionItem& decision, const QString& text, IPrompt* tell = nullptr);

// The default in the runtime's form: "TRUE" or "FALSE" for Check and Command (empty when there
// is none), the value for a numeric interface only when it is a number, else the value.
QString GetDefault(const CmDecisionItem& decision);

// The name of the decision whose number id spells in decimal; empty when none has it.
QString GetDecisionName(const QString& id, const CmDecisionManager& decisions);
// The key of the decision numbered id; empty when none has it.
QString GetDecisionName(qint16 id, const CmDecisionManager& decisions);

// The controls that may still be displayed with the decision, in decision order: every one
// numbered above 0 but the decision itself and those it displays. An unnamed one by its key.
QStringList GetNotIncluded(const CmDecisionItem& decision, const CmDecisionManager& decisions);

} // namespace MDecisionDataUtil
