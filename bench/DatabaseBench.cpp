// Times an external selector's table read from a local PostgreSQL cluster of its own, and a page
// whose !KILL goes over it with the table in memory, first in a new engine (which makes the
// column's index) and again after Back. Usage: kestrova-bench-database [ROWS] [ROUNDS]
#include "base/StartUpTables.h"
#include "common/PostgresCluster.h"
#include "database/ExternalTables.h"
#include "runtime/RuntimeEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <vector>

namespace {

const QStringList Fields{"Name", "Brand", "Price", "Weight", "Screen", "Battery", "Use", "GPU", "RAM", "Storage", "OS", "Touch"};

// Twelve fields of the sample's kinds, spread so that the !KILL keeps about half.
QString tableText(int rows)
{
    return QStringLiteral(
               "CREATE TABLE items AS SELECT 'Item ' || n AS \"Name\", 'Brand ' || (n %% 40) AS \"Brand\","
               " 300 + (n * 7919) %% 3000 AS \"Price\", round(1 + (n %% 30) / 10.0, 2) AS \"Weight\","
               " 13 + (n %% 5) AS \"Screen\", 4 + (n %% 16) AS \"Battery\", (ARRAY['Office','Gaming','Creative'])[1 + n %% 3] AS \"Use\","
               " (ARRAY['Integrated','Entry','Mid-range','High-end'])[1 + n %% 4] AS \"GPU\", 8 * (1 + n %% 4) AS \"RAM\","
               " 256 * (1 + n %% 8) AS \"Storage\", (ARRAY['Windows','macOS','Linux'])[1 + n %% 3] AS \"OS\","
               " (ARRAY['Yes','No'])[1 + n %% 2] AS \"Touch\" FROM generate_series(1, %1) AS n;\n")
        .replace(QLatin1String("%%"), QLatin1String("%"))
        .arg(rows);
}

// This thread's time on a core: what a page costs, whatever else the host runs.
double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    StartUpTables::Fill();
    QTextStream out(stdout);
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100'000;
    const int rounds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 5;

    PostgresCluster cluster;
    QString error;
    if (!cluster.start(error) || !cluster.psql(tableText(rows), error)) {
        out << "no cluster: " << error << '\n';
        return 1;
    }
    ExternalSelectorSettings settings;
    settings.table = QStringLiteral("items");
    settings.database = PostgresCluster::database();
    settings.server = cluster.socketFolder();
    settings.port = PostgresCluster::port();
    settings.driverName = QStringLiteral("postgresql");
    settings.user = PostgresCluster::user();
    settings.password = PostgresCluster::password();
    settings.fields = Fields;

    CompiledTree tree;
    tree.rulesText = QStringLiteral("BEGIN\r\n"
                                    "1\t\tBudget\t\t\t\"Budget\"\tInfo\t!KILL postgres.items: Price > 1800\t!GO End\t\r\n"
                                    "2\t\tEnd\t\t\t\"Done\"\tDone\t\r\n");
    std::vector<double> loadMs;
    std::vector<double> engineMs;
    std::vector<double> killMs;
    std::vector<double> againMs;
    std::vector<double> killCpuMs;
    std::vector<double> againCpuMs;
    int remaining = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        CompiledTree::Table table;
        if (!ExternalTables::read(settings, ExternalTables::Options{}, table, error)) {
            out << error << '\n';
            return 1;
        }
        loadMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        tree.tables = {std::move(table)};
        timer.restart();
        RuntimeEngine engine;
        if (!engine.load(tree) || !engine.start()) {
            out << "the tree did not load: " << engine.errorText() << '\n';
            return 1;
        }
        engineMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        timer.restart();
        double cpu = threadCpuMs();
        if (!engine.next()) {
            out << "the page did not move: " << engine.errorText() << '\n';
            return 1;
        }
        killMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        killCpuMs.push_back(threadCpuMs() - cpu);
        remaining = engine.selector(QStringLiteral("postgres.items"))->remainingCount();
        // Back and the same page again: the column's index, made by the first !KILL, is kept.
        if (!engine.back()) {
            out << "Back did not move: " << engine.errorText() << '\n';
            return 1;
        }
        timer.restart();
        cpu = threadCpuMs();
        if (!engine.next() || engine.selector(QStringLiteral("postgres.items"))->remainingCount() != remaining) {
            out << "the page again did not give the same items: " << engine.errorText() << '\n';
            return 1;
        }
        againMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        againCpuMs.push_back(threadCpuMs() - cpu);
    }
    out << "rows\tfields\tread ms\tengine load ms\t!KILL page ms (on a core)\tagain after Back ms (on a core)\titems left\n"
        << rows << '\t' << Fields.size() << '\t' << median(loadMs) << '\t' << median(engineMs) << '\t' << median(killMs) << " ("
        << median(killCpuMs) << ")\t" << median(againMs) << " (" << median(againCpuMs) << ")\t" << remaining << '\n';
    return 0;
}
