#pragma once

#include <QLineF>
#include <QPainterPath>
#include <QRectF>
#include <QString>

#include <functional>
#include <unordered_map>
#include <vector>

class QPainter;

// The diagram's links, drawn beneath the boxes and found by grids of cells, so that a repaint
// touches only the links that pass near the part it draws. As scene items, a control whose
// links cross the whole tree would be asked to paint (and sorted) on every repaint anywhere.
// Each line is filed in the grid whose cells are about its length: a few cells per line
// however long, and a search looks at a few cells of each grid.
class DiagramLinks {
public:
    // The option a link belongs to, written beside it.
    struct Label {
        QRectF box;
        QString text;
        // Beside a line that leaves to the left the text ends at the line.
        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    };

    // A control's links: routed with arrow heads, and as straight lines for far zoom, with the
    // labels of its options. Returns the areas to repaint: where the old and the new links lie.
    std::vector<QRectF> set(qint16 key, const QPainterPath& routed, const QPainterPath& straight,
                            std::vector<Label> labels = {});
    std::vector<QRectF> remove(qint16 key);
    void clear();

    QPainterPath routed(qint16 key) const;
    std::vector<Label> labels(qint16 key) const;
    // Whether a segment passes through a rectangle (clipped against each edge in turn).
    static bool Crosses(const QLineF& line, const QRectF& rect);
    // The controls whose links may pass through the rectangle, each once.
    std::vector<qint16> keysNear(const QRectF& rect) const;
    // Draws the links that pass through the rectangle with the painter's pen, and their labels
    // when asked.
    void paint(QPainter& painter, const QRectF& rect, bool routed, bool labelled) const;

private:
    struct Links {
        QPainterPath routed;
        // The same lines as plain segments: thousands are drawn in one call.
        std::vector<QLineF> routedLines;
        std::vector<QLineF> straightLines;
        std::vector<Label> labels;
        std::vector<qint64> cells;
    };

    using Grid = std::unordered_map<qint64, std::vector<qint16>>;

    static std::vector<QLineF> segmentsOf(const QPainterPath& path);
    static void addAreasOf(const std::vector<QLineF>& lines, std::vector<QRectF>& areas);
    static void addCellsOf(const std::vector<QLineF>& lines, std::vector<qint64>& cells);
    static void addCellsOf(const std::vector<Label>& labels, std::vector<qint64>& cells);
    static void addAreasOf(const std::vector<Label>& labels, std::vector<QRectF>& areas);
    void unindex(qint16 key, const Links& links);
    void search(int level, const QRectF& area, const std::function<void(const std::vector<qint16>&)>& take) const;

    std::unordered_map<qint16, Links> m_links;
    std::vector<Grid> m_grids;
    // Marks of the controls already taken by a search, so that each comes once.
    mutable std::vector<quint32> m_seen;
    mutable quint32 m_search = 0;
};
