#include "base/YesNoWords.h"

#include "base/ResourceStrings.h"
#include "base/StringId.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<int, 3> YesIds{8080, 8082, StringId::TrueText};
constexpr std::array<int, 3> NoIds{8081, 8083, StringId::FalseText};

bool matchesAny(const QString& text, const std::array<int, 3>& ids)
{
    return std::any_of(ids.cbegin(), ids.cend(),
                       [&](int id) { return text.compare(LoadResString(id), Qt::CaseInsensitive) == 0; });
}

} // namespace

std::optional<bool> YesNoWords::Recognise(const QString& word)
{
    const QString trimmed = word.trimmed();
    if (matchesAny(trimmed, YesIds))
        return true;
    if (matchesAny(trimmed, NoIds))
        return false;
    return std::nullopt;
}
