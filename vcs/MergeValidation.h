#pragma once

#include "validate/ValidationFindings.h"
#include "vcs/ProjectData.h"

// Whether a merge broke what validated before: the merged project is validated as the
// compilers would (for the runtimes its file type names), and every error that neither side
// had on its own was caused by the merge.
namespace MergeValidation {

// The errors of a project's data, validated in a model of its own, in memory.
QList<ValidationFindings::Entry> Errors(const ProjectData& project);

// The merged project's errors that are not errors of ours or of theirs.
QList<ValidationFindings::Entry> CausedErrors(const ProjectData& ours, const ProjectData& theirs,
                                              const ProjectData& merged);

} // namespace MergeValidation
