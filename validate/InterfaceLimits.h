#pragma once

#include <QString>

#include <optional>

// The numbers each numeric interface can hold: NumBox a 32-bit signed integer, NumSlide a
// 16-bit signed integer, RealNumBox a single-precision float. Shared by the validator and
// the property dialog.
namespace InterfaceLimits {

// NumBox, RealNumBox and NumSlide.
bool AppliesTo(qint16 type);
bool Holds(qint16 type, double value);
// The number written in text when it is decimal and the interface can hold it.
std::optional<double> Parse(qint16 type, const QString& text);
// The message text that names the interface's limits; 0 for other interfaces.
int LimitMessageId(qint16 type);

} // namespace InterfaceLimits
