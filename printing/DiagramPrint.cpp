#include "printing/DiagramPrint.h"

#include "edit/CanvasModel.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr double ScreenDpi = 96.0;
// Room around the drawing, in canvas units, so that borders and arrow tips are not cut.
constexpr double Border = 10.0;

void drawArrowHead(QPainter& painter, QPointF from, QPointF tip, double size)
{
    const QLineF line(tip, from);
    if (line.length() <= 0)
        return;
    QLineF side = line;
    side.setLength(size);
    QLineF left = side;
    left.setAngle(side.angle() + 25);
    QLineF right = side;
    right.setAngle(side.angle() - 25);
    QPainterPath head(tip);
    head.lineTo(left.p2());
    head.lineTo(right.p2());
    head.closeSubpath();
    painter.fillPath(head, painter.pen().color());
}

} // namespace

DiagramPrint::DiagramPrint(const CanvasModel& canvas, QSizeF page, double dpi, bool onePage, LinkRoute::Style style)
    : m_canvas(canvas), m_page(page), m_style(style)
{
    for (const auto& [key, entity] : canvas.AllEntities())
        m_extents = m_extents.isNull() ? entity.bounds() : m_extents.united(entity.bounds());
    if (m_extents.isEmpty() || page.isEmpty())
        return;
    m_extents.adjust(-Border, -Border, Border, Border);
    const double natural = dpi / ScreenDpi;
    if (onePage) {
        m_scale = std::min(page.width() / m_extents.width(), page.height() / m_extents.height());
        return;
    }
    m_scale = natural;
    m_columns = std::max(1, static_cast<int>(std::ceil(m_extents.width() * m_scale / page.width())));
    m_rows = std::max(1, static_cast<int>(std::ceil(m_extents.height() * m_scale / page.height())));
}

QPointF DiagramPrint::toPage(QPointF canvasPoint) const
{
    return {(canvasPoint.x() - m_extents.left()) * m_scale, (m_extents.bottom() - canvasPoint.y()) * m_scale};
}

QRectF DiagramPrint::toPage(const QRectF& canvasRect) const
{
    return QRectF(toPage(canvasRect.topLeft()), toPage(canvasRect.bottomRight())).normalized();
}

void DiagramPrint::DrawPage(QPainter& painter, int index) const
{
    if (IsEmpty() || index < 0 || index >= Pages())
        return;
    painter.save();
    painter.setClipRect(QRectF(QPointF(0, 0), m_page));
    painter.translate(-(index % m_columns) * m_page.width(), -(index / m_columns) * m_page.height());
    painter.setRenderHint(QPainter::Antialiasing);
    const double line = std::max(1.0, m_scale * 0.8);
    painter.setPen(QPen(Qt::darkGray, line));
    for (const auto& [key, entity] : m_canvas.AllEntities()) {
        for (const qint16 target : m_canvas.LinksFrom(key)) {
            const CanvasEntity* to = m_canvas.Entity(target);
            if (!to)
                continue;
            const QList<QPointF> route = LinkRoute::Points(entity.bounds(), to->bounds(), m_style);
            for (qsizetype i = 1; i < route.size(); ++i)
                painter.drawLine(toPage(route.at(i - 1)), toPage(route.at(i)));
            if (route.size() >= 2)
                drawArrowHead(painter, toPage(route.at(route.size() - 2)), toPage(route.last()), 8 * m_scale);
        }
    }
    for (const auto& [key, entity] : m_canvas.AllEntities()) {
        const QRectF box = toPage(entity.bounds());
        painter.setPen(QPen(Qt::black, line));
        painter.setBrush(QColor(0xf4, 0xf4, 0xe8));
        painter.drawRoundedRect(box, box.height() * 0.1, box.height() * 0.1);
        QFont font = painter.font();
        font.setPixelSize(std::max(1, static_cast<int>(std::min(box.height() * 0.22, 12 * m_scale))));
        painter.setFont(font);
        painter.drawText(box.adjusted(line * 2, line * 2, -line * 2, -line * 2),
                         Qt::AlignCenter | Qt::TextWordWrap, entity.caption);
    }
    painter.restore();
}
