#pragma once

#include <QString>

// How the diagram of the decision tree looks and behaves. Colours are 0xRRGGBB.
struct DiagramSettings {
    // The links' lines: straight, or at right angles leaving the source across or along.
    enum LineStyles { Straight = 0, OrthogonalHorizontal = 1, OrthogonalVertical = 2 };
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
    // How the link dialog opens: always go to the destination, or only when the expression holds.
    bool LinkAlways = true;
    QString LinkExpr;
    bool ToolTip = true;

    bool operator==(const DiagramSettings&) const = default;
};
