#pragma once

#include <QString>

// Where the checks of references, ranges and expressions report what they find. The
// validator writes the findings to its log; tests collect them.
class IValidationLog {
public:
    virtual ~IValidationLog() = default;

    // One finding at a location (the control's name, ".", the property's label); extra is a
    // further line of explanation, empty when there is none.
    virtual void AppendToLog(bool isError, const QString& message, const QString& location,
                             const QString& extra = QString()) = 0;
    // A finding about one line of a control's options and actions, counted from 0. Logs that
    // take the author to the line keep it; the others log it as any finding.
    virtual void AppendLineToLog(int line, bool isError, const QString& message, const QString& location,
                                 const QString& extra = QString())
    {
        Q_UNUSED(line);
        AppendToLog(isError, message, location, extra);
    }

protected:
    IValidationLog() = default;
    IValidationLog(const IValidationLog&) = default;
    IValidationLog& operator=(const IValidationLog&) = default;
};
