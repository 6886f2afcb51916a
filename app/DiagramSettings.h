#pragma once

// How the diagram of the decision tree looks and behaves. Colours are 0xRRGGBB.
struct DiagramSettings {
    enum LineStyles { Straight = 0, RightAngled = 1 };
    enum EntitySizes { Small = 0, Medium = 1, Large = 2 };

    int LineStyle = Straight;
    int EntitySize = Medium;
    // The input-interface type a new control gets (Radio).
    int CurrentCTL = 0;
    // The tool a left click on the empty diagram uses: 0 selects, others place a control.
    int LeftClickCommand = 0;
    bool GridLines = true;
    bool SnapToGrid = true;
    int GridSpacing = 16;
    int SnapDistance = 8;
    int BackColor = 0xFFFFFF;
    int EntityColor = 0xFFF8DC;
    int TextColor = 0x000000;
    int GroupColor = 0xE0E8F0;
    int GridColor = 0xD0D0D0;
    int LinkColor = 0x000080;
    // Draw every link, not only those of the selected control.
    bool LinkAlways = true;
    // Label links with the condition that leads along them.
    bool LinkExpr = false;
    bool ToolTip = true;

    bool operator==(const DiagramSettings&) const = default;
};
