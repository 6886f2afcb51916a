#include "views/DiagramWindow.h"

#include "app/ToolId.h"
#include "base/ProcedureBoundary.h"
#include "edit/CanvasModel.h"
#include "edit/CcDecisionTree.h"
#include "edit/CvDecisionTree.h"
#include "edit/LinkRoute.h"
#include "lang/BlockLine.h"
#include "model/CmDecisionItem.h"
#include "views/DiagramScene.h"

#include <QContextMenuEvent>
#include <QGraphicsItem>
#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRubberBand>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyleOptionGraphicsItem>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

QColor colour(int rgb)
{
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// Below this scale captions are left out.
constexpr double CaptionDetail = 0.35;
// Boxes above the scene's background, where the links are drawn.
constexpr int EntityLayer = 1;

void addArrowHead(QPainterPath& path, QPointF tip, QPointF from)
{
    const QLineF back(tip, from);
    if (back.length() < 1)
        return;
    QLineF side = back;
    side.setLength(9);
    side.setAngle(back.angle() + 25);
    path.moveTo(tip);
    path.lineTo(side.p2());
    side.setAngle(back.angle() - 25);
    path.moveTo(tip);
    path.lineTo(side.p2());
}

// Lines keep their width on screen at any zoom: zoomed out to a whole large tree, a scaled pen
// would draw nothing and the diagram would look empty.
QPen outline(const QColor& ink, int pixels)
{
    QPen pen(ink, pixels);
    pen.setCosmetic(true);
    return pen;
}

} // namespace

// One control's box with its caption.
class DiagramEntityItem : public QGraphicsItem {
public:
    DiagramEntityItem(qint16 key, const DiagramSettings& settings) : m_key(key), m_settings(settings)
    {
        setFlag(ItemIsSelectable);
        setZValue(EntityLayer);
    }
    qint16 key() const { return m_key; }
    void setShape(const QRectF& box, const QString& caption)
    {
        prepareGeometryChange();
        m_box = box;
        m_caption = caption;
        showToolTip();
        update();
    }
    // Zoomed out, a box is too small to show its caption; the tooltip shows it on request.
    void showToolTip() { setToolTip(m_settings.ToolTip ? m_caption : QString()); }
    QRectF boxInScene() const { return m_box; }
    void setMark(DiagramWindow::Mark mark)
    {
        if (mark != m_mark) {
            m_mark = mark;
            update();
        }
    }
    QRectF boundingRect() const override { return m_box.adjusted(-2, -2, 2, 2); }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget*) override
    {
        const double detail = option->levelOfDetailFromTransform(painter->worldTransform());
        // Zoomed far out a frame is too thin to tell, and a mark takes it over: the fill shows
        // the selection there.
        const bool selectedFarOut = isSelected() && detail < CaptionDetail;
        painter->setBrush(selectedFarOut ? QColor(90, 140, 255) : colour(m_settings.EntityColor));
        painter->setPen(outline(isSelected() ? QColor(Qt::blue) : colour(m_settings.TextColor), isSelected() ? 2 : 1));
        painter->drawRect(m_box);
        // Marks help while editing; a printed page shows the tree as it is.
        if (m_mark != DiagramWindow::Mark::None && painter->device()->devType() != QInternal::Printer)
            paintMark(*painter, detail);
        if (detail < CaptionDetail)
            return;
        painter->setPen(colour(m_settings.TextColor));
        painter->drawText(m_box, Qt::AlignCenter | Qt::TextWordWrap, m_caption);
    }

private:
    // A dot in the box's top right corner; zoomed far out, where a dot would vanish, the
    // box's frame takes the colour instead.
    void paintMark(QPainter& painter, double detail) const
    {
        const QColor ink = m_mark == DiagramWindow::Mark::Error ? QColor(220, 30, 30) : QColor(235, 180, 0);
        if (detail < CaptionDetail) {
            painter.setBrush(Qt::NoBrush);
            painter.setPen(outline(ink, 3));
            painter.drawRect(m_box);
            return;
        }
        const double size = std::clamp(m_box.height() / 4, 6.0, 14.0);
        painter.setPen(outline(ink.darker(130), 1));
        painter.setBrush(ink);
        painter.drawEllipse(QRectF(m_box.right() - size - 2, m_box.top() + 2, size, size));
    }

    qint16 m_key;
    const DiagramSettings& m_settings;
    QRectF m_box;
    QString m_caption;
    DiagramWindow::Mark m_mark = DiagramWindow::Mark::None;
};

