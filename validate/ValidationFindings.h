#pragma once

#include "validate/IValidationLog.h"

#include <QList>
#include <QString>

// Keeps findings in order and writes them as log entries:
// "Error. " or "Warning. ", the message, CR LF; TAB, "Source: ", the location, CR LF; and
// TAB, the extra line, CR LF when there is one.
class ValidationFindings final : public IValidationLog {
public:
    struct Entry {
        bool isError = false;
        QString message;
        QString location;
        QString extra;
        // The line of the control's options and actions the finding is about, counted from 0;
        // -1 when it is about no one line. Not part of the log's text.
        int line = -1;

        QString text() const;
        // The location read apart: the control's name, and the property with any detail after
        // it (a control name never holds a dot).
        QString control() const;
        QString property() const;
        bool operator==(const Entry&) const = default;
    };

    void AppendToLog(bool isError, const QString& message, const QString& location,
                     const QString& extra = QString()) override;
    void AppendLineToLog(int line, bool isError, const QString& message, const QString& location,
                         const QString& extra = QString()) override;

    const QList<Entry>& entries() const { return m_entries; }
    bool hasErrors() const { return m_errors; }
    bool hasWarnings() const { return m_warnings; }
    // Every entry's text, in order.
    QString text() const;
    void clear();

private:
    QList<Entry> m_entries;
    bool m_errors = false;
    bool m_warnings = false;
};
