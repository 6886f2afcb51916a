#pragma once

#include "edit/CanvasEntity.h"

#include <QHash>
#include <QObject>
#include <QPointF>
#include <QRectF>
#include <QSet>
#include <QStringList>

#include <functional>
#include <map>
#include <optional>
#include <vector>

class CmDecisionManager;
class CmDecisionItem;
struct DecisionChange;

// The diagram of the decision tree without any drawing: one entity per control, the links that
// the controls' actions yield, the selection and the visible part. It follows the decision
// manager's change events and never owns a decision; decisions held before it was made get
// their entities at once.
class CanvasModel final : public QObject {
    Q_OBJECT

public:
    using Entities = std::map<qint16, CanvasEntity>;
    // Answers whether the entity may go; the handler removes the control itself.
    using DeleteHandler = std::function<bool(qint16 key)>;
    using LinkHandler = std::function<void(qint16 source, qint16 destination)>;

    // While one lives the canvas follows the decisions without telling anyone; at its end it
    // sends reset once. A project read adds thousands of controls: windows that redrew for
    // each would take time that grows with the square of the tree.
    class Batch {
    public:
        explicit Batch(CanvasModel& canvas) : m_canvas(canvas), m_wasBlocked(canvas.blockSignals(true)) {}
        ~Batch()
        {
            m_canvas.blockSignals(m_wasBlocked);
            if (!m_wasBlocked)
                emit m_canvas.reset();
        }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        CanvasModel& m_canvas;
        bool m_wasBlocked;
    };

    explicit CanvasModel(CmDecisionManager& decisions, QObject* parent = nullptr);

    CmDecisionManager& decisions() const { return m_decisions; }

    // A new entity at centre; null when the key is held. Key 0 is a new control: it takes the
    // next free key and is kept right of and below the origin. An entity with its key given
    // (put back by undo, placed by a layout) stands exactly where it is asked to.
    CanvasEntity* AddEntity(QPointF centre, qint16 key = 0);
    // The nearest centre at which a box of that size has its top and left at 0 or more, as the
    // author reads them (canvas y grows upwards, so the box must lie below y = 0).
    static QPointF WithinOrigin(QPointF centre, QSizeF size);
    CanvasEntity* Entity(qint16 key);
    const CanvasEntity* Entity(qint16 key) const;
    // The canvas's own lookup: the key written in decimal.
    CanvasEntity* EntityByKeyText(const QString& keyText);
    const Entities& AllEntities() const { return m_entities; }
    int Count() const { return static_cast<int>(m_entities.size()); }
    // One above every key held by the canvas or given out by the decision manager.
    qint16 NextFreeKey() const;

    void SetCaption(qint16 key, const QString& caption);
    void MoveEntity(qint16 key, QPointF centre);
    // Raises the delete event; false when its handler refused.
    bool DeleteEntity(qint16 key);
    void setDeleteHandler(DeleteHandler handler) { m_deleteHandler = std::move(handler); }
    // Takes the entity away without the delete event.
    void RemoveEntity(qint16 key);
    void Clear();

    // Small, medium or large as in the diagram settings; every entity takes the new size.
    void setEntitySizeKind(int kind);
    QSizeF EntitySize() const { return m_entitySize; }
    // 0 small, 1 medium, 2 large.
    int EntitySizeKind() const { return m_entitySizeKind; }

    void Select(qint16 key, bool addToSelection = false);
    void DeselectAll();
    bool IsSelected(qint16 key) const { return m_selected.contains(key); }
    QList<qint16> SelectedKeys() const { return m_selected.keys(); }

    // Keys of the entities the control's links lead to, in the order of its actions; links
    // drawn by hand and not yet answered follow.
    QList<qint16> LinksFrom(qint16 key) const;
    // The controls whose links shown so far point at the control: a moved box redraws just those.
    QList<qint16> LinksTo(qint16 key) const;
    // Derives every link again (the view's redraw after a structural edit).
    void RefreshLinks();
    bool LinksOutdated() const { return m_linksOutdated; }
    // The rubber band of the add-link tool ended on destination: the link-complete event.
    void CompleteLink(qint16 source, qint16 destination);
    void setLinkHandler(LinkHandler handler) { m_linkHandler = std::move(handler); }
    // Takes back a link drawn by hand (the link dialog was cancelled).
    void RemoveDrawnLink(qint16 source, qint16 destination);

