#pragma once

#include "edit/LinkRoute.h"

#include <QRectF>
#include <QSizeF>

class CanvasModel;
class QPainter;

// The diagram drawn for print: boxes with their captions and the links between them, either
// shrunk onto one page or at its screen size (one canvas unit a 96th of an inch) over as many
// pages as it needs, left to right, then top to bottom.
class DiagramPrint {
public:
    // page: the area to draw in, in device units; dpi: the device's resolution.
    DiagramPrint(const CanvasModel& canvas, QSizeF page, double dpi, bool onePage, LinkRoute::Style style);

    bool IsEmpty() const { return m_extents.isEmpty(); }
    int Pages() const { return m_columns * m_rows; }
    // Draws page index (from 0) with the painter's origin at the area's top left.
    void DrawPage(QPainter& painter, int index) const;

private:
    // Canvas y grows upwards; the page's downwards.
    QPointF toPage(QPointF canvasPoint) const;
    QRectF toPage(const QRectF& canvasRect) const;

    const CanvasModel& m_canvas;
    QSizeF m_page;
    LinkRoute::Style m_style;
    QRectF m_extents;
    double m_scale = 1;
    int m_columns = 1;
    int m_rows = 1;
};
