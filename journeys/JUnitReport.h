#pragma once

#include "base/StorageResult.h"
#include "journeys/JourneyRun.h"

#include <QList>
#include <QString>
#include <QStringList>

// Journey results as JUnit XML, the report CI systems read: one suite, one test case a journey,
// a failure element with the first difference for each that failed and the run's transcript
// as its text.
namespace JUnitReport {

struct Case {
    JourneyResult result;
    double seconds = 0;
};

QByteArray xml(const QString& suite, const QList<Case>& cases);
// Replaces the file only with a complete report, and never one of inputs, the files the run read.
StorageResult write(const QString& path, const QString& suite, const QList<Case>& cases,
                    const QStringList& inputs = {});

} // namespace JUnitReport
