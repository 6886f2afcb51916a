#include "SelectorBench.h"

#include "BenchTimer.h"

#include "project/Project.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "project/CvProject.h"
#include "common/ScriptedPrompt.h"
#include "model/CmDocument.h"
#include "selectors/CcCriteriaList.h"
#include "selectors/SelectorText.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

constexpr int Columns = 12;

struct Timing {
    int rows;
    qint64 importMs;
    qint64 saveMs;
    qint64 loadMs;
    qint64 exportMs;
};

QString writeTable(const QString& folder, int rows)
{
    SelectorText::Rows table;
    table.reserve(rows + 1);
    QStringList header;
    for (int column = 0; column < Columns; ++column)
        header.append(QStringLiteral("Property%1").arg(column + 1));
    table.append(header);
    for (int row = 0; row < rows; ++row) {
        QStringList cells;
        cells.reserve(Columns);
        cells.append(QStringLiteral("Item %1").arg(row));
        for (int column = 1; column < Columns; ++column)
            cells.append(column % 5 == 0 ? QStringLiteral("%1, %2").arg(row).arg(column) : QString::number(row * column));
        table.append(cells);
    }
    const QString path = folder + QStringLiteral("/table%1.csv").arg(rows);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(SelectorText::Write(table).toUtf8()) < 0)
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

Timing measure(int rows, const QString& folder)
{
    ScriptedPrompt prompt;
    auto project = std::make_unique<Project>(prompt);
    project->Document().setKeepsWorkingCopy(false);
    CmDocument& document = project->Document();
    CcCriteriaList commands(document, prompt, project->Explorer());
    const QString table = writeTable(folder, rows);
    Timing timing{rows, 0, 0, 0, 0};
    timing.importMs = timed([&] {
        if (commands.Import({table}).names.size() != 1)
            qFatal("importing %s failed", qPrintable(table));
    });
    const QString name = QStringLiteral("table%1").arg(rows);
    timing.saveMs = timed([&] {
        if (!document.SaveFileAs(folder + QStringLiteral("/selectors%1.kvp").arg(rows)).done())
            qFatal("saving the project failed");
    });
    timing.loadMs = timed([&] { commands.EditList(name); });
    if (!commands.Manager().ActiveList() || commands.Manager().ActiveList()->RowCount() != rows + 1)
        qFatal("the grid did not load %d rows", rows);
    timing.exportMs = timed([&] {
        if (!commands.Export(name, folder + QStringLiteral("/export%1.csv").arg(rows)))
            qFatal("exporting failed");
    });
    commands.Manager().Clear();
    project.reset();
    return timing;
}

} // namespace

int SelectorBench::run(const QList<int>& rows, QTextStream& out)
{
    QTemporaryDir folder;
    out << "rows\timport ms\tsave ms\tgrid ms\texport ms\n";
    QList<Timing> timings;
    for (const int size : rows.isEmpty() ? QList<int>{25000, 50000, 100000} : rows) {
        timings.append(measure(size, folder.path()));
        const Timing& t = timings.last();
        out << t.rows << '\t' << t.importMs << '\t' << t.saveMs << '\t' << t.loadMs << '\t' << t.exportMs << '\n';
        out.flush();
    }
    return 0;
}
