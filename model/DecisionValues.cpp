#include "model/DecisionValues.h"

#include "base/StringId.h"

#include "base/KvError.h"
#include "base/ResourceStrings.h"
#include "model/OptionRules.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int ErrOverflow = 6;
constexpr int YesIds[] = {8080, 8082, StringId::TrueText};
constexpr int NoIds[] = {8081, 8083, StringId::FalseText};

bool matchesAny(const QString& text, const int (&ids)[3])
{
    return std::any_of(std::begin(ids), std::end(ids),
                       [&](int id) { return text.compare(LoadResString(id), Qt::CaseInsensitive) == 0; });
}

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
    const QString trimmed = text.trimmed();
    if (matchesAny(trimmed, YesIds))
        return Answer::Yes;
    if (matchesAny(trimmed, NoIds))
        return Answer::No;
    return Answer::Other;
}

QVariant DecisionValues::DefaultFromText(const QString& text)
{
    if (text.isEmpty())
        return {};
    // Held as written ("007", "1.50", "1e-7", twenty digits): a number is read from it only
    // where one is needed, so a record stored again is the record read.
    return text;
}
