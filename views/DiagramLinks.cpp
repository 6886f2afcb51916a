#include "views/DiagramLinks.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace {

// Scene units per cell of the finest grid; each coarser grid's cells are four times as wide.
constexpr double FinestCell = 400;
constexpr int GridCount = 12;
// Room around a line for its pen and the pixels it may round to.
constexpr double Margin = 12;
// A line that never crosses a grid line in one direction.
constexpr double Never = std::numeric_limits<double>::infinity();

double cellSize(int level)
{
    return FinestCell * double(1 << (2 * level));
}

// The grid for a line: the finest whose cells are at least a quarter of its length.
int levelFor(QPointF from, QPointF to)
{
    const double span = std::max(std::abs(to.x() - from.x()), std::abs(to.y() - from.y()));
    int level = 0;
    while (level + 1 < GridCount && span > 4 * cellSize(level))
        ++level;
    return level;
}

qint64 cellOf(double coordinate, double size)
{
    return static_cast<qint64>(std::floor(coordinate / size));
}

// Grid level, column and row in one number.
qint64 cellId(int level, qint64 column, qint64 row)
{
    return static_cast<qint64>((static_cast<quint64>(level) << 58) | ((static_cast<quint64>(column) & 0x1FFFFFFFu) << 29)
                               | (static_cast<quint64>(row) & 0x1FFFFFFFu));
}

qint64 signedPart(qint64 bits)
{
    return bits & 0x10000000 ? bits - 0x20000000 : bits;
}

qint64 columnOf(qint64 cell)
{
    return signedPart((cell >> 29) & 0x1FFFFFFF);
}

qint64 rowOf(qint64 cell)
{
    return signedPart(cell & 0x1FFFFFFF);
}

// Every cell of a grid that a segment passes through, walked cell by cell along it.
template <typename Visit>
void forEachCell(QPointF from, QPointF to, double size, Visit&& visit)
{
    qint64 column = cellOf(from.x(), size);
    qint64 row = cellOf(from.y(), size);
    const qint64 lastColumn = cellOf(to.x(), size);
    const qint64 lastRow = cellOf(to.y(), size);
    const double dx = to.x() - from.x();
    const double dy = to.y() - from.y();
    const qint64 stepX = dx > 0 ? 1 : -1;
    const qint64 stepY = dy > 0 ? 1 : -1;
    const auto firstCrossing = [size](double start, double delta, qint64 cell) {
        if (delta == 0)
            return Never;
        const double edge = static_cast<double>(cell + (delta > 0 ? 1 : 0)) * size;
        return (edge - start) / delta;
    };
    double nextX = firstCrossing(from.x(), dx, column);
    double nextY = firstCrossing(from.y(), dy, row);
    const double strideX = dx == 0 ? Never : size / std::abs(dx);
    const double strideY = dy == 0 ? Never : size / std::abs(dy);
    qint64 steps = std::abs(lastColumn - column) + std::abs(lastRow - row);
    visit(column, row);
    while (steps-- > 0) {
        if (nextX < nextY) {
            nextX += strideX;
            column += stepX;
        } else {
            nextY += strideY;
            row += stepY;
        }
        visit(column, row);
    }
}

} // namespace

bool DiagramLinks::Crosses(const QLineF& line, const QRectF& rect)
{
    double enter = 0;
    double leave = 1;
    const double dx = line.dx();
    const double dy = line.dy();
    const double toward[] = {-dx, dx, -dy, dy};
    const double room[] = {line.x1() - rect.left(), rect.right() - line.x1(), line.y1() - rect.top(),
                           rect.bottom() - line.y1()};
    for (int edge = 0; edge < 4; ++edge) {
        if (toward[edge] == 0) {
            if (room[edge] < 0)
                return false;
            continue;
        }
        const double at = room[edge] / toward[edge];
        if (toward[edge] < 0)
            enter = std::max(enter, at);
        else
            leave = std::min(leave, at);
    }
    return enter <= leave;
}

// The segments of a path of moves and lines, as the diagram builds them.
std::vector<QLineF> DiagramLinks::segmentsOf(const QPainterPath& path)
{
    std::vector<QLineF> lines;
    for (int i = 1; i < path.elementCount(); ++i) {
        const QPainterPath::Element to = path.elementAt(i);
        if (to.isLineTo()) {
            const QPainterPath::Element from = path.elementAt(i - 1);
            lines.emplace_back(from.x, from.y, to.x, to.y);
        }
    }
    return lines;
}

void DiagramLinks::addAreasOf(const std::vector<QLineF>& lines, std::vector<QRectF>& areas)
{
    for (const QLineF& line : lines)
        areas.push_back(QRectF(line.p1(), line.p2()).normalized().adjusted(-Margin, -Margin, Margin, Margin));
}

void DiagramLinks::addCellsOf(const std::vector<QLineF>& lines, std::vector<qint64>& cells)
{
    for (const QLineF& line : lines) {
        const int level = levelFor(line.p1(), line.p2());
        forEachCell(line.p1(), line.p2(), cellSize(level),
                    [&cells, level](qint64 column, qint64 row) { cells.push_back(cellId(level, column, row)); });
    }
}

void DiagramLinks::addAreasOf(const std::vector<Label>& labels, std::vector<QRectF>& areas)
{
    for (const Label& label : labels)
        areas.push_back(label.box.adjusted(-Margin, -Margin, Margin, Margin));
}

