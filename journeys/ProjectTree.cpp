#include "journeys/ProjectTree.h"

#include "base/ResourceStrings.h"
#include "compile/SharedCompilePass.h"
#include "model/CmDocument.h"
#include "persist/StorageDocument.h"
#include "runtime/CompiledTree.h"

namespace ProjectTree {
namespace {
constexpr int NotCompiledId = 32556;
} // namespace

StorageResult compile(const CmDecisionManager& decisions, const CmDocument& document, CompiledTree& tree, QString& log)
{
    const SharedCompilePass::CompiledTree compiled = SharedCompilePass::CompileInMemory(decisions, document);
    log = compiled.log;
    if (!compiled.document)
        return StorageResult::failure(StorageErrorKind::Corrupt,
                                      LoadResString(NotCompiledId).arg(document.Name(), compiled.written.message));
    return CompiledTree::read(*compiled.document, tree);
}

} // namespace ProjectTree
