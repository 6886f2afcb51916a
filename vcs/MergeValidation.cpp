#include "vcs/MergeValidation.h"

#include "edit/CanvasModel.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "validate/CcValidation.h"
#include "vcs/ProjectApply.h"

#include <QSet>

namespace {

QString entryKey(const ValidationFindings::Entry& entry)
{
    return entry.message + QLatin1Char('\t') + entry.location + QLatin1Char('\t') + entry.extra;
}

} // namespace

QList<ValidationFindings::Entry> MergeValidation::Errors(const ProjectData& project)
{
    // Validation asks only whether a picture is there: one known by its hash alone is stored
    // empty in this model, which nothing keeps.
    ProjectData model = project;
    for (PictureData& picture : model.pictures) {
        if (picture.bytes.size() != picture.size)
            picture = PictureData::fromBytes(picture.name, QByteArray());
    }
    CmDecisionManager decisions;
    CmDocument document;
    CanvasModel canvas(decisions);
    QList<ValidationFindings::Entry> errors;
    if (const StorageResult written = ProjectApply::Write(model, decisions, document, canvas); !written) {
        errors.append({true, written.message, QString(), QString()});
        return errors;
    }
    CcValidation validation(decisions, document);
    validation.setTargetsForFileType(document.FileType());
    validation.Validate();
    for (const ValidationFindings::Entry& entry : validation.Findings().entries()) {
        if (entry.isError)
            errors.append(entry);
    }
    return errors;
}

QList<ValidationFindings::Entry> MergeValidation::CausedErrors(const ProjectData& ours, const ProjectData& theirs,
                                                               const ProjectData& merged)
{
    QSet<QString> known;
    for (const ProjectData* side : {&ours, &theirs}) {
        for (const ValidationFindings::Entry& entry : Errors(*side))
            known.insert(entryKey(entry));
    }
    QList<ValidationFindings::Entry> caused;
    for (const ValidationFindings::Entry& entry : Errors(merged)) {
        if (!known.contains(entryKey(entry)))
            caused.append(entry);
    }
    return caused;
}