// A label goes in every cell of the finest grid that its box covers.
void DiagramLinks::addCellsOf(const std::vector<Label>& labels, std::vector<qint64>& cells)
{
    const double size = cellSize(0);
    for (const Label& label : labels) {
        for (qint64 column = cellOf(label.box.left(), size); column <= cellOf(label.box.right(), size); ++column) {
            for (qint64 row = cellOf(label.box.top(), size); row <= cellOf(label.box.bottom(), size); ++row)
                cells.push_back(cellId(0, column, row));
        }
    }
}

std::vector<QRectF> DiagramLinks::set(qint16 key, const QPainterPath& routed, const QPainterPath& straight,
                                      std::vector<Label> labels)
{
    std::vector<QRectF> areas = remove(key);
    Links links{routed, segmentsOf(routed), segmentsOf(straight), std::move(labels), {}};
    addCellsOf(links.routedLines, links.cells);
    addCellsOf(links.straightLines, links.cells);
    addCellsOf(links.labels, links.cells);
    std::sort(links.cells.begin(), links.cells.end());
    links.cells.erase(std::unique(links.cells.begin(), links.cells.end()), links.cells.end());
    m_grids.resize(GridCount);
    for (const qint64 cell : links.cells)
        m_grids[std::size_t(cell >> 58)][cell].push_back(key);
    addAreasOf(links.routedLines, areas);
    addAreasOf(links.straightLines, areas);
    addAreasOf(links.labels, areas);
    m_links.insert_or_assign(key, std::move(links));
    return areas;
}

std::vector<QRectF> DiagramLinks::remove(qint16 key)
{
    const auto found = m_links.find(key);
    if (found == m_links.end())
        return {};
    std::vector<QRectF> areas;
    addAreasOf(found->second.routedLines, areas);
    addAreasOf(found->second.straightLines, areas);
    addAreasOf(found->second.labels, areas);
    unindex(key, found->second);
    m_links.erase(found);
    return areas;
}

void DiagramLinks::unindex(qint16 key, const Links& links)
{
    for (const qint64 cell : links.cells) {
        Grid& grid = m_grids[std::size_t(cell >> 58)];
        const auto found = grid.find(cell);
        if (found == grid.end())
            continue;
        std::vector<qint16>& keys = found->second;
        const auto at = std::find(keys.begin(), keys.end(), key);
        if (at != keys.end()) {
            *at = keys.back();
            keys.pop_back();
        }
        if (keys.empty())
            grid.erase(found);
    }
}

void DiagramLinks::clear()
{
    m_links.clear();
    m_grids.clear();
}

QPainterPath DiagramLinks::routed(qint16 key) const
{
    const auto found = m_links.find(key);
    return found == m_links.end() ? QPainterPath() : found->second.routed;
}

std::vector<DiagramLinks::Label> DiagramLinks::labels(qint16 key) const
{
    const auto found = m_links.find(key);
    return found == m_links.end() ? std::vector<Label>() : found->second.labels;
}

std::vector<qint16> DiagramLinks::keysNear(const QRectF& rect) const
{
    std::vector<qint16> keys;
    if (m_links.empty() || !rect.isValid())
        return keys;
    m_seen.resize(1 << 16);
    if (++m_search == 0) {
        std::fill(m_seen.begin(), m_seen.end(), 0);
        m_search = 1;
    }
    const auto take = [&](const std::vector<qint16>& found) {
        for (const qint16 key : found) {
            quint32& seen = m_seen[static_cast<quint16>(key)];
            if (seen != m_search) {
                seen = m_search;
                keys.push_back(key);
            }
        }
    };
    const QRectF area = rect.adjusted(-Margin, -Margin, Margin, Margin);
    for (int level = 0; level < int(m_grids.size()); ++level)
        search(level, area, take);
    return keys;
}

void DiagramLinks::search(int level, const QRectF& area,
                          const std::function<void(const std::vector<qint16>&)>& take) const
{
    const Grid& grid = m_grids[std::size_t(level)];
    if (grid.empty())
        return;
    const double size = cellSize(level);
    const qint64 left = cellOf(area.left(), size);
    const qint64 right = cellOf(area.right(), size);
    const qint64 top = cellOf(area.top(), size);
    const qint64 bottom = cellOf(area.bottom(), size);
    // Zoomed far out the area spans more cells than there are filled ones.
    if ((right - left + 1) * (bottom - top + 1) > static_cast<qint64>(grid.size())) {
        for (const auto& [cell, found] : grid) {
            const qint64 column = columnOf(cell);
            const qint64 row = rowOf(cell);
            if (column >= left && column <= right && row >= top && row <= bottom)
                take(found);
        }
        return;
    }
    for (qint64 column = left; column <= right; ++column) {
        for (qint64 row = top; row <= bottom; ++row) {
            const auto found = grid.find(cellId(level, column, row));
            if (found != grid.end())
                take(found->second);
        }
    }
}

void DiagramLinks::paint(QPainter& painter, const QRectF& rect, bool routed, bool labelled) const
{
    // The grids find lines near the rectangle; of those only the ones through it are drawn.
    const QRectF area = rect.adjusted(-Margin, -Margin, Margin, Margin);
    const std::vector<qint16> near = keysNear(rect);
    std::vector<QLineF> lines;
    std::vector<const Label*> labels;
    for (const qint16 key : near) {
        const Links& links = m_links.at(key);
        for (const QLineF& line : routed ? links.routedLines : links.straightLines) {
            if (Crosses(line, area))
                lines.push_back(line);
        }
        if (!labelled)
            continue;
        for (const Label& label : links.labels) {
            if (label.box.intersects(area))
                labels.push_back(&label);
        }
    }
    if (!lines.empty())
        painter.drawLines(lines.data(), int(lines.size()));
    for (const Label* label : labels)
        painter.drawText(label->box, int(label->alignment), label->text);
}
