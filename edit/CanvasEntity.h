#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

class CmDecisionItem;

// One box on the diagram. Its key is the intID of the control it shows. Positions are canvas
// coordinates: x grows to the right, y grows upwards (deeper levels of the tree lie lower).
struct CanvasEntity {
    qint16 key = 0;
    QString caption;
    // The control shown; the decision manager owns it.
    CmDecisionItem* data = nullptr;
    QPointF centre;
    QSizeF size;

    // Corners as left, bottom, right, top.
    QList<double> points() const
    {
        return {centre.x() - size.width() / 2, centre.y() - size.height() / 2, centre.x() + size.width() / 2,
                centre.y() + size.height() / 2};
    }
    QRectF bounds() const
    {
        return QRectF(centre.x() - size.width() / 2, centre.y() - size.height() / 2, size.width(), size.height());
    }
};

// Coordinate helpers over an entity's point list (x, y pairs).
namespace MCanvasPoints {

double GetLeftCoordinate(const QList<double>& points);
double GetTopCoordinate(const QList<double>& points);
QSizeF GetEntitySize(const QList<double>& points);
// The coordinates joined by ",".
QString GetPtsData(const QList<double>& points);
// Reads GetPtsData's text; empty when it is not an even list of numbers.
QList<double> ParsePtsData(const QString& text);

} // namespace MCanvasPoints
