#pragma once

#include "base/StartUpTables.h"
#include "cli/ProjectSession.h"
#include "cli/TextCommand.h"
#include "common/SyntheticTree.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "vcs/ControlProperties.h"
#include "vcs/ProjectApply.h"
#include "vcs/ProjectCapture.h"
#include "vcs/ProjectSettings.h"

#include <QTextStream>

// Generated projects as plain data, and their way to and from project files.
namespace VcsProjects {

// A tree of generated controls with the document's settings, a place for each control, two
// selectors, two pictures and two journeys.
inline ProjectData generated(int controlCount)
{
    StartUpTables::Fill();
    CmDecisionManager decisions;
    CmDocument document;
    SyntheticTree::fill(decisions, controlCount);
    SyntheticTree::fillDocument(document);
    ProjectData project;
    if (!ProjectCapture::Read(decisions, document, nullptr, project))
        return {};
    for (auto& [key, value] : project.settings) {
        if (key == ProjectSettings::Name)
            value = QStringLiteral("generated");
    }
    for (const ControlData& control : project.controls)
        project.layout[control.id] = QRectF((control.id % 12) * 120.5, (control.id / 12) * 80, 92, 36);
    SelectorData laptops{QStringLiteral("Laptops"), {{QStringLiteral("Name"), QStringLiteral("Price"), QStringLiteral("Weight"),
                                                      QStringLiteral("Note")}}};
    for (int i = 1; i <= 20; ++i)
        laptops.rows.append({QStringLiteral("Model %1").arg(i), QString::number(400 + i * 75), QStringLiteral("1.%1").arg(i),
                             i % 4 == 0 ? QStringLiteral("light, \"quiet\"\nand cool") : QString()});
    // In the storage's order: by name without regard to case.
    project.selectors.push_back({QStringLiteral("Colours"), {{QStringLiteral("Colour")}, {QStringLiteral("Red")}, {QStringLiteral("Blue")}}});
    project.selectors.push_back(laptops);
    project.pictures.push_back(PictureData::fromBytes(QStringLiteral("picture10.jpg"), QByteArray(300, 'x')));
    project.pictures.push_back(PictureData::fromBytes(QStringLiteral("picture5.jpg"), QByteArray("\xff\xd8 not really a JPEG", 20)));
    Journey cheap;
    cheap.name = QStringLiteral("Cheap and cheerful");
    cheap.answers = {{QStringLiteral("Step1"), QStringLiteral("Red, dark")}, {QStringLiteral("Step2"), QStringLiteral("line\\n one")}};
    cheap.path = {QStringLiteral("Step1"), QStringLiteral("Step2")};
    cheap.end = Journey::End::Open;
    Journey done;
    done.name = QStringLiteral("All the way");
    done.start = QStringLiteral("Step3");
    done.answers = {{QStringLiteral("Step3"), QStringLiteral("4")}};
    done.values = {{QStringLiteral("Step3"), QStringLiteral("4")}};
    project.journeys = {cheap, done};
    return project;
}

// Writes the data as a new project file; the reason when it cannot.
inline QString save(const ProjectData& project, const QString& path)
{
    QString errors;
    QTextStream err(&errors);
    ProjectSession session(err);
    const StorageResult written = ProjectApply::Write(project, session.Decisions(), session.Document(), session.Canvas());
    if (!written)
        return written.message;
    if (!session.SaveAs(path)) {
        err.flush();
        return errors.isEmpty() ? QStringLiteral("not saved") : errors;
    }
    return QString();
}

inline std::optional<ProjectData> load(const QString& path)
{
    QString errors;
    QTextStream err(&errors);
    ProjectData project;
    if (!TextCommand::ReadProject(path, project, err))
        return std::nullopt;
    return project;
}

// The project as it is after being saved under the name "generated".
inline ProjectData named(ProjectData project, const QString& name = QStringLiteral("generated"))
{
    for (auto& [key, value] : project.settings) {
        if (key == ProjectSettings::Name)
            value = name;
    }
    return project;
}

} // namespace VcsProjects
