#pragma once

// What the project summary prints for each control, and which parts of the project it prints.
struct PrintSelections {
    bool Print_strID = true;
    bool Print_intID = true;
    bool Print_Caption = true;
    bool Print_Control = true;
    bool Print_Default = true;
    bool Print_Group = true;
    bool Print_Heading = true;
    bool Print_HelpID = true;
    bool Print_HelpURL = true;
    bool Print_Max = true;
    bool Print_Min = true;
    bool Print_Options = true;
    bool Print_Picture = true;
    bool Print_DTSummary = true;
    bool Print_DTThumbnail = true;
    // The selectors' tables and the project's pictures, after the summary and the diagram.
    bool Print_Selectors = true;
    bool Print_Pictures = true;
    // The diagram shrunk onto one page; otherwise at a readable size over as many pages as it takes.
    bool Print_ThumbnailOnePage = true;

    bool operator==(const PrintSelections&) const = default;
};
