// Times the text form and the diff of generated projects: `kestrova-bench-vcs [N ...]`.
#include "BenchTimer.h"
#include "base/StartUpTables.h"
#include "common/ScriptedPrompt.h"
#include "common/SyntheticTree.h"
#include "project/Project.h"
#include "vcs/ControlProperties.h"
#include "vcs/ProjectApply.h"
#include "vcs/ProjectCapture.h"
#include "vcs/ProjectDiff.h"
#include "vcs/ProjectText.h"
#include "vcs/ReferenceUpdate.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

struct Timing {
    int controls = 0;
    qint64 captureMs = 0;
    qint64 writeMs = 0;
    qint64 describeMs = 0;
    qint64 openMs = 0; // Inspect alone, the larger part of both commands
    qint64 textCommandMs = 0;
    qint64 diffCommandMs = 0;
    qsizetype textBytes = 0;
    qsizetype diffLines = 0;
};

// What a day's work changes: a caption in every hundredth control, a line added to every
// two-hundredth, ten controls renamed with their references, and a place in every fiftieth.
ProjectData edited(ProjectData project)
{
    ReferenceUpdate renames;
    int renamed = 0;
    for (ControlData& control : project.controls) {
        if (control.id % 100 == 0)
            control.setValue(ControlProperties::Caption, QStringLiteral("Changed %1").arg(control.id));
        if (control.id % 200 == 7)
            control.lines.append(QStringLiteral("?Added help %1").arg(control.id));
        if (control.id % 50 == 0)
            project.layout[control.id] = QRectF(-100, control.id, 92, 36);
        if (control.id % 997 == 1 && !control.name.isEmpty() && renamed < 10) {
            renames.add(control.name, control.name + QStringLiteral("Renamed"));
            control.name += QStringLiteral("Renamed");
            ++renamed;
        }
    }
    renames.applyTo(project);
    return project;
}

bool saveProject(const ProjectData& data, const QString& path)
{
    ScriptedPrompt prompt;
    Project project(prompt);
    project.Document().setKeepsWorkingCopy(false);
    return ProjectApply::Write(data, project.Decisions(), project.Document(), project.Canvas()).ok()
        && project.SaveAs(path).done();
}

// What `kestrova text` and `kestrova diff` do with a file: read the project without holding it.
ProjectData readFile(const QString& path)
{
    ScriptedPrompt prompt;
    Project project(prompt);
    ProjectData data;
    if (!project.Inspect(path) || !ProjectCapture::Read(project.Decisions(), project.Document(), nullptr, data))
        qFatal("reading %s failed", qPrintable(path));
    return data;
}

Timing measure(int controls, const QString& folder)
{
    Timing timing;
    timing.controls = controls;
    ScriptedPrompt prompt;
    Project project(prompt);
    SyntheticTree::fill(project.Decisions(), controls);
    SyntheticTree::fillDocument(project.Document());
    ProjectData before;
    timing.captureMs = timed([&] { ProjectCapture::Read(project.Decisions(), project.Document(), &project.Canvas(), before); });
    QString text;
    timing.writeMs = timed([&] { text = ProjectText::Write(before); });
    timing.textBytes = text.toUtf8().size();
    const ProjectData after = edited(before);
    QString changes;
    timing.describeMs = timed([&] { changes = ProjectDiff::Describe(before, after); });

    const QString oldPath = folder + QStringLiteral("/old%1.kvp").arg(controls);
    const QString newPath = folder + QStringLiteral("/new%1.kvp").arg(controls);
    if (!saveProject(before, oldPath) || !saveProject(after, newPath))
        qFatal("saving the generated projects failed");
    timing.openMs = timed([&] {
        ScriptedPrompt opening;
        Project opened(opening);
        if (!opened.Inspect(oldPath))
            qFatal("opening %s failed", qPrintable(oldPath));
    });
    timing.textCommandMs = timed([&] { text = ProjectText::Write(readFile(oldPath)); });
    timing.diffCommandMs = timed([&] { changes = ProjectDiff::Describe(readFile(oldPath), readFile(newPath)); });
    timing.diffLines = changes.count(QLatin1Char('\n'));
    return timing;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    StartUpTables::Fill();
    QList<int> sizes;
    for (const QString& argument : app.arguments().mid(1))
        sizes.append(argument.toInt());
    if (sizes.isEmpty())
        sizes = {15000, 30000};
    QTemporaryDir folder;
    QTextStream out(stdout);
    out << "controls\tcapture ms\twrite ms\ttext MB\tdescribe ms\topen ms\ttext command ms\tdiff command ms\tdiff lines\n";
    for (const int size : sizes) {
        const Timing timing = measure(size, folder.path());
        out << timing.controls << '\t' << timing.captureMs << '\t' << timing.writeMs << '\t'
            << QString::number(double(timing.textBytes) / 1e6, 'f', 1) << '\t' << timing.describeMs << '\t' << timing.openMs << '\t'
            << timing.textCommandMs << '\t' << timing.diffCommandMs << '\t' << timing.diffLines << '\n';
        out.flush();
    }
    return 0;
}
