#include "validate/ValidationFindings.h"

#include "base/ResourceStrings.h"

namespace {

constexpr int errorWordId = 12502;
constexpr int warningWordId = 12516;
constexpr int sourceWordId = 12537;

const QString lineEnd = QStringLiteral("\r\n");

} // namespace

QString ValidationFindings::Entry::text() const
{
    QString entry = LoadResString(isError ? errorWordId : warningWordId) + message + lineEnd;
    entry += QLatin1Char('\t') + LoadResString(sourceWordId) + location + lineEnd;
    if (!extra.isEmpty())
        entry += QLatin1Char('\t') + extra + lineEnd;
    return entry;
}

QString ValidationFindings::Entry::control() const
{
    const qsizetype dot = location.indexOf(QLatin1Char('.'));
    return dot < 0 ? location : location.left(dot);
}

QString ValidationFindings::Entry::property() const
{
    const qsizetype dot = location.indexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : location.mid(dot + 1);
}

void ValidationFindings::AppendToLog(bool isError, const QString& message, const QString& location,
                                     const QString& extra)
{
    AppendLineToLog(-1, isError, message, location, extra);
}

void ValidationFindings::AppendLineToLog(int line, bool isError, const QString& message, const QString& location,
                                         const QString& extra)
{
    m_entries.append({isError, message, location, extra, line});
    (isError ? m_errors : m_warnings) = true;
}

QString ValidationFindings::text() const
{
    QString all;
    for (const Entry& entry : m_entries)
        all += entry.text();
    return all;
}

void ValidationFindings::clear()
{
    m_entries.clear();
    m_errors = false;
    m_warnings = false;
}