DiagramWindow::DiagramWindow(CcDecisionTree& tree, const DiagramSettings& settings, QWidget* parent)
    : QGraphicsView(parent), m_tree(tree), m_canvas(tree.View().Canvas()), m_settings(settings)
{
    setObjectName(QStringLiteral("frmDecisionTree"));
    m_scene = new DiagramScene(this);
    m_scene->setItemIndexMethod(QGraphicsScene::BspTreeIndex);
    setScene(m_scene);
    setRenderHint(QPainter::Antialiasing, false);
    setViewportUpdateMode(QGraphicsView::MinimalViewportUpdate);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setBackgroundBrush(colour(m_settings.BackColor));
    m_scene->setLinkPen(outline(colour(m_settings.LinkColor), 1));
    m_linkTimer.setSingleShot(true);
    m_linkTimer.setInterval(0);
    connect(&m_linkTimer, &QTimer::timeout, this, &DiagramWindow::redrawLinks);
    connect(&m_canvas, &CanvasModel::entityAdded, this, [this](qint16 key) {
        addItem(key);
        drawLinksOf(key);
    });
    connect(&m_canvas, &CanvasModel::entityRemoved, this, &DiagramWindow::removeItem);
    connect(&m_canvas, &CanvasModel::entityChanged, this, &DiagramWindow::updateItem);
    connect(&m_canvas, &CanvasModel::linksChanged, this, &DiagramWindow::drawLinksOf);
    connect(&m_canvas, &CanvasModel::linksOutdated, &m_linkTimer, qOverload<>(&QTimer::start));
    connect(&m_canvas, &CanvasModel::linksReset, this, &DiagramWindow::refreshAll);
    connect(&m_canvas, &CanvasModel::cleared, this, &DiagramWindow::rebuild);
    connect(&m_canvas, &CanvasModel::reset, this, &DiagramWindow::rebuild);
    connect(&m_canvas, &CanvasModel::selectionChanged, this, &DiagramWindow::syncSelection);
    connect(&m_canvas, &CanvasModel::viewChanged, this, &DiagramWindow::applyCanvasView);
    connect(&tree.View(), &CvDecisionTree::linkRedrawRequested, &m_linkTimer, qOverload<>(&QTimer::start));
    connect(&tree.View(), &CvDecisionTree::refreshRequested, this, [this] { viewport()->update(); });
    connect(m_scene, &QGraphicsScene::selectionChanged, this, [this] {
        if (m_syncingSelection)
            return;
        m_canvas.DeselectAll();
        for (QGraphicsItem* item : m_scene->selectedItems()) {
            if (auto* entity = dynamic_cast<DiagramEntityItem*>(item))
                m_canvas.Select(entity->key(), true);
        }
    });
    m_tree.View().setDiagramOpen(true);
    rebuild();
}

DiagramWindow::~DiagramWindow()
{
    // The scene goes with the window's children and reports its selection on the way.
    m_scene->disconnect(this);
    m_canvas.disconnect(this);
    m_tree.View().disconnect(this);
    m_tree.View().setDiagramOpen(false);
}

void DiagramWindow::rebuild()
{
    // The old items are forgotten before the scene deletes them, and the scene stays quiet
    // meanwhile: deleting a selected item reports the selection, which walks the items.
    m_items.clear();
    m_scene->clearLinks();
    m_rubberLink = nullptr;
    {
        const QSignalBlocker quiet(m_scene);
        m_scene->clear();
    }
    {
        // Every link is drawn once at the end, not again for each box placed.
        const QScopedValueRollback rebuilding(m_rebuilding, true);
        for (const auto& [key, entity] : m_canvas.AllEntities())
            addItem(key);
    }
    redrawLinks();
    syncSelection();
}

