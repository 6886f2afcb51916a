#pragma once

#include "base/StorageResult.h"

#include <QString>

class CmDecisionManager;
class CmDocument;
struct CompiledTree;

// The project being edited as the desktop runtime gets it, compiled in memory, so that journeys
// run on the tree as it stands, saved or not.
namespace ProjectTree {

// The validation log goes to log; a failure when validation found errors or the tree could not
// be built.
StorageResult compile(const CmDecisionManager& decisions, const CmDocument& document, CompiledTree& tree, QString& log);

} // namespace ProjectTree
