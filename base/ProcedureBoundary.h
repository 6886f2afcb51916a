#pragma once

#include "base/ErrorLog.h"

#include <QString>

#include <exception>
#include <utility>

// The edge of a procedure: a failure inside is logged under the procedure's name and the
// caller carries on with a safe result.
namespace ProcedureBoundary {

template <typename Body>
void run(const char* procedure, Body&& body)
{
    try {
        std::forward<Body>(body)();
    } catch (const std::exception& error) {
        ReportError(error, QString::fromLatin1(procedure));
    }
}

template <typename Result, typename Body>
Result runOr(const char* procedure, Result fallback, Body&& body)
{
    try {
        return std::forward<Body>(body)();
    } catch (const std::exception& error) {
        ReportError(error, QString::fromLatin1(procedure));
    }
    return fallback;
}

} // namespace ProcedureBoundary
