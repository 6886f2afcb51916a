#include "views/DiagramScene.h"

#include <QPainter>
#include <QStyleOptionGraphicsItem>

void DiagramScene::setLinks(qint16 key, const QPainterPath& routed, const QPainterPath& straight,
                            std::vector<DiagramLinks::Label> labels)
{
    repaint(m_links.set(key, routed, straight, std::move(labels)));
}

void DiagramScene::removeLinks(qint16 key)
{
    repaint(m_links.remove(key));
}

void DiagramScene::clearLinks()
{
    m_links.clear();
    update();
}

void DiagramScene::setLinkPen(const QPen& pen)
{
    m_linkPen = pen;
    update();
}

DiagramScene::Batch::~Batch()
{
    m_scene.m_batched = m_outer;
    if (!m_outer)
        m_scene.update();
}

void DiagramScene::repaint(const std::vector<QRectF>& areas)
{
    if (m_batched)
        return;
    for (const QRectF& area : areas)
        update(area);
}

void DiagramScene::drawLinks(QPainter* painter, const QRectF& rect) const
{
    const double detail = QStyleOptionGraphicsItem::levelOfDetailFromTransform(painter->worldTransform());
    painter->save();
    painter->setPen(m_linkPen);
    painter->setBrush(Qt::NoBrush);
    m_links.paint(*painter, rect, detail >= RoutedDetail, detail >= LabelDetail);
    painter->restore();
}

void DiagramScene::drawBackground(QPainter* painter, const QRectF& rect)
{
    QGraphicsScene::drawBackground(painter, rect);
    drawLinks(painter, rect);
}
