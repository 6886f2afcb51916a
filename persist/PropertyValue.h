#pragma once

#include <QString>

#include <memory>
#include <variant>

class PropertyTable;

// One stored property: empty, bool, whole number, other number, text or a nested object.
struct PropertyValue {
    using Nested = std::shared_ptr<PropertyTable>;
    std::variant<std::monostate, bool, qint64, double, QString, Nested> data;
};
