#pragma once

#include <QString>
#include <QVariant>

#include <memory>
#include <variant>

class PropertyTable;

// One stored property: empty, bool, whole number, other number, text or a nested object.
struct PropertyValue {
    using Nested = std::shared_ptr<PropertyTable>;
    std::variant<std::monostate, bool, qint64, double, QString, Nested> data;

    // Empty for an invalid or null value, else the kind the value has; text for any other type.
    static PropertyValue fromVariant(const QVariant& value);
};
