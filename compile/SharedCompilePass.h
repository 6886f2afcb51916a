#pragma once

#include "base/StorageResult.h"

#include <QString>

#include <memory>

class CmDecisionManager;
class CmDocument;
class NewIntIdTable;
class StorageDocument;

// The compile pass that the desktop compile and the test runner share: validation for the
// desktop runtime, the numbering, and the desktop tree file's form (see KvdTreeWriter for its
// layout) built in a storage document in memory.
namespace SharedCompilePass {

struct CompiledTree {
    // The compiled form, open in memory; null when validation found errors or writing failed.
    std::unique_ptr<StorageDocument> document;
    bool errors = false;
    bool warnings = false;
    // The validation log, in the log file's form.
    QString log;
    // What failed while the form was written; ok when nothing did.
    StorageResult written;
};

// For callers that run the compiled tree: the project as the desktop runtime would get it. The
// callers add the external selectors' tables, so a !KILL or !SORT on one is accepted.
CompiledTree CompileInMemory(const CmDecisionManager& decisions, const CmDocument& document);

// Fills target (newly created) with the compiled form of the numbered decisions.
StorageResult BuildDesktopTree(const CmDecisionManager& decisions, const CmDocument& document,
                               const NewIntIdTable& numbers, StorageDocument& target);

} // namespace SharedCompilePass
