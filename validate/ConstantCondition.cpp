#include "validate/ConstantCondition.h"

#include "lang/ExpressionNode.h"

namespace {

bool readsTheRun(const ExpressionNode& node)
{
    const ExpressionKind kind = node.kind();
    return kind == ExpressionKind::ControlReference || kind == ExpressionKind::SelectorReference
           || kind == ExpressionKind::Property;
}

bool isComparison(ExpressionOperator op)
{
    return ExpressionNode::precedence(op) == ExpressionNode::CompareLevel;
}

} // namespace

bool ConstantCondition::Holds(const ExpressionNode& test, const ControlKey& controlKey)
{
    bool readsRun = false;
    test.visit([&readsRun](const ExpressionNode& node) { readsRun = readsRun || readsTheRun(node); });
    if (!readsRun)
        return true;
    if (test.kind() != ExpressionKind::Binary || !isComparison(test.op()))
        return false;
    const ExpressionNode& left = test.operand(0);
    const ExpressionNode& right = test.operand(1);
    if (left.kind() != ExpressionKind::ControlReference || right.kind() != ExpressionKind::ControlReference)
        return false;
    const int key = controlKey(left.text());
    return key >= 0 && key == controlKey(right.text());
}