void DiagramWindow::refreshAll()
{
    for (auto it = m_items.cbegin(); it != m_items.cend(); ++it)
        updateItem(it.key());
    m_linkTimer.stop();
    drawAllLinks();
}

void DiagramWindow::drawAllLinks()
{
    const DiagramScene::Batch batch(*m_scene);
    for (auto it = m_items.cbegin(); it != m_items.cend(); ++it)
        drawLinksOf(it.key());
}

void DiagramWindow::addItem(qint16 key)
{
    if (m_items.contains(key))
        return updateItem(key);
    auto* item = new DiagramEntityItem(key, m_settings);
    item->setMark(m_marks.value(key, Mark::None));
    m_scene->addItem(item);
    m_items.insert(key, item);
    updateItem(key);
}

void DiagramWindow::removeItem(qint16 key)
{
    // The canvas has already relinked the controls that pointed here.
    delete m_items.take(key);
    m_scene->removeLinks(key);
}

void DiagramWindow::updateItem(qint16 key)
{
    const CanvasEntity* entity = m_canvas.Entity(key);
    DiagramEntityItem* item = m_items.value(key);
    if (!entity || !item)
        return;
    const QRectF box(toScene(entity->centre) - QPointF(entity->size.width() / 2, entity->size.height() / 2),
                     entity->size);
    const bool moved = item->boxInScene() != box;
    item->setShape(box, entity->caption);
    growSceneRect(box);
    if (!moved || m_rebuilding)
        return;
    drawLinksOf(key);
    for (const qint16 source : m_canvas.LinksTo(key))
        drawLinksOf(source);
}

void DiagramWindow::drawLinksOf(qint16 key)
{
    const DiagramEntityItem* from = m_items.value(key);
    if (!from)
        return m_scene->removeLinks(key);
    QPainterPath routed;
    QPainterPath straight;
    std::vector<DiagramLinks::Label> labels;
    const CanvasEntity* entity = m_canvas.Entity(key);
    const std::vector<std::pair<QStringView, QStringView>> options =
        entity && entity->data ? optionsByTarget(*entity->data) : std::vector<std::pair<QStringView, QStringView>>();
    const QRectF source = from->boxInScene();
    const LinkRoute::Style style = LinkRoute::StyleFromSetting(m_settings.LineStyle);
    for (qint16 target : m_canvas.LinksFrom(key)) {
        const DiagramEntityItem* to = m_items.value(target);
        if (!to)
            continue;
        const QRectF destination = to->boxInScene();
        straight.moveTo(source.center());
        straight.lineTo(destination.center());
        const QList<QPointF> points = LinkRoute::Points(source, destination, style);
        routed.moveTo(points.first());
        for (qsizetype i = 1; i < points.size(); ++i)
            routed.lineTo(points.at(i));
        addArrowHead(routed, points.last(), points.at(points.size() - 2));
        const QString option = optionOf(options, target);
        if (!option.isEmpty())
            labels.push_back(labelBeside(option, points.at(0), points.at(1)));
    }
    m_scene->setLinks(key, routed, straight, std::move(labels));
}

std::vector<std::pair<QStringView, QStringView>> DiagramWindow::optionsByTarget(const CmDecisionItem& decision)
{
    // Views into the control's own lines: this runs for every control a project opens with.
    std::vector<std::pair<QStringView, QStringView>> options;
    QStringView option;
    for (const QString& line : decision.OptsAndActs()) {
        if (BlockLine::IsOption(line)) {
            option = QStringView(line).mid(1).trimmed();
        } else if (!option.isEmpty() && BlockLine::IsKeyword(line, BlockLine::Go)) {
            const qsizetype blank = line.indexOf(QLatin1Char(' '));
            const QStringView target = blank < 0 ? QStringView() : QStringView(line).mid(blank + 1).trimmed();
            const bool named = std::any_of(options.begin(), options.end(), [&target](const auto& entry) {
                return entry.first.compare(target, Qt::CaseInsensitive) == 0;
            });
            if (!target.isEmpty() && !named)
                options.emplace_back(target, option);
        }
    }
    return options;
}

