#include "edit/AutoLayout.h"

#include "base/ResourceStrings.h"
#include "edit/CanvasModel.h"
#include "edit/CmBreadthFirstSearch.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"

#include <QRectF>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr int PositioningId = 32600;
constexpr int UpdatingLinksId = 32601;

// Nearest whole number, halves to the even neighbour.
double whole(double value)
{
    return std::nearbyint(value);
}

} // namespace

int AutoLayout::SpacingUnit(int controlCount)
{
    return controlCount < 50 ? 75 : 50;
}

std::vector<QPointF> AutoLayout::Positions(const CmBreadthFirstSearch& search, QSizeF box)
{
    std::vector<QPointF> positions;
    const int count = search.Count();
    if (count == 0)
        return positions;
    positions.reserve(static_cast<std::size_t>(count));
    const double unit = SpacingUnit(count);
    const double step = 3 * unit;
    const double firstX = whole(step / 2);
    positions.emplace_back(firstX, 0);
    std::vector<int> placed(static_cast<std::size_t>(search.MaxDepth()) + 1, 0);
    int rootRow = 0;
    int strays = 0;
    for (int i = 2; i <= count; ++i) {
        const CmBFSItem& item = *search.Item(i);
        if (!item.found) {
            positions.emplace_back(whole(step / 2 - step * strays++), step);
        } else if (item.level == 0) {
            positions.emplace_back(whole(step / 2 - step * ++rootRow), 0);
        } else {
            const int level = item.level;
            const int across = search.ItemsAtDepth(level);
            int& k = placed.at(static_cast<std::size_t>(level));
            positions.emplace_back(whole(step * across / 2 - step * k), -step * level);
            ++k;
        }
    }
    // The rows were spread around the first control; the author's top and left must not be
    // negative, so everything moves by one offset and keeps its arrangement.
    double leftmost = positions.front().x();
    double highest = positions.front().y();
    for (const QPointF& centre : positions) {
        leftmost = std::min(leftmost, centre.x());
        highest = std::max(highest, centre.y());
    }
    const QPointF offset(Margin + box.width() / 2 - leftmost, -Margin - box.height() / 2 - highest);
    for (QPointF& centre : positions)
        centre += offset;
    return positions;
}

void AutoLayout::LayOut(CanvasModel& canvas, const CmDecisionManager& decisions, const Progress& progress)
{
    const auto report = [&](const QString& status, int percent) {
        if (progress)
            progress(status, percent);
    };
    report(LoadResString(PositioningId), 0);
    CmBreadthFirstSearch search(decisions);
    const int count = decisions.Count();
    for (int i = 1; i <= count; ++i) {
        const CmDecisionItem* item = decisions.ItemByIndex(i);
        search.add(CmDecisionManager::keyFor(item->strID(), item->intID()));
    }
    search.Search();
    const std::vector<QPointF> positions = Positions(search, canvas.EntitySize());
    std::map<qint16, QRectF> layout;
    int lastPercent = -1;
    for (int i = 1; i <= count; ++i) {
        const CmDecisionItem* item = decisions.ItemByIndex(i);
        const QPointF& point = positions.at(static_cast<std::size_t>(i - 1));
        if (!canvas.Entity(item->intID()))
            canvas.AddEntity(point, item->intID());
        layout[item->intID()] = QRectF(point, canvas.EntitySize());
        const int percent = static_cast<int>(qint64(i) * 100 / count);
        if (percent != lastPercent) {
            lastPercent = percent;
            report(LoadResString(PositioningId), percent);
        }
    }
    canvas.ApplyLayout(layout);
    report(LoadResString(UpdatingLinksId), 100);
    canvas.RefreshLinks();
}
