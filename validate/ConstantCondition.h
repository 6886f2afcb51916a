#pragma once

#include <QString>

#include <functional>

class ExpressionNode;

// Whether the test of an !IF or !ELSEIF certainly has the same outcome on every run: it reads
// nothing of the run (literals only), or it compares one control's value with itself.
namespace ConstantCondition {

// The control a reference (the text between the brackets) names, as a number two references
// share exactly when they name the same control; -1 for no control of the tree, and for a
// multiple choice, which compared with itself is "one of its own choices" and so not constant.
using ControlKey = std::function<int(const QString& reference)>;

bool Holds(const ExpressionNode& test, const ControlKey& controlKey);

} // namespace ConstantCondition
