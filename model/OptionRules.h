#pragma once

#include "model/MDecisionDataUtil.h"

#include <QLatin1String>
#include <QString>
#include <QStringList>

class CmDecisionItem;

// The rules that tie a decision's option lines to its input interface, and the small checks
// that the editors and the validator share.
namespace MDecisionDataUtil {

// The option name by which a caller means the pre-actions (the actions before the first option).
inline constexpr QLatin1String PreActionName("_PREACTION");

// The two fixed answers of a Check ("Checked", "Not Checked") or Command ("Pushed",
// "Not Pushed") control, yes first; empty for any other interface.
QStringList FixedOptions(qint16 type);

// Whether the interface keeps an option with this text (without "^") when the lines are loaded.
bool OptionAllowed(qint16 type, const QString& option);

// Whether any line of the decision is an option.
bool HasOptions(const CmDecisionItem& decision);

// Removes the option lines that the decision's interface refuses: Check keeps exactly
// "Checked" and "Not Checked", Command "Pushed" and "Not Pushed", StringBox and TextArea no
// option, the numeric interfaces numeric ranges; the others keep every option. Actions and
// help are never removed. The change is no edit: no undo record is made.
void ValidOptions(CmDecisionItem& decision);
void ValidOptions(QStringList& lines, qint16 type);

// Adapts the option lists to a change of interface, by family: Check and Command, the
// numeric interfaces, those without options (Info, Done) and the list-like rest. current is
// the list of the old type's data kind; spare1 and spare2 are the lists of the other two kinds,
// the lower kind code first. The list of the new type's kind becomes current:
// - it takes over the pre-actions of the old list, which keeps its own copy;
// - for Check and Command, the options that mean yes or no (Checked, Pushed, True and
//   Not Checked, Not Pushed, False, without regard to case) get the new interface's wording,
//   and a missing one of the two is added at the end;
// - an option the new interface refuses goes with its whole group (its actions and help), so
//   that no action is left to run for another answer or for every answer;
// - on the choice list, an interface that answers without options (StringBox, TextArea,
//   Info, Done) keeps only the lines before the first option: the option groups move to
//   setAside, and return to the end of the list when an interface that answers with options
//   is current again.
// The lists of the other kinds keep their lines, so a trip away and back leaves what every
// answer does as it was. Nothing changes when the type stays the same.
void SwitchOptions(QStringList& current, QStringList& spare1, QStringList& spare2, qint16 oldType, qint16 newType,
                   QStringList& setAside);

// Replaces the pre-actions of "to" by those of "from". Lines of "to" before its first option
// that are no actions stay, after the new pre-actions.
void CopyPreActions(const QStringList& from, QStringList& to);

// The action wizard's result: TAB-separated, first the option (its text without "^", or
// PreActionName), then the action lines, which go at the end of that option's group (of the
// pre-actions). The decision's list is set as an edit (undo record, previews); the caller
// redraws the properties window and the links. False when the option does not exist.
bool SaveActions(CmDecisionItem& decision, const QString& text);

// NumBox, RealNumBox and NumSlide.
bool IsNumericInterface(qint16 type);
// An ASCII letter, then ASCII letters, digits and "_"; not empty.
bool IsValidControlName(const QString& name);
// "low-high", "-high" or "low-" with decimal numbers, split at the first "-" (so a lower end
// cannot be negative); a leading "^" is ignored, blanks around a number are allowed.
bool IsValidRange(const QString& text);
// The program's number rule (MCommonUtil::IsNumeric) where the option rules need it: the ends
// of a range, and an option that the expression builder writes without quotes.
bool IsDecimalNumber(const QString& text);

} // namespace MDecisionDataUtil
