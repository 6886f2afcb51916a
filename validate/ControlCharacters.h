#pragma once

#include <QString>
#include <QStringView>

#include <optional>

class CmDecisionItem;
class IValidationLog;

// Control characters (below U+0020 but TAB, LF and CR) in what a run shows. A web tree is XML,
// which cannot hold them at all, so the web compiler would have to leave them out and the two
// runtimes would show different text; a pasted or imported text is where they come from.
// Each field that holds one is an error, naming the character.
namespace ControlCharacters {

// The position of the first control character in text, or nullopt when there is none.
std::optional<qsizetype> FindIn(QStringView text);
// Reports each field of the decision that holds one: caption, page header, options and actions,
// default value, picture, help, minimum and maximum.
void Check(const CmDecisionItem& decision, IValidationLog& log);

} // namespace ControlCharacters