QString DiagramWindow::optionOf(const std::vector<std::pair<QStringView, QStringView>>& options, qint16 target) const
{
    if (options.empty())
        return QString();
    const CanvasEntity* entity = m_canvas.Entity(target);
    const QString name = entity && entity->data && !entity->data->strID().isEmpty() ? entity->data->strID()
                                                                                      : QString::number(target);
    for (const auto& [goesTo, option] : options) {
        if (goesTo.compare(name, Qt::CaseInsensitive) == 0)
            return option.toString();
    }
    return QString();
}

DiagramLinks::Label DiagramWindow::labelBeside(const QString& option, QPointF start, QPointF next) const
{
    // Long options are cut: the label names the answer, it does not repeat it.
    constexpr qsizetype Longest = 28;
    const QString text = option.size() > Longest ? option.left(Longest - 1) + QChar(0x2026) : option;
    const QFontMetricsF metrics(m_scene->font());
    const QSizeF size(metrics.averageCharWidth() * 1.3 * double(text.size()) + 4, metrics.height());
    const QPointF middle = (start + next) / 2;
    // Above a line that runs across; beside one that runs up or down, on the side it leaves
    // towards, so that links fanning out keep theirs apart.
    if (std::abs(next.x() - start.x()) > std::abs(next.y() - start.y()))
        return {QRectF(middle - QPointF(size.width() / 2, size.height() + 2), size), text, Qt::AlignHCenter | Qt::AlignBottom};
    if (next.x() < start.x())
        return {QRectF(middle - QPointF(4 + size.width(), size.height() / 2), size), text, Qt::AlignRight | Qt::AlignVCenter};
    return {QRectF(middle + QPointF(4, -size.height() / 2), size), text, Qt::AlignLeft | Qt::AlignVCenter};
}

void DiagramWindow::redrawLinks()
{
    m_canvas.RefreshLinks();
}

void DiagramWindow::setMark(qint16 key, Mark mark)
{
    if (mark == Mark::None)
        m_marks.remove(key);
    else
        m_marks.insert(key, mark);
    if (DiagramEntityItem* item = m_items.value(key))
        item->setMark(mark);
}

void DiagramWindow::syncSelection()
{
    // Only the boxes shown selected and those the canvas selects can differ: a click in a large
    // tree must not visit every box.
    m_syncingSelection = true;
    for (QGraphicsItem* item : m_scene->selectedItems()) {
        const auto* entity = dynamic_cast<const DiagramEntityItem*>(item);
        if (entity && !m_canvas.IsSelected(entity->key()))
            item->setSelected(false);
    }
    for (const qint16 key : m_canvas.SelectedKeys()) {
        if (DiagramEntityItem* item = m_items.value(key); item && !item->isSelected())
            item->setSelected(true);
    }
    m_syncingSelection = false;
}

void DiagramWindow::applyCanvasView()
{
    const QRectF view = m_canvas.ViewRect();
    if (view.isNull() || view.isEmpty())
        return;
    const QRectF scene(QPointF(view.left(), -view.bottom()), view.size());
    fitInView(scene.adjusted(-20, -20, 20, 20), Qt::KeepAspectRatio);
    reportVisibleArea();
}

qint16 DiagramWindow::entityAt(QPoint viewPoint) const
{
    // Boxes are tested by their bounding rectangles: the view's own test strokes the shape of
    // every link path near the point, which costs more than the click at a large tree.
    const QList<QGraphicsItem*> hit =
        m_scene->items(mapToScene(viewPoint), Qt::IntersectsItemBoundingRect, Qt::DescendingOrder, transform());
    for (QGraphicsItem* item : hit) {
        if (auto* entity = dynamic_cast<DiagramEntityItem*>(item))
            return entity->key();
    }
    return 0;
}

QPointF DiagramWindow::snapped(QPointF scenePoint) const
{
    if (!m_settings.SnapToGrid || m_settings.GridSpacing <= 0)
        return scenePoint;
    const double grid = m_settings.GridSpacing;
    return QPointF(std::round(scenePoint.x() / grid) * grid, std::round(scenePoint.y() / grid) * grid);
}

