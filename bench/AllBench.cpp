#include "AllBench.h"

#include "DiagramBench.h"
#include "FindBench.h"
#include "ProjectBench.h"
#include "project/Project.h"
#include "project/CModel.h"
#include "common/ScriptedPrompt.h"
#include "common/SyntheticTree.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

using Figures = QList<std::pair<QString, qint64>>;

// The highest resident memory of this process so far, in kB.
qint64 peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Runs the child for one size; empty when it failed, with what it said on err.
Figures measureInChild(int controls, QTextStream& err)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {AllBench::ChildOption, QString::number(controls)});
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        err << "the run at " << controls << " controls failed: "
            << (child.exitStatus() == QProcess::NormalExit ? QStringLiteral("exit code %1").arg(child.exitCode())
                                                           : child.errorString())
            << '\n';
        return {};
    }
    Figures figures;
    for (const QString& line : QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        figures.append({fields.value(0), fields.value(1).toLongLong()});
    }
    return figures;
}

void printTable(const QList<int>& sizes, const QList<Figures>& figures, QTextStream& out)
{
    out << "operation";
    for (const int size : sizes)
        out << '\t' << size;
    for (qsizetype i = 1; i < sizes.size(); ++i)
        out << '\t' << sizes.at(i) << '/' << sizes.at(i - 1);
    out << '\n';
    for (qsizetype row = 0; row < figures.first().size(); ++row) {
        out << figures.first().at(row).first;
        for (const Figures& size : figures)
            out << '\t' << size.value(row).second;
        for (qsizetype i = 1; i < figures.size(); ++i) {
            const qint64 before = figures.at(i - 1).value(row).second;
            // Nothing to compare with a figure below the clock's resolution.
            out << '\t'
                << (before > 0 ? QString::number(double(figures.at(i).value(row).second) / double(before), 'f', 2)
                               : QStringLiteral("-"));
        }
        out << '\n';
    }
}

} // namespace

int AllBench::run(QList<int> sizes, QTextStream& out)
{
    if (sizes.isEmpty())
        sizes = {15000, 30000};
    QList<Figures> figures;
    for (const int size : sizes) {
        figures.append(measureInChild(size, out));
        if (figures.last().isEmpty())
            return 1;
    }
    printTable(sizes, figures, out);
    return 0;
}

int AllBench::runChild(int controls, QTextStream& out)
{
    QTemporaryDir folder;
    ScriptedPrompt prompt;
    auto project = std::make_unique<Project>(prompt);
    project->Document().setKeepsWorkingCopy(false);
    SyntheticTree::fill(project->Decisions(), controls);
    Figures figures;
    const QString projectPath = folder.filePath(QStringLiteral("bench.kvp"));
    figures.append({QStringLiteral("save ms"), ProjectBench::saveMs(*project, projectPath)});
    figures.append({QStringLiteral("open ms"), ProjectBench::openMs(project, prompt, projectPath, controls)});
    figures.append({QStringLiteral("validate ms"), ProjectBench::validateMs(*project)});
    figures.append({QStringLiteral("web compile ms"),
                    ProjectBench::compileMs(*project, &CcCompile::CompileKvwTo, folder.filePath(QStringLiteral("bench.kvw")))});
    const QString desktop = folder.filePath(QStringLiteral("bench.kvd"));
    figures.append({QStringLiteral("desktop compile checks ms"), ProjectBench::compileMs(*project, &CcCompile::CompileKvdTo, desktop)});
    figures.append({QStringLiteral("desktop tree write ms"), ProjectBench::desktopTreeMs(*project, desktop)});
    const ProjectBench::TestRun run = ProjectBench::testRun(desktop);
    figures.append({QStringLiteral("test run ms"), run.ms});
    figures.append({QStringLiteral("test run pages"), run.pages});
    if (!run.stopped.isEmpty())
        QTextStream(stderr) << controls << " controls: the test run stopped: " << run.stopped << '\n';
    const DiagramBench::Timing diagram = DiagramBench::measure(project->Decisions());
    figures.append({QStringLiteral("diagram build ms"), diagram.buildMs});
    figures.append({QStringLiteral("diagram restore ms"), diagram.restoreMs});
    figures.append({QStringLiteral("rename ms"), diagram.renameMs});
    const FindBench::Timing find = FindBench::measure(*project, prompt);
    figures.append({QStringLiteral("find ms"), find.findMs});
    figures.append({QStringLiteral("find matches"), find.found});
    project.reset();
    figures.append({QStringLiteral("peak memory MB"), peakResidentKb() / 1024});
    for (const auto& [name, figure] : figures)
        out << name << '\t' << figure << '\n';
    return 0;
}
