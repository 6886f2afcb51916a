#pragma once

#include "validate/IValidationLog.h"

#include <QStringList>

// The errors a validation reports, each as "location: message"; warnings are left out.
class CollectedErrors final : public IValidationLog {
public:
    QStringList errors;
    void AppendToLog(bool isError, const QString& message, const QString& location, const QString&) override
    {
        if (isError)
            errors.append(location + QLatin1String(": ") + message);
    }
};
