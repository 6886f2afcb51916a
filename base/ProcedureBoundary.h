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

// As runOr, with the safe result made from the failure (to tell the user what went wrong).
template <typename Body, typename Fallback>
auto runOrElse(const char* procedure, Body&& body, Fallback&& fallback) -> decltype(body())
{
    try {
        return std::forward<Body>(body)();
    } catch (const std::exception& error) {
        ReportError(error, QString::fromLatin1(procedure));
        return std::forward<Fallback>(fallback)(error);
    }
}

} // namespace ProcedureBoundary
