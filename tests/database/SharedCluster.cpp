#include "SharedCluster.h"

#include <memory>

namespace {
std::unique_ptr<PostgresCluster>& cluster()
{
    static std::unique_ptr<PostgresCluster> shared;
    return shared;
}

const QString LaptopsTable = QStringLiteral(
    "CREATE TABLE laptops (\"Name\" text PRIMARY KEY, \"Brand\" text, \"Price\" numeric, \"Weight\" numeric,"
    " \"Screen\" numeric, \"Battery\" integer, \"Use\" text, \"GPU\" text, \"RAM\" integer, \"Storage\" integer,"
    " \"OS\" text, \"Touch\" text);\n"
    "\\copy laptops FROM '%1' WITH (FORMAT csv, HEADER true)\n");
} // namespace

QString SharedCluster::laptopsCsv()
{
    return QStringLiteral(KV_SOURCE_DIR "/examples/laptops.csv");
}

PostgresCluster* SharedCluster::get(QString& error)
{
    static QString failure;
    if (!cluster()) {
        cluster() = std::make_unique<PostgresCluster>();
        if (!cluster()->start(failure) || !cluster()->psql(QStringLiteral("CREATE DATABASE shop;\n"), failure)
            || !cluster()->psql(LaptopsTable.arg(laptopsCsv()), failure, QStringLiteral("shop")))
            cluster()->stopNow();
    }
    error = failure;
    return cluster()->running() ? cluster().get() : nullptr;
}
