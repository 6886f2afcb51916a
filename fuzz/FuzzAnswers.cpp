// The answers file of a run without windows, on any text, run against the sample tree: the
// run must end (done, finished or stopped with a reason) whatever the answers say.
#include "FuzzEnvironment.h"

#include "persist/CsvTable.h"
#include "runtime/AnswerList.h"
#include "runtime/AnsweredRun.h"
#include "runtime/CompiledTree.h"
#include "runtime/RuntimeEngine.h"

#include <cstdlib>

namespace {

CompiledTree& sampleTree()
{
    static CompiledTree tree;
    return tree;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEnvironment::prepare();
    CompiledTree& tree = sampleTree();
    tree.rulesText = FuzzEnvironment::sourceFile("examples/laptop-selector.rules");
    CompiledTree::Table table{QStringLiteral("laptops"), {}};
    if (!CsvTable::parse(FuzzEnvironment::sourceFile("examples/laptops.csv"), table.rows))
        qFatal("the sample table does not read");
    tree.tables.append(table);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    AnswerList answers;
    if (answers.parse(FuzzEnvironment::text(data, size)))
        return 0;
    RuntimeEngine engine;
    if (!engine.load(sampleTree()))
        std::abort();
    AnsweredRun run(engine, answers);
    (void)run.run(QString());
    (void)run.selectorReport(true);
    (void)answers.leftOver();
    return 0;
}
