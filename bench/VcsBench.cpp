// Times the text form and the diff of generated projects: `kestrova-bench-vcs [--keep FOLDER] [N ...]`.
#include "BenchTimer.h"
#include "base/StartUpTables.h"
#include "common/ScriptedPrompt.h"
#include "common/SyntheticTree.h"
#include "project/Project.h"
#include "vcs/ControlProperties.h"
#include "vcs/ProjectApply.h"
#include "vcs/ProjectCapture.h"
#include "vcs/ProjectDiff.h"
#include "vcs/ProjectTextWriter.h"
#include "vcs/ReferenceUpdate.h"

#include <QCoreApplication>
#include <QFile>
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

// What `kestrova text` does: read the project without holding it, then stream its text to a
// file a control at a time.
void writeTextOf(const QString& path, const QString& textPath)
{
    ScriptedPrompt prompt;
    Project project(prompt);
    QFile text(textPath);
    if (!project.Inspect(path, Project::Diagram::LeftOut) || !text.open(QIODevice::WriteOnly))
        qFatal("reading %s failed", qPrintable(path));
    ProjectTextWriter writer(text);
    if (!ProjectCapture::WriteText(project.Decisions(), project.Document(), writer))
        qFatal("writing the text of %s failed", qPrintable(path));
}

// What `kestrova diff` does with a file: read the project without holding it.
ProjectData readFile(const QString& path)
{
    ScriptedPrompt prompt;
    Project project(prompt);
    ProjectData data;
    if (!project.Inspect(path, Project::Diagram::LeftOut) || !ProjectCapture::Read(project.Decisions(), project.Document(), nullptr, data))
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
    const QString textPath = folder + QStringLiteral("/text%1.txt").arg(controls);
    QFile text(textPath);
    if (!text.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(textPath));
    timing.writeMs = timed([&] {
        QString error;
        if (!ProjectTextWriter::Write(before, text, error))
            qFatal("writing the text failed: %s", qPrintable(error));
    });
    timing.textBytes = text.size();
    text.close();
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
        if (!opened.Inspect(oldPath, Project::Diagram::LeftOut))
            qFatal("opening %s failed", qPrintable(oldPath));
    });
    timing.textCommandMs = timed([&] { writeTextOf(oldPath, textPath); });
    timing.diffCommandMs = timed([&] { changes = ProjectDiff::Describe(readFile(oldPath), readFile(newPath)); });
    timing.diffLines = changes.count(QLatin1Char('\n'));
    return timing;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    StartUpTables::Fill();
    QStringList arguments = app.arguments().mid(1);
    // `--keep FOLDER` leaves the generated projects there, to profile the commands on them.
    QString kept;
    if (arguments.size() >= 2 && arguments.first() == QLatin1String("--keep")) {
        kept = arguments.at(1);
        arguments.remove(0, 2);
    }
    QList<int> sizes;
    for (const QString& argument : std::as_const(arguments))
        sizes.append(argument.toInt());
    if (sizes.isEmpty())
        sizes = {15000, 30000};
    QTemporaryDir temporary;
    const QString folder = kept.isEmpty() ? temporary.path() : kept;
    QTextStream out(stdout);
    out << "controls\tcapture ms\twrite ms\ttext MB\tdescribe ms\topen ms\ttext command ms\tdiff command ms\tdiff lines\n";
    for (const int size : sizes) {
        const Timing timing = measure(size, folder);
        out << timing.controls << '\t' << timing.captureMs << '\t' << timing.writeMs << '\t'
            << QString::number(double(timing.textBytes) / 1e6, 'f', 1) << '\t' << timing.describeMs << '\t' << timing.openMs << '\t'
            << timing.textCommandMs << '\t' << timing.diffCommandMs << '\t' << timing.diffLines << '\n';
        out.flush();
    }
    return 0;
}
