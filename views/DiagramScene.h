#pragma once

#include "views/DiagramLinks.h"

#include <QGraphicsScene>
#include <QPen>

// The diagram's scene: the boxes are items, the links are drawn beneath them from their own
// index (see DiagramLinks), for the window and for anything that renders the scene.
class DiagramScene : public QGraphicsScene {
    Q_OBJECT

public:
    using QGraphicsScene::QGraphicsScene;

    // Below this scale links are drawn straight, without heads.
    static constexpr double RoutedDetail = 0.2;
    // Below this scale the links' option labels are left out.
    static constexpr double LabelDetail = 0.6;

    void setLinks(qint16 key, const QPainterPath& routed, const QPainterPath& straight,
                  std::vector<DiagramLinks::Label> labels = {});
    void removeLinks(qint16 key);
    void clearLinks();
    QPainterPath linksOf(qint16 key) const { return m_links.routed(key); }
    std::vector<DiagramLinks::Label> linkLabelsOf(qint16 key) const { return m_links.labels(key); }
    void setLinkPen(const QPen& pen);
    // While one is held, link changes repaint the whole scene once, at its end, instead of
    // each its own lines: for redrawing every link at once.
    class Batch {
    public:
        explicit Batch(DiagramScene& scene) : m_scene(scene), m_outer(scene.m_batched) { scene.m_batched = true; }
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        DiagramScene& m_scene;
        bool m_outer;
    };
    // The links in the rectangle, at the painter's scale.
    void drawLinks(QPainter* painter, const QRectF& rect) const;

protected:
    void drawBackground(QPainter* painter, const QRectF& rect) override;

private:
    void repaint(const std::vector<QRectF>& areas);

    DiagramLinks m_links;
    QPen m_linkPen;
    bool m_batched = false;
};