void DiagramWindow::setTool(Tool tool)
{
    m_tool = tool;
    setDragMode(tool == Tool::Pan ? QGraphicsView::ScrollHandDrag : QGraphicsView::NoDrag);
}

void DiagramWindow::setControlTool(int toolId)
{
    m_tree.View().setControlTool(toolId);
    setTool(Tool::AddControl);
}

void DiagramWindow::scaleBy(double factor)
{
    scale(factor, factor);
    reportVisibleArea();
}

void DiagramWindow::zoomIn()
{
    scaleBy(1.25);
}

void DiagramWindow::zoomOut()
{
    scaleBy(0.8);
}

void DiagramWindow::zoomToFrame(const QRect& frame)
{
    // A click, or a frame too thin to mean a part of the diagram, zooms in where it was made.
    constexpr int SmallestFrame = 4;
    if (frame.width() < SmallestFrame || frame.height() < SmallestFrame) {
        centerOn(mapToScene(frame.center()));
        return zoomIn();
    }
    const QRectF scene = mapToScene(frame).boundingRect();
    m_canvas.setViewRect(QRectF(toCanvas(scene.bottomLeft()), scene.size()));
}

void DiagramWindow::zoomExtents()
{
    m_tree.ZoomExtents();
    applyCanvasView();
}

void DiagramWindow::restoreView()
{
    m_tree.RestoreView();
}

void DiagramWindow::zoom100()
{
    m_tree.Zoom100();
}

void DiagramWindow::zoom75()
{
    m_tree.Zoom75();
}

void DiagramWindow::zoom50()
{
    m_tree.Zoom50();
}

void DiagramWindow::zoom25()
{
    m_tree.Zoom25();
}

void DiagramWindow::setLineStyle(int toolId)
{
    constexpr int FirstLineStyleTool = +ToolId::StraightLines;
    m_settings.LineStyle = int(LinkRoute::StyleFromSetting(toolId - FirstLineStyleTool));
    drawAllLinks();
}

void DiagramWindow::setSettings(const DiagramSettings& settings)
{
    const bool resized = settings.EntitySize != m_settings.EntitySize;
    m_settings = settings;
    setBackgroundBrush(colour(m_settings.BackColor));
    m_scene->setLinkPen(outline(colour(m_settings.LinkColor), 1));
    if (resized)
        m_canvas.setEntitySizeKind(m_settings.EntitySize);
    for (auto it = m_items.cbegin(); it != m_items.cend(); ++it) {
        it.value()->showToolTip();
        it.value()->update();
    }
    drawAllLinks();
    viewport()->update();
}

void DiagramWindow::setGridLines(bool shown)
{
    m_settings.GridLines = shown;
    viewport()->update();
}

void DiagramWindow::setSnapToGrid(bool snap)
{
    m_settings.SnapToGrid = snap;
}

void DiagramWindow::setEntitySize(int toolId)
{
    m_settings.EntitySize = toolId - +ToolId::SizeSmall;
    m_canvas.setEntitySizeKind(m_settings.EntitySize);
}

void DiagramWindow::deleteSelected()
{
    m_tree.RemoveSelection();
}

void DiagramWindow::cutSelected()
{
    m_tree.CutEntity();
}

void DiagramWindow::copySelected()
{
    m_tree.CopyEntity();
}

void DiagramWindow::paste()
{
    m_tree.PasteEntity();
}

void DiagramWindow::showControl(qint16 key)
{
    m_tree.SelectDecision(key);
    if (const DiagramEntityItem* item = m_items.value(key))
        centerOn(item);
    reportVisibleArea();
}

