#pragma once

#include <QString>
#include <QVariant>

#include <optional>

// How the texts of a record and of the properties window become a decision's values.
namespace DecisionValues {

// A decimal number rounded half to even into 16 bits; nullopt when the text is no number.
// Throws KvError (overflow) when the number does not fit.
std::optional<qint16> Int16Of(const QString& text);

enum class Answer { Yes, No, Other };
// A Check or Command answer under any of its wordings: Checked, Pushed, True and Not Checked,
// Not Pushed, False, without regard to case.
Answer AnswerOf(const QString& text);

// A default typed in or read back: empty for the empty text, otherwise the text as written,
// for every interface; whether it is a number is the number rule's to say when one is needed.
QVariant DefaultFromText(const QString& text);

} // namespace DecisionValues
