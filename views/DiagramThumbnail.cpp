#include "views/DiagramThumbnail.h"

#include "views/DiagramScene.h"
#include "views/DiagramWindow.h"

#include <QGraphicsScene>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

// Changes come in bursts (a drag, a load); the picture waits for the burst to end.
constexpr int RedrawDelayMs = 150;

} // namespace

DiagramThumbnail::DiagramThumbnail(DiagramWindow& diagram, QWidget* parent) : QWidget(parent), m_diagram(&diagram)
{
    setObjectName(QStringLiteral("frmThumbNail"));
    setMinimumSize(120, 90);
    setCursor(Qt::PointingHandCursor);
    m_visible = diagram.visibleArea();
    m_redraw.setSingleShot(true);
    m_redraw.setInterval(RedrawDelayMs);
    connect(&m_redraw, &QTimer::timeout, this, &DiagramThumbnail::redraw);
    connect(&diagram, &DiagramWindow::visibleAreaChanged, this, [this](const QRectF& visible) {
        m_visible = visible;
        update();
    });
    connect(diagram.diagramScene(), &QGraphicsScene::changed, &m_redraw, qOverload<>(&QTimer::start));
    connect(diagram.diagramScene(), &QGraphicsScene::sceneRectChanged, &m_redraw, qOverload<>(&QTimer::start));
    m_redraw.start();
}

void DiagramThumbnail::place()
{
    const DiagramWindow* diagram = m_diagram.data();
    m_sceneArea = diagram ? diagram->diagramScene()->itemsBoundingRect() : QRectF();
    if (m_sceneArea.isEmpty()) {
        m_scale = 1;
        m_offset = QPointF();
        return;
    }
    m_scale = std::min(width() / m_sceneArea.width(), height() / m_sceneArea.height());
    const QSizeF shown = m_sceneArea.size() * m_scale;
    m_offset = QPointF((width() - shown.width()) / 2, (height() - shown.height()) / 2);
}

QPointF DiagramThumbnail::toScene(QPointF widgetPoint) const
{
    return m_sceneArea.topLeft() + (widgetPoint - m_offset) / m_scale;
}

QPointF DiagramThumbnail::fromScene(QPointF scenePoint) const
{
    return m_offset + (scenePoint - m_sceneArea.topLeft()) * m_scale;
}

void DiagramThumbnail::redraw()
{
    m_redraw.stop();
    // Hidden, it draws when it shows again; finding the extent of every item is work too.
    if (isVisible())
        place();
    if (!isVisible() || !m_diagram || m_sceneArea.isEmpty() || width() <= 0 || height() <= 0) {
        m_picture = QPixmap();
        update();
        return;
    }
    m_picture = QPixmap(size() * devicePixelRatioF());
    m_picture.setDevicePixelRatio(devicePixelRatioF());
    m_picture.fill(Qt::transparent);
    QPainter painter(&m_picture);
    const QRectF target(m_offset, m_sceneArea.size() * m_scale);
    m_diagram->diagramScene()->render(&painter, target, m_sceneArea, Qt::KeepAspectRatio);
    painter.end();
    update();
}

void DiagramThumbnail::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_diagram ? m_diagram->backgroundBrush() : palette().base());
    if (!m_picture.isNull())
        painter.drawPixmap(0, 0, m_picture);
    if (m_visible.isNull() || m_sceneArea.isEmpty())
        return;
    painter.setPen(QPen(Qt::red, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(fromScene(m_visible.topLeft()), fromScene(m_visible.bottomRight())));
}

void DiagramThumbnail::moveDiagramTo(QPointF widgetPoint)
{
    if (m_diagram && !m_sceneArea.isEmpty())
        m_diagram->centerOn(toScene(widgetPoint));
}

void DiagramThumbnail::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        moveDiagramTo(event->position());
}

void DiagramThumbnail::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        moveDiagramTo(event->position());
}

void DiagramThumbnail::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    redraw();
}

void DiagramThumbnail::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    redraw();
}
