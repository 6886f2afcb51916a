#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>

// The line a link takes from one box to another: its points from where it leaves the source to
// the tip on the target's border. Works in any coordinates whose axes are at right angles.
namespace LinkRoute {

// The stored values of the diagram's line style.
enum class Style { Straight = 0, OrthogonalHorizontal = 1, OrthogonalVertical = 2 };

// An unknown stored value draws straight lines.
Style StyleFromSetting(int value);

// Straight: one segment between the borders, aimed centre to centre. Orthogonal horizontal:
// across from the source's side, then along the target's centre line into its top or bottom;
// orthogonal vertical the other way round. Where the boxes overlap on the first leg's line the
// bend would fall inside a box, so the link becomes one straight run along the shared band.
QList<QPointF> Points(const QRectF& source, const QRectF& target, Style style);

} // namespace LinkRoute
