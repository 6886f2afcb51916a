#pragma once

#include <QPixmap>
#include <QPointer>
#include <QRectF>
#include <QTimer>
#include <QWidget>

class DiagramWindow;

// The thumbnail: the whole diagram small, with the part the diagram window shows framed.
// A click or a drag moves the diagram window there. The picture is drawn once after the
// diagram changes, not on every scroll, so a large tree pans as smoothly as a small one.
class DiagramThumbnail : public QWidget {
    Q_OBJECT

public:
    explicit DiagramThumbnail(DiagramWindow& diagram, QWidget* parent = nullptr);

    // The diagram's point shown at a point of this widget.
    QPointF toScene(QPointF widgetPoint) const;
    QPointF fromScene(QPointF scenePoint) const;
    QRectF visibleArea() const { return m_visible; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The scene's drawing area, laid into the widget with its shape kept.
    void place();
    void redraw();
    void moveDiagramTo(QPointF widgetPoint);

    QPointer<DiagramWindow> m_diagram;
    QRectF m_sceneArea;
    double m_scale = 1;
    QPointF m_offset;
    QPixmap m_picture;
    QRectF m_visible;
    QTimer m_redraw;
};
