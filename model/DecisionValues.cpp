#include "model/DecisionValues.h"

#include "base/YesNoWords.h"
#include "base/StringId.h"

#include "base/KvError.h"
#include "base/ResourceStrings.h"
#include "model/OptionRules.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int ErrOverflow = 6;

} // namespace

std::optional<qint16> DecisionValues::Int16Of(const QString& text)
{
    if (!MDecisionDataUtil::IsDecimalNumber(text))
        return std::nullopt;
    // The default rounding mode rounds half to even.
    const double number = std::nearbyint(text.trimmed().toDouble());
    if (!(number >= std::numeric_limits<qint16>::min() && number <= std::numeric_limits<qint16>::max()))
        throw KvError(ErrOverflow, QStringLiteral("MDecisionDataUtil"), QStringLiteral("Overflow"));
    return static_cast<qint16>(number);
}

DecisionValues::Answer DecisionValues::AnswerOf(const QString& text)
{
    const std::optional<bool> answer = YesNoWords::Recognise(text);
    if (!answer)
        return Answer::Other;
    return *answer ? Answer::Yes : Answer::No;
}

QVariant DecisionValues::DefaultFromText(const QString& text)
{
    if (text.isEmpty())
        return {};
    // Held as written ("007", "1.50", "1e-7", twenty digits): a number is read from it only
    // where one is needed, so a record stored again is the record read.
    return text;
}
