#pragma once

#include "app/DiagramSettings.h"
#include "views/DiagramLinks.h"

#include <QGraphicsView>
#include <QHash>
#include <QTimer>

class CanvasModel;
class CcDecisionTree;
class CmDecisionItem;
class DiagramEntityItem;
class DiagramScene;
class QGraphicsLineItem;
class QRubberBand;

// The decision-tree diagram: draws the canvas model and turns the author's gestures into the
// tree's editing operations. The thumbnail shows the same scene.
class DiagramWindow : public QGraphicsView {
    Q_OBJECT

public:
    enum class Tool { Select, Pan, ZoomIn, ZoomOut, ZoomWindow, AddControl, AddLink };
    // What the checks found in a control, shown as a mark on its box.
    enum class Mark { None, Warning, Error };

    DiagramWindow(CcDecisionTree& tree, const DiagramSettings& settings, QWidget* parent = nullptr);
    ~DiagramWindow() override;

    DiagramScene* diagramScene() const { return m_scene; }
    Tool tool() const { return m_tool; }
    const DiagramSettings& settings() const { return m_settings; }
    // The part of the scene the window shows.
    QRectF visibleArea() const;
    // Scene point of a canvas point: the canvas's y grows upwards.
    static QPointF toScene(QPointF canvasPoint) { return QPointF(canvasPoint.x(), -canvasPoint.y()); }
    static QPointF toCanvas(QPointF scenePoint) { return QPointF(scenePoint.x(), -scenePoint.y()); }

public slots:
    void setTool(DiagramWindow::Tool tool);
    // An interface-type tool (1130 to 1145): new controls take that type.
    void setControlTool(int toolId);
    void zoomIn();
    void zoomOut();
    void zoomExtents();
    void restoreView();
    void zoom100();
    void zoom75();
    void zoom50();
    void zoom25();
    // Every diagram preference at once: colours, grid, lines, size, tooltips.
    void setSettings(const DiagramSettings& settings);
    // A line-style tool (1150 to 1152).
    void setLineStyle(int toolId);
    void setGridLines(bool shown);
    void setSnapToGrid(bool snap);
    void setEntitySize(int toolId);
    void deleteSelected();
    void cutSelected();
    void copySelected();
    void paste();
    // The Control Selector: selects the control and scrolls to it.
    void showControl(qint16 key);
    // Derives and draws every link again (the redraw timer's tick).
    void redrawLinks();
    // The mark of the control with that key; kept for a box drawn again later.
    void setMark(qint16 key, DiagramWindow::Mark mark);
    Mark mark(qint16 key) const { return m_marks.value(key, Mark::None); }

signals:
    // A double click asks for the control's properties.
    void propertiesRequested(qint16 key);
    // The entity popup ("mnuDTEntityPopup") is to show at the point.
    void contextMenuRequested(qint16 key, QPoint globalPosition);
    // F2 on a selected control: its name is to be asked for.
    void renameRequested(qint16 key);
    // The visible part moved: the thumbnail follows.
    void visibleAreaChanged(QRectF sceneRect);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void drawBackground(QPainter* painter, const QRectF& rect) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void rebuild();
    // Every box where the canvas has it and every link drawn again.
    void refreshAll();
    void addItem(qint16 key);
    void removeItem(qint16 key);
    void updateItem(qint16 key);
    void drawLinksOf(qint16 key);
    // For each name a control's !GO lines go to (case-folded), the option it stands under.
    static std::vector<std::pair<QStringView, QStringView>> optionsByTarget(const CmDecisionItem& decision);
    QString optionOf(const std::vector<std::pair<QStringView, QStringView>>& options, qint16 target) const;
    DiagramLinks::Label labelBeside(const QString& option, QPointF start, QPointF next) const;
    void drawAllLinks();
    void drawGrid(QPainter& painter, const QRectF& rect) const;
    void syncSelection();
    void applyCanvasView();
    qint16 entityAt(QPoint viewPoint) const;
    QPointF snapped(QPointF scenePoint) const;
    void scaleBy(double factor);
    void reportVisibleArea();
    void growSceneRect(const QRectF& box);
    // The frame of the zoom-window tool was let go: that part fills the window.
    void zoomToFrame(const QRect& frame);

    CcDecisionTree& m_tree;
    CanvasModel& m_canvas;
    DiagramSettings m_settings;
    DiagramScene* m_scene = nullptr;
    QHash<qint16, DiagramEntityItem*> m_items;
    QHash<qint16, Mark> m_marks;
    QTimer m_linkTimer;
    bool m_rebuilding = false;
    Tool m_tool = Tool::Select;
    qint16 m_pressedKey = 0;
    QPointF m_pressScene;
    QPointF m_pressCentre;
    bool m_dragging = false;
    QGraphicsLineItem* m_rubberLink = nullptr;
    bool m_syncingSelection = false;
    QRubberBand* m_zoomFrame = nullptr;
    QPoint m_zoomOrigin;
};
