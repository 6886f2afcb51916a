#include "edit/LinkRoute.h"

#include <algorithm>
#include <cmath>

namespace {

using LinkRoute::Style;

// Where the segment from a box's centre towards a point leaves the box.
QPointF borderPoint(const QRectF& box, QPointF towards)
{
    const QPointF centre = box.center();
    const double dx = towards.x() - centre.x();
    const double dy = towards.y() - centre.y();
    if (dx == 0 && dy == 0)
        return centre;
    const double sx = dx == 0 ? HUGE_VAL : (box.width() / 2) / std::abs(dx);
    const double sy = dy == 0 ? HUGE_VAL : (box.height() / 2) / std::abs(dy);
    const double s = std::min(sx, sy);
    return QPointF(centre.x() + dx * s, centre.y() + dy * s);
}

// The middle of the band two boxes share along one axis, or nothing when they share none.
bool sharedBand(double firstLow, double firstHigh, double secondLow, double secondHigh, double& middle)
{
    const double low = std::max(firstLow, secondLow);
    const double high = std::min(firstHigh, secondHigh);
    if (low > high)
        return false;
    middle = (low + high) / 2;
    return true;
}

double edgeTowards(double low, double high, double centre, double other)
{
    return other < centre ? low : high;
}

QList<QPointF> straight(const QRectF& source, const QRectF& target)
{
    return {borderPoint(source, target.center()), borderPoint(target, source.center())};
}

QList<QPointF> acrossThenAlong(const QRectF& source, const QRectF& target)
{
    const QPointF from = source.center();
    const QPointF to = target.center();
    double x = 0;
    // Stacked boxes: one vertical run through the columns they share.
    if (sharedBand(source.left(), source.right(), target.left(), target.right(), x))
        return {QPointF(x, edgeTowards(source.top(), source.bottom(), from.y(), to.y())),
                QPointF(x, edgeTowards(target.top(), target.bottom(), to.y(), from.y()))};
    double y = 0;
    if (sharedBand(source.top(), source.bottom(), target.top(), target.bottom(), y))
        return {QPointF(edgeTowards(source.left(), source.right(), from.x(), to.x()), y),
                QPointF(edgeTowards(target.left(), target.right(), to.x(), from.x()), y)};
    const QPointF corner(to.x(), from.y());
    return {QPointF(edgeTowards(source.left(), source.right(), from.x(), to.x()), from.y()), corner,
            QPointF(to.x(), edgeTowards(target.top(), target.bottom(), to.y(), from.y()))};
}

QRectF transposed(const QRectF& box)
{
    return QRectF(box.y(), box.x(), box.height(), box.width());
}

} // namespace

namespace LinkRoute {

Style StyleFromSetting(int value)
{
    switch (value) {
    case int(Style::OrthogonalHorizontal): return Style::OrthogonalHorizontal;
    case int(Style::OrthogonalVertical): return Style::OrthogonalVertical;
    default: return Style::Straight;
    }
}

QList<QPointF> Points(const QRectF& source, const QRectF& target, Style style)
{
    switch (style) {
    case Style::Straight: return straight(source, target);
    case Style::OrthogonalHorizontal: return acrossThenAlong(source, target);
    case Style::OrthogonalVertical: break;
    }
    // Along then across is across then along with the axes swapped.
    QList<QPointF> points = acrossThenAlong(transposed(source), transposed(target));
    for (QPointF& point : points)
        point = QPointF(point.y(), point.x());
    return points;
}

} // namespace LinkRoute
