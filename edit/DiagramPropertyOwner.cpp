#include "edit/DiagramPropertyOwner.h"

#include "edit/CanvasModel.h"
#include "model/CmDecisionItem.h"
#include "model/DecisionProperties.h"

#include <algorithm>
#include <array>
#include <cmath>

using namespace MDecisionDataUtil;

namespace {

// The sizes by word, in the order of the canvas's kinds.
constexpr std::array<int, 3> SizeOfKind{50, 75, 150};

QString coordinate(double value)
{
    // A drag can leave fractions the author never typed.
    return QString::number(std::round(value * 100) / 100);
}

} // namespace

DiagramPropertyOwner::DiagramPropertyOwner(CanvasModel& canvas) : m_canvas(canvas)
{
}

DiagramPropertyOwner::~DiagramPropertyOwner() = default;

QString DiagramPropertyOwner::OwnedProperty(const CmDecisionItem& decision, int labelId) const
{
    const CanvasEntity* entity = m_canvas.Entity(decision.intID());
    if (!entity)
        return QString();
    const QRectF box = entity->bounds();
    switch (labelId) {
    // The canvas's y grows upwards; the author's top grows downwards.
    case TopLabel: return coordinate(-box.bottom());
    case LeftLabel: return coordinate(box.left());
    case SizeLabel: return QString::number(SizeOfKind.at(static_cast<size_t>(m_canvas.EntitySizeKind())));
    default: return QString();
    }
}

bool DiagramPropertyOwner::SetOwnedProperty(CmDecisionItem& decision, int labelId, const QString& value)
{
    if (labelId == SizeLabel)
        return resize(value);
    bool ok = false;
    const double number = value.trimmed().toDouble(&ok);
    // No box stands above or left of the origin.
    return ok && std::isfinite(number) && number >= 0 && move(decision.intID(), labelId, number);
}

bool DiagramPropertyOwner::move(qint16 key, int labelId, double value)
{
    const CanvasEntity* entity = m_canvas.Entity(key);
    if (!entity)
        return false;
    QPointF centre = entity->centre;
    if (labelId == TopLabel)
        centre.setY(-value - entity->size.height() / 2);
    else if (labelId == LeftLabel)
        centre.setX(value + entity->size.width() / 2);
    else
        return false;
    m_canvas.MoveEntity(key, centre);
    return true;
}

bool DiagramPropertyOwner::resize(const QString& value)
{
    const auto* found = std::find(SizeOfKind.cbegin(), SizeOfKind.cend(), value.trimmed().toInt());
    if (found == SizeOfKind.cend())
        return false;
    const int kind = static_cast<int>(found - SizeOfKind.cbegin());
    if (m_resize)
        m_resize(kind);
    else
        m_canvas.setEntitySizeKind(kind);
    return true;
}
