#include "compile/SharedCompilePass.h"

#include "compile/KvdTreeWriter.h"
#include "compile/KvwNotation.h"
#include "compile/NewIntIdTable.h"
#include "model/CmDocument.h"
#include "persist/StorageDocument.h"
#include "validate/CcValidation.h"

namespace SharedCompilePass {

namespace {
constexpr qint32 CalledFromApplication = 3;
}

StorageResult BuildDesktopTree(const CmDecisionManager& decisions, const CmDocument& document,
                               const NewIntIdTable& numbers, StorageDocument& target)
{
    if (StorageResult created = target.create(); !created)
        return created;
    KvwNotation notation(decisions, numbers);
    notation.setCompilingKVW(false);
    notation.setCompilingKVD(true);
    const KvdTreeWriter writer(numbers, notation);
    const std::optional<QString> key = document.FileType() == CalledFromApplication
                                           ? std::optional<QString>(KvdTreeWriter::CreateCallingAppKey(document.Name()))
                                           : std::nullopt;
    return writer.WriteInto(target, document.Storage(), key);
}

CompiledTree CompileInMemory(const CmDecisionManager& decisions, const CmDocument& document)
{
    CompiledTree result;
    CcValidation validation(decisions, document);
    validation.setCompileKVW(false);
    validation.setCompileKVD(true);
    // Those who run this form read the external selectors' tables themselves.
    validation.setExternalTablesSupplied(true);
    validation.Validate();
    result.errors = validation.Error();
    result.warnings = validation.Warning();
    result.log = validation.Log();
    if (result.errors)
        return result;
    NewIntIdTable numbers;
    numbers.build(decisions);
    auto target = std::make_unique<StorageDocument>();
    result.written = BuildDesktopTree(decisions, document, numbers, *target);
    if (result.written)
        result.document = std::move(target);
    return result;
}

} // namespace SharedCompilePass
