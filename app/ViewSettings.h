#pragma once

#include "app/DiagramSettings.h"
#include "app/EditingOptions.h"
#include "printing/PrintSelections.h"
#include "testmode/TestModeOptions.h"
#include "app/WindowPlacement.h"

#include <QString>

// The author's preferences kept in the "View" and "View\PrintSettings" sections of the
// settings store. Each value is stored under the name of its field; the field initialisers
// are the built-in values.
class ViewSettings {
public:
    WindowPlacement MainWindow;
    DiagramSettings Diagram;
    TestModeOptions TestMode;
    EditingOptions Editing;
    PrintSelections Print;

    // Reads every stored value. A number that is empty or does not fit 32 bits keeps the
    // value it had; the failure is reported under procedure and the others still load.
    void Load(const char* procedure);
    // Writes every value; a failure is reported under procedure and the others are still written.
    void Save(const char* procedure) const;

    bool operator==(const ViewSettings&) const = default;
};
