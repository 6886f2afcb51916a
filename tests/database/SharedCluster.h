#pragma once

#include "common/PostgresCluster.h"

#include <QString>

// One cluster for the whole test program, started by the first test that asks and stopped at exit,
// with the sample's laptops in the table laptops of the database shop; null (with the reason)
// when it cannot start.
namespace SharedCluster {
PostgresCluster* get(QString& error);
QString laptopsCsv();
} // namespace SharedCluster
