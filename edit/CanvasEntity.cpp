#include "edit/CanvasEntity.h"

#include <QStringList>

#include <algorithm>

namespace {

template <typename Pick>
double extreme(const QList<double>& points, int offset, Pick pick)
{
    double best = 0;
    bool first = true;
    for (qsizetype i = offset; i < points.size(); i += 2) {
        best = first ? points.at(i) : pick(best, points.at(i));
        first = false;
    }
    return best;
}

double smallest(const QList<double>& points, int offset)
{
    return extreme(points, offset, [](double a, double b) { return std::min(a, b); });
}

double largest(const QList<double>& points, int offset)
{
    return extreme(points, offset, [](double a, double b) { return std::max(a, b); });
}

} // namespace

double MCanvasPoints::GetLeftCoordinate(const QList<double>& points)
{
    return smallest(points, 0);
}

double MCanvasPoints::GetTopCoordinate(const QList<double>& points)
{
    return smallest(points, 1);
}

QSizeF MCanvasPoints::GetEntitySize(const QList<double>& points)
{
    return QSizeF(largest(points, 0) - smallest(points, 0), largest(points, 1) - smallest(points, 1));
}

QString MCanvasPoints::GetPtsData(const QList<double>& points)
{
    QStringList texts;
    texts.reserve(points.size());
    for (double value : points)
        texts.append(QString::number(value, 'g', 12));
    return texts.join(QLatin1Char(','));
}

QList<double> MCanvasPoints::ParsePtsData(const QString& text)
{
    const QStringList texts = text.split(QLatin1Char(','));
    if (texts.size() % 2 != 0)
        return {};
    QList<double> points;
    for (const QString& piece : texts) {
        bool ok = false;
        const double value = piece.toDouble(&ok);
        if (!ok)
            return {};
        points.append(value);
    }
    return points;
}
