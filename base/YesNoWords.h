#pragma once

#include <QString>

#include <optional>

// The one reading of a yes/no answer: "Checked", "Pushed" and "True" are yes, "Not Checked",
// "Not Pushed" and "False" are no, in any letter case and with blanks around; anything else is
// neither. The model, the runtime and the pages all ask here.
namespace YesNoWords {

std::optional<bool> Recognise(const QString& word);

} // namespace YesNoWords