    // Bounding box of every entity; empty without entities.
    QRectF Extents() const;
    QRectF ViewRect() const { return m_view; }
    // The previous view is kept for RestoreView.
    void setViewRect(const QRectF& view);
    // The part a window shows after the author scrolled or zoomed it; no history is kept.
    void setVisibleRect(const QRectF& view) { m_view = view; }
    // Moves the view so that the entity lies inside it, when it does not.
    void ShowEntity(qint16 key);
    void RestoreView();
    void ZoomExtents();
    // The far corner of the view moves to origin + p% of the smaller side of the extents.
    void ZoomToPercent(int percent);

    QPointF LastMousePos() const { return m_lastMouse; }
    void setLastMousePos(QPointF point) { m_lastMouse = point; }
    bool HasPastePoint() const { return m_pastePoint.has_value(); }
    // A click on the canvas: the point to paste at.
    void ClickAt(QPointF point);
    void ClearPastePoint() { m_pastePoint.reset(); }

    // Centres and sizes keyed by decision number, for the project file.
    QString LayoutText() const;
    // Each entity's centre (as the rectangle's corner) and size; nothing when unreadable.
    static std::optional<std::map<qint16, QRectF>> ParseLayoutText(const QString& text);
    // Moves every listed entity; those not listed stay where they were.
    void ApplyLayout(const std::map<qint16, QRectF>& layout);

signals:
    void entityAdded(qint16 key);
    void entityRemoved(qint16 key);
    // Caption, position or size.
    void entityChanged(qint16 key);
    void entityMoved(qint16 key, const QString& oldPoints);
    void linksChanged(qint16 key);
    // Every link may have changed: redraw them all once RefreshLinks ran.
    void linksOutdated();
    void linksReset();
    void selectionChanged();
    void viewChanged();
    // Anything an author would save: the document has unsaved changes.
    void changed();
    void cleared();
    // Many changes at once: show the whole canvas again.
    void reset();

private:
    void onDecisionAdded(CmDecisionItem* item);
    void onDecisionRemoved(CmDecisionItem* item);
    void onDecisionRenamed(CmDecisionItem* item);
    void onDecisionChanged(CmDecisionItem* item, const DecisionChange& change);
    void markLinksOutdated();
    void deriveLinks(qint16 key) const;
    void forgetLinksOf(qint16 key) const;
    void forgetAllLinks() const;
    // Derives again the links of every control that names the given control (by one of the
    // names or its number) and of the one before it by number, whose next control it may be.
    void relinkAround(qint16 key, const QStringList& names);
    // Where a control added without a place waits: right of the others, within the origin.
    QPointF parkingPlace() const;
    CanvasEntity* createEntity(QPointF centre, qint16 key);
    // Entities are looked up by key for every link drawn; the map's nodes stay put, so a table
    // by key can point into them.
    void indexEntity(qint16 key, CanvasEntity* entity);
    CanvasEntity* entityAt(qint16 key) const;
    void growExtents(const CanvasEntity& entity);

    CmDecisionManager& m_decisions;
    Entities m_entities;
    std::vector<CanvasEntity*> m_byKey;
    QHash<qint16, bool> m_selected;
    mutable QHash<qint16, QList<qint16>> m_links;
    // The targets each derived control names, case-folded, and who names each target: an
    // added, removed or renamed control relinks only the controls that name it.
    mutable QHash<qint16, QStringList> m_targetNames;
    mutable QHash<QString, QSet<qint16>> m_referrers;
    mutable QHash<qint16, QSet<qint16>> m_linkedFrom;
    std::vector<std::pair<qint16, qint16>> m_drawnLinks;
    mutable bool m_linksOutdated = false;
    QSizeF m_entitySize;
    int m_entitySizeKind = 1;
    mutable std::optional<QRectF> m_extents;
    QRectF m_view;
    std::vector<QRectF> m_previousViews;
    QPointF m_lastMouse;
    std::optional<QPointF> m_pastePoint;
    DeleteHandler m_deleteHandler;
    LinkHandler m_linkHandler;
};
