#include "persist/PropertyValue.h"

PropertyValue PropertyValue::fromVariant(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Bool:
        return {value.toBool()};
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return {value.toLongLong()};
    case QMetaType::Double:
    case QMetaType::Float:
        return {value.toDouble()};
    default:
        return {value.toString()};
    }
}
