// The expression parser on any text, then what the runtime does with what it accepts: the
// parsed tree written back as text must read back to the same text, and evaluating it must end
// in a value or a fault of the tree, never in undefined behaviour.
#include "FuzzEnvironment.h"

#include "lang/ExpressionParser.h"
#include "runtime/ExpressionEvaluator.h"
#include "runtime/RuntimeFault.h"

#include <cstdlib>
#include <deque>

namespace {

// Control values and table cells made up from the reference itself, so that every kind of
// value meets every operator.
class MadeUpScope final : public IEvaluationScope {
public:
    RuntimeValue controlValue(const QString& reference) override { return valueFor(reference); }
    RuntimeValue selectorValue(const SelectorReference& reference) override
    {
        return valueFor(reference.property);
    }
    const RuntimeValue& propertyValue(const QString& name) override
    {
        m_cells.push_back(valueFor(name));
        return m_cells.back();
    }

private:
    static RuntimeValue valueFor(const QString& name)
    {
        switch (name.size() % 4) {
        case 0:
            return RuntimeValue::number(name.size() * 1e300);
        case 1:
            return RuntimeValue::guess(name);
        case 2:
            return RuntimeValue::boolean(name.size() % 3 == 0);
        default:
            return RuntimeValue::choices(name.split(QLatin1Char('|')));
        }
    }

    std::deque<RuntimeValue> m_cells;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEnvironment::prepare();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ExpressionParseResult parsed = ExpressionParser::parse(FuzzEnvironment::text(data, size));
    if (!parsed.ok())
        return 0;
    const QString written = parsed.root->toText();
    const ExpressionParseResult again = ExpressionParser::parse(written);
    if (!again.ok() || again.root->toText() != written)
        std::abort();

    MadeUpScope scope;
    ExpressionEvaluator evaluator(scope);
    try {
        (void)evaluator.evaluate(*parsed.root);
    } catch (const RuntimeFault&) {
    }
    return 0;
}