void DiagramWindow::mousePressEvent(QMouseEvent* event)
{
    if (m_tool == Tool::Pan || event->button() != Qt::LeftButton)
        return QGraphicsView::mousePressEvent(event);
    ProcedureBoundary::run("CvDecisionTree.MouseDown", [&] {
        const QPointF scenePoint = mapToScene(event->position().toPoint());
        m_canvas.ClickAt(toCanvas(scenePoint));
        m_pressScene = scenePoint;
        m_pressedKey = entityAt(event->position().toPoint());
        m_dragging = false;
        switch (m_tool) {
        case Tool::ZoomIn: zoomIn(); return;
        case Tool::ZoomOut: zoomOut(); return;
        case Tool::ZoomWindow:
            if (!m_zoomFrame)
                m_zoomFrame = new QRubberBand(QRubberBand::Rectangle, viewport());
            m_zoomOrigin = event->position().toPoint();
            m_zoomFrame->setGeometry(QRect(m_zoomOrigin, QSize()));
            m_zoomFrame->show();
            return;
        case Tool::AddControl:
            // The new control is selected, so that its properties are the next thing to edit.
            if (!m_pressedKey) {
                if (const CmDecisionItem* added = m_tree.AddNew(toCanvas(snapped(scenePoint)), 1))
                    m_tree.SelectDecision(added->intID());
            }
            return;
        case Tool::AddLink:
            if (m_pressedKey) {
                const QPointF start = m_items.value(m_pressedKey)->boxInScene().center();
                m_rubberLink = m_scene->addLine(QLineF(start, scenePoint), QPen(colour(m_settings.LinkColor), 1, Qt::DashLine));
            }
            return;
        default: break;
        }
        if (m_pressedKey) {
            m_pressCentre = m_canvas.Entity(m_pressedKey)->centre;
            if (!(event->modifiers() & Qt::ControlModifier))
                m_tree.SelectDecision(m_pressedKey);
            else
                m_canvas.Select(m_pressedKey, true);
        } else {
            m_tree.DeSelectDecision();
            setDragMode(QGraphicsView::RubberBandDrag);
            QGraphicsView::mousePressEvent(event);
        }
    });
}

void DiagramWindow::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF scenePoint = mapToScene(event->position().toPoint());
    m_canvas.setLastMousePos(toCanvas(scenePoint));
    if (m_rubberLink) {
        m_rubberLink->setLine(QLineF(m_rubberLink->line().p1(), scenePoint));
        return;
    }
    if (m_zoomFrame && m_zoomFrame->isVisible()) {
        m_zoomFrame->setGeometry(QRect(m_zoomOrigin, event->position().toPoint()).normalized());
        return;
    }
    if (m_tool == Tool::Select && m_pressedKey && (event->buttons() & Qt::LeftButton)) {
        m_dragging = true;
        DiagramEntityItem* item = m_items.value(m_pressedKey);
        const CanvasEntity* entity = m_canvas.Entity(m_pressedKey);
        if (item && entity) {
            // The box stops at the origin: its top and left never go below 0.
            const QPointF centre = toCanvas(snapped(toScene(m_pressCentre) + scenePoint - m_pressScene));
            item->setPos(toScene(CanvasModel::WithinOrigin(centre, entity->size)) - toScene(m_pressCentre));
        }
        return;
    }
    QGraphicsView::mouseMoveEvent(event);
}

void DiagramWindow::mouseReleaseEvent(QMouseEvent* event)
{
    ProcedureBoundary::run("CvDecisionTree.MouseUp", [&] {
        const QPointF scenePoint = mapToScene(event->position().toPoint());
        if (m_rubberLink) {
            delete m_rubberLink;
            m_rubberLink = nullptr;
            const qint16 target = entityAt(event->position().toPoint());
            const qint16 source = m_pressedKey;
            m_pressedKey = 0;
            // A click without a drag is no link.
            if (target && target != source)
                m_canvas.CompleteLink(source, target);
            return;
        }
        if (m_zoomFrame && m_zoomFrame->isVisible()) {
            m_zoomFrame->hide();
            m_pressedKey = 0;
            zoomToFrame(QRect(m_zoomOrigin, event->position().toPoint()).normalized());
            return;
        }
        if (m_dragging && m_pressedKey) {
            DiagramEntityItem* item = m_items.value(m_pressedKey);
            const CanvasEntity* entity = m_canvas.Entity(m_pressedKey);
            if (item && entity) {
                const QPointF offset = item->pos();
                item->setPos(0, 0);
                // Again here: adding the offset back may round a box at the origin to just past it.
                m_canvas.MoveEntity(m_pressedKey, CanvasModel::WithinOrigin(toCanvas(toScene(m_pressCentre) + offset), entity->size));
            }
        }
        m_dragging = false;
        m_pressedKey = 0;
        QGraphicsView::mouseReleaseEvent(event);
        if (m_tool == Tool::Select)
            setDragMode(QGraphicsView::NoDrag);
        Q_UNUSED(scenePoint);
    });
}

void DiagramWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (const qint16 key = entityAt(event->position().toPoint()))
        emit propertiesRequested(key);
}

void DiagramWindow::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier))
        return QGraphicsView::wheelEvent(event);
    scaleBy(event->angleDelta().y() > 0 ? 1.15 : 1 / 1.15);
}

void DiagramWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Delete))
        deleteSelected();
    else if (event->matches(QKeySequence::Cut))
        cutSelected();
    else if (event->matches(QKeySequence::Copy))
        copySelected();
    else if (event->matches(QKeySequence::Paste))
        paste();
    else if (event->key() == Qt::Key_F2 && m_canvas.SelectedKeys().size() == 1)
        emit renameRequested(m_canvas.SelectedKeys().first());
    else
        QGraphicsView::keyPressEvent(event);
}

void DiagramWindow::contextMenuEvent(QContextMenuEvent* event)
{
    const qint16 key = entityAt(event->pos());
    if (key)
        m_tree.SelectDecision(key);
    m_canvas.ClickAt(toCanvas(mapToScene(event->pos())));
    emit contextMenuRequested(key, event->globalPos());
}

void DiagramWindow::drawBackground(QPainter* painter, const QRectF& rect)
{
    QGraphicsView::drawBackground(painter, rect);
    drawGrid(*painter, rect);
    m_scene->drawLinks(painter, rect);
}

void DiagramWindow::drawGrid(QPainter& painter, const QRectF& rect) const
{
    if (!m_settings.GridLines || m_settings.GridSpacing <= 0)
        return;
    const double grid = m_settings.GridSpacing;
    // A grid finer than a few pixels is only noise, and costs lines for every pixel row.
    if (grid * transform().m11() < 6)
        return;
    painter.setPen(QPen(colour(m_settings.GridColor), 0));
    for (double x = std::floor(rect.left() / grid) * grid; x < rect.right(); x += grid)
        painter.drawLine(QPointF(x, rect.top()), QPointF(x, rect.bottom()));
    for (double y = std::floor(rect.top() / grid) * grid; y < rect.bottom(); y += grid)
        painter.drawLine(QPointF(rect.left(), y), QPointF(rect.right(), y));
}

void DiagramWindow::scrollContentsBy(int dx, int dy)
{
    QGraphicsView::scrollContentsBy(dx, dy);
    reportVisibleArea();
}

void DiagramWindow::resizeEvent(QResizeEvent* event)
{
    QGraphicsView::resizeEvent(event);
    reportVisibleArea();
}

QRectF DiagramWindow::visibleArea() const
{
    return mapToScene(viewport()->rect()).boundingRect();
}

// The scene only grows, and reaches a window's width and height beyond what the window shows:
// a scene that fits in the window is centred in it, and every control added would then move the
// whole diagram away from where the author clicked. So the diagram is always scrolled, and
// scrolling to an edge makes room beyond it.
void DiagramWindow::growSceneRect(const QRectF& box)
{
    constexpr qreal Margin = 200;
    const QRectF visible = visibleArea();
    QRectF wanted = visible.adjusted(-visible.width(), -visible.height(), visible.width(), visible.height());
    if (!box.isNull())
        wanted = wanted.united(box.adjusted(-Margin, -Margin, Margin, Margin));
    const QRectF scene = m_scene->sceneRect();
    if (!scene.contains(wanted))
        m_scene->setSceneRect(scene.united(wanted));
}

void DiagramWindow::reportVisibleArea()
{
    growSceneRect(QRectF());
    const QRectF visible = visibleArea();
    m_canvas.setVisibleRect(QRectF(QPointF(visible.left(), -visible.bottom()), visible.size()));
    emit visibleAreaChanged(visible);
}
