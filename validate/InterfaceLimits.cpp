#include "validate/InterfaceLimits.h"

#include "model/MDecisionDataUtil.h"
#include "model/OptionRules.h"

#include <cmath>
#include <limits>

namespace {

using namespace MDecisionDataUtil;

bool isWholeBetween(double value, double lowest, double highest)
{
    return value >= lowest && value <= highest && std::trunc(value) == value;
}

// Zero and the magnitudes a float keeps, its smallest subnormal included.
bool fitsSingle(double value)
{
    const double magnitude = std::fabs(value);
    return value == 0.0
           || (magnitude >= double(std::numeric_limits<float>::denorm_min())
               && magnitude <= double(std::numeric_limits<float>::max()));
}

} // namespace

bool InterfaceLimits::AppliesTo(qint16 type)
{
    return type == NumBox || type == RealNumBox || type == NumSlide;
}

bool InterfaceLimits::Holds(qint16 type, double value)
{
    switch (type) {
    case NumBox:
        return isWholeBetween(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    case NumSlide:
        return isWholeBetween(value, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max());
    case RealNumBox:
        return fitsSingle(value);
    default:
        return false;
    }
}

std::optional<double> InterfaceLimits::Parse(qint16 type, const QString& text)
{
    if (!IsDecimalNumber(text))
        return std::nullopt;
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !Holds(type, value))
        return std::nullopt;
    return value;
}

int InterfaceLimits::LimitMessageId(qint16 type)
{
    switch (type) {
    case NumBox:
        return 33400;
    case RealNumBox:
        return 33401;
    case NumSlide:
        return 33402;
    default:
        return 0;
    }
}
