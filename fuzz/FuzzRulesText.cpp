// The readers of stored decision records on any text: the Designer's rules text (one record a
// line, as from-rules reads it) and the runtime's (the rules of a desktop tree file). The
// records the Designer writes for what it read must read back to the same records; the runtime
// must load the text or refuse it, and a run over what it loaded must end by itself.
#include "FuzzEnvironment.h"

#include "model/CmDecisionManager.h"
#include "model/RulesText.h"
#include "runtime/CompiledTree.h"
#include "runtime/RuntimeEngine.h"

#include <cstdlib>

namespace {

constexpr int PagesToWalk = 20;

void readAsDesigner(const QString& text)
{
    CmDecisionManager decisions;
    if (!RulesText::Read(text, decisions).ok)
        return;
    const QStringList records = RulesText::Records(decisions);
    CmDecisionManager again;
    if (!RulesText::Read(records.join(QLatin1String("\r\n")), again).ok || RulesText::Records(again) != records)
        std::abort();
}

void readAsRuntime(const QString& text)
{
    CompiledTree tree;
    tree.rulesText = text;
    RuntimeEngine engine;
    if (!engine.load(tree) || !engine.start())
        return;
    for (int page = 0; page < PagesToWalk && engine.isRunning(); ++page) {
        if (!engine.next())
            break;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEnvironment::prepare();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = FuzzEnvironment::text(data, size);
    readAsDesigner(text);
    readAsRuntime(text);
    return 0;
}
