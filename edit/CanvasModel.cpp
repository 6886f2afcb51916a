#include "edit/CanvasModel.h"

#include "base/KvError.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/DecisionChange.h"
#include "model/LinkTargets.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace {

constexpr int errOverflow = 6;

// Twelve significant digits, as printf's %.12g writes them. Places are mostly whole numbers,
// which that writes as their digits; those take the quick way.
void appendNumber(QString& text, double value)
{
    constexpr double WholeDigitsUpTo = 1e12;
    std::array<char, 32> digits{};
    const bool whole = value == std::trunc(value) && std::abs(value) < WholeDigitsUpTo;
    const auto written = whole
        ? std::to_chars(digits.data(), digits.data() + digits.size(), static_cast<qint64>(value))
        : std::to_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::general, 12);
    text += QLatin1StringView(digits.data(), written.ptr);
}
const QString LayoutHeader = QStringLiteral("KvDiagram\t1");

QSizeF sizeOfKind(int kind)
{
    switch (kind) {
    case 0: return QSizeF(64, 26);
    case 2: return QSizeF(120, 48);
    default: return QSizeF(92, 36);
    }
}

QString captionOf(const CmDecisionItem& item)
{
    return item.strID().isEmpty() ? QString::number(item.intID()) : item.strID();
}

} // namespace

CanvasModel::CanvasModel(CmDecisionManager& decisions, QObject* parent)
    : QObject(parent), m_decisions(decisions), m_entitySize(sizeOfKind(1))
{
    connect(&decisions, &CmDecisionManager::decisionAdded, this, &CanvasModel::onDecisionAdded);
    connect(&decisions, &CmDecisionManager::decisionRemoved, this, &CanvasModel::onDecisionRemoved);
    connect(&decisions, &CmDecisionManager::decisionRenamed, this,
            [this](CmDecisionItem* item, const QString&, const QString&) { onDecisionRenamed(item); });
    connect(&decisions, &CmDecisionManager::decisionChanged, this, &CanvasModel::onDecisionChanged);
    connect(&decisions, &CmDecisionManager::cleared, this, &CanvasModel::Clear);
    for (int i = 1; i <= decisions.Count(); ++i)
        onDecisionAdded(decisions.ItemByIndex(i));
}

CanvasEntity* CanvasModel::AddEntity(QPointF centre, qint16 key)
{
    CanvasEntity* entity = key == 0 ? createEntity(WithinOrigin(centre, m_entitySize), NextFreeKey())
                                    : createEntity(centre, key);
    if (entity)
        emit changed();
    return entity;
}

QPointF CanvasModel::WithinOrigin(QPointF centre, QSizeF size)
{
    return QPointF(std::max(centre.x(), size.width() / 2), std::min(centre.y(), -size.height() / 2));
}

CanvasEntity* CanvasModel::createEntity(QPointF centre, qint16 key)
{
    if (key <= 0 || m_entities.contains(key))
        return nullptr;
    CanvasEntity& entity = m_entities[key];
    indexEntity(key, &entity);
    entity.key = key;
    entity.caption = QString::number(key);
    entity.centre = centre;
    entity.size = m_entitySize;
    growExtents(entity);
    relinkAround(key, {});
    emit entityAdded(key);
    return &entity;
}

CanvasEntity* CanvasModel::Entity(qint16 key)
{
    return entityAt(key);
}

const CanvasEntity* CanvasModel::Entity(qint16 key) const
{
    return entityAt(key);
}

CanvasEntity* CanvasModel::entityAt(qint16 key) const
{
    return key > 0 && static_cast<std::size_t>(key) < m_byKey.size() ? m_byKey[static_cast<std::size_t>(key)] : nullptr;
}

void CanvasModel::indexEntity(qint16 key, CanvasEntity* entity)
{
    const auto slot = static_cast<std::size_t>(key);
    if (slot >= m_byKey.size())
        m_byKey.resize(std::max<std::size_t>(slot + 1, m_byKey.size() * 2), nullptr);
    m_byKey[slot] = entity;
}

CanvasEntity* CanvasModel::EntityByKeyText(const QString& keyText)
{
    bool ok = false;
    const int key = keyText.trimmed().toInt(&ok);
    if (!ok || key < std::numeric_limits<qint16>::min() || key > std::numeric_limits<qint16>::max())
        return nullptr;
    return Entity(static_cast<qint16>(key));
}

qint16 CanvasModel::NextFreeKey() const
{
    const int highest = std::max<int>(m_entities.empty() ? 0 : m_entities.rbegin()->first, m_decisions.LastIntID());
    if (highest >= std::numeric_limits<qint16>::max())
        throw KvError(errOverflow, QStringLiteral("CanvasModel.NextFreeKey"), QStringLiteral("Overflow"));
    return static_cast<qint16>(highest + 1);
}

void CanvasModel::SetCaption(qint16 key, const QString& caption)
{
    if (CanvasEntity* entity = Entity(key); entity && entity->caption != caption) {
        entity->caption = caption;
        emit entityChanged(key);
    }
}

void CanvasModel::MoveEntity(qint16 key, QPointF centre)
{
    CanvasEntity* entity = Entity(key);
    if (!entity || entity->centre == centre)
        return;
    const QString oldPoints = MCanvasPoints::GetPtsData(entity->points());
    entity->centre = centre;
    m_extents.reset();
    emit entityChanged(key);
    emit entityMoved(key, oldPoints);
    emit changed();
}

bool CanvasModel::DeleteEntity(qint16 key)
{
    if (!Entity(key))
        return false;
    if (m_deleteHandler && !m_deleteHandler(key))
        return false;
    // The handler normally removed the control, which took the entity with it.
    RemoveEntity(key);
    emit changed();
    return true;
}

void CanvasModel::RemoveEntity(qint16 key)
{
    const auto found = m_entities.find(key);
    if (found == m_entities.end())
        return;
    const QString caption = found->second.caption;
    indexEntity(key, nullptr);
    m_entities.erase(found);
    m_selected.remove(key);
    m_extents.reset();
    relinkAround(key, {caption});
    emit entityRemoved(key);
}

void CanvasModel::Clear()
{
    m_entities.clear();
    m_byKey.clear();
    m_selected.clear();
    forgetAllLinks();
    m_drawnLinks.clear();
    m_extents.reset();
    m_previousViews.clear();
    m_view = QRectF();
    m_pastePoint.reset();
    m_linksOutdated = false;
    emit cleared();
}

void CanvasModel::setEntitySizeKind(int kind)
{
    m_entitySize = sizeOfKind(kind);
    m_entitySizeKind = kind == 0 || kind == 2 ? kind : 1;
    for (auto& [key, entity] : m_entities)
        entity.size = m_entitySize;
    m_extents.reset();
    emit linksReset();
}

void CanvasModel::Select(qint16 key, bool addToSelection)
{
    if (!addToSelection)
        m_selected.clear();
    if (Entity(key))
        m_selected.insert(key, true);
    emit selectionChanged();
}

void CanvasModel::DeselectAll()
{
    if (m_selected.isEmpty())
        return;
    m_selected.clear();
    emit selectionChanged();
}

QList<qint16> CanvasModel::LinksFrom(qint16 key) const
{
    if (m_linksOutdated) {
        forgetAllLinks();
        m_linksOutdated = false;
    }
    if (!m_links.contains(key))
        deriveLinks(key);
    QList<qint16> links = m_links.value(key);
    for (const auto& [source, destination] : m_drawnLinks) {
        if (source == key)
            links.append(destination);
    }
    return links;
}

QList<qint16> CanvasModel::LinksTo(qint16 key) const
{
    if (m_linksOutdated)
        return {};
    QList<qint16> sources = m_linkedFrom.value(key).values();
    for (const auto& [source, destination] : m_drawnLinks) {
        if (destination == key)
            sources.append(source);
    }
    return sources;
}

void CanvasModel::deriveLinks(qint16 key) const
{
    forgetLinksOf(key);
    QList<qint16>& links = m_links[key];
    const CanvasEntity* entity = Entity(key);
    if (!entity || !entity->data)
        return;
    QStringList& names = m_targetNames[key];
    for (const QString& target : MDecisionDataUtil::GetLinkTargets(*entity->data, m_decisions)) {
        const QString name = target.toCaseFolded();
        names.append(name);
        m_referrers[name].insert(key);
        const CmDecisionItem* destination = m_decisions.Item(target);
        if (destination && Entity(destination->intID())) {
            links.append(destination->intID());
            m_linkedFrom[destination->intID()].insert(key);
        }
    }
}

void CanvasModel::forgetLinksOf(qint16 key) const
{
    for (const qint16 destination : m_links.take(key)) {
        const auto found = m_linkedFrom.find(destination);
        if (found == m_linkedFrom.end())
            continue;
        found->remove(key);
        if (found->isEmpty())
            m_linkedFrom.erase(found);
    }
    for (const QString& name : m_targetNames.take(key)) {
        const auto found = m_referrers.find(name);
        if (found == m_referrers.end())
            continue;
        found->remove(key);
        if (found->isEmpty())
            m_referrers.erase(found);
    }
}

void CanvasModel::forgetAllLinks() const
{
    m_links.clear();
    m_targetNames.clear();
    m_referrers.clear();
    m_linkedFrom.clear();
}

void CanvasModel::relinkAround(qint16 key, const QStringList& names)
{
    if (m_linksOutdated)
        return;
    // Links not derived yet are not drawn either: they are derived when first asked for, so a
    // project being read adds its controls without deriving anything.
    QSet<qint16> sources = m_referrers.value(QString::number(key));
    for (const QString& name : names) {
        if (!name.isEmpty())
            sources.unite(m_referrers.value(name.toCaseFolded()));
    }
    const auto at = m_entities.lower_bound(key);
    if (at != m_entities.begin())
        sources.insert(std::prev(at)->first);
    if (Entity(key))
        sources.insert(key);
    else
        forgetLinksOf(key);
    for (const qint16 source : std::as_const(sources)) {
        if (!Entity(source) || !m_links.contains(source))
            continue;
        deriveLinks(source);
        emit linksChanged(source);
    }
}

void CanvasModel::RefreshLinks()
{
    forgetAllLinks();
    m_linksOutdated = false;
    emit linksReset();
}

void CanvasModel::markLinksOutdated()
{
    if (m_linksOutdated)
        return;
    m_linksOutdated = true;
    emit linksOutdated();
}

void CanvasModel::CompleteLink(qint16 source, qint16 destination)
{
    if (!Entity(source) || !Entity(destination))
        return;
    m_drawnLinks.emplace_back(source, destination);
    emit linksChanged(source);
    if (m_linkHandler)
        m_linkHandler(source, destination);
}

void CanvasModel::RemoveDrawnLink(qint16 source, qint16 destination)
{
    for (auto it = m_drawnLinks.begin(); it != m_drawnLinks.end(); ++it) {
        if (it->first == source && it->second == destination) {
            m_drawnLinks.erase(it);
            emit linksChanged(source);
            return;
        }
    }
}

QRectF CanvasModel::Extents() const
{
    if (!m_extents) {
        QRectF box;
        for (const auto& [key, entity] : m_entities)
            box = box.isNull() ? entity.bounds() : box.united(entity.bounds());
        m_extents = box;
    }
    return *m_extents;
}

void CanvasModel::growExtents(const CanvasEntity& entity)
{
    if (m_extents)
        m_extents = m_extents->isNull() ? entity.bounds() : m_extents->united(entity.bounds());
}

void CanvasModel::setViewRect(const QRectF& view)
{
    if (view == m_view)
        return;
    m_previousViews.push_back(m_view);
    m_view = view;
    emit viewChanged();
}

void CanvasModel::ShowEntity(qint16 key)
{
    const CanvasEntity* entity = Entity(key);
    if (!entity || m_view.isNull() || m_view.contains(entity->bounds()))
        return;
    QRectF moved = m_view;
    moved.moveCenter(entity->centre);
    m_view = moved;
    emit viewChanged();
}

void CanvasModel::RestoreView()
{
    if (m_previousViews.empty())
        return;
    m_view = m_previousViews.back();
    m_previousViews.pop_back();
    emit viewChanged();
}

void CanvasModel::ZoomExtents()
{
    setViewRect(Extents());
}

void CanvasModel::ZoomToPercent(int percent)
{
    const QRectF extents = Extents();
    const double width = std::abs(extents.width());
    const double height = std::abs(extents.height());
    const double side = width < height ? width : height;
    const double reach = std::round(percent / 100.0 * side);
    const QPointF origin = m_view.isNull() ? extents.topLeft() : m_view.topLeft();
    setViewRect(QRectF(origin, QSizeF(reach, reach)));
}

void CanvasModel::ClickAt(QPointF point)
{
    m_lastMouse = point;
    m_pastePoint = point;
}

QString CanvasModel::LayoutText() const
{
    QString text = LayoutHeader + QLatin1Char('\n');
    // About forty characters a line; one allocation up front instead of one a line.
    text.reserve(text.size() + static_cast<qsizetype>(m_entities.size()) * 40);
    for (const auto& [key, entity] : m_entities) {
        text += QString::number(key);
        for (const double value : {entity.centre.x(), entity.centre.y(), entity.size.width(), entity.size.height()}) {
            text += QLatin1Char('\t');
            appendNumber(text, value);
        }
        text += QLatin1Char('\n');
    }
    return text;
}

namespace {

// One line of a layout: the key and its place, or nothing when the line is not one. The text
// was written by LayoutText: plain ASCII numbers with no spaces.
std::optional<std::pair<qint16, QRectF>> parseLayoutLine(std::string_view line)
{
    std::array<std::string_view, 5> fields;
    size_t count = 0;
    for (size_t start = 0; start <= line.size(); ++count) {
        const size_t tab = std::min(line.find('\t', start), line.size());
        if (count == fields.size())
            return std::nullopt;
        fields[count] = line.substr(start, tab - start);
        start = tab + 1;
    }
    if (count != fields.size())
        return std::nullopt;
    const auto parse = [](std::string_view field, auto& value) {
        const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
        return error == std::errc() && end == field.data() + field.size();
    };
    int key = 0;
    if (!parse(fields[0], key) || key <= 0 || key > std::numeric_limits<qint16>::max())
        return std::nullopt;
    std::array<double, 4> values{};
    for (size_t f = 0; f < values.size(); ++f) {
        if (!parse(fields[f + 1], values[f]) || !std::isfinite(values[f]))
            return std::nullopt;
    }
    return std::pair{static_cast<qint16>(key), QRectF(values[0], values[1], values[2], values[3])};
}

} // namespace

std::optional<std::map<qint16, QRectF>> CanvasModel::ParseLayoutText(const QString& text)
{
    // Anything but ASCII is no layout of ours: it becomes '?' here and fails the parse.
    const QByteArray bytes = text.toLatin1();
    const std::string_view all(bytes.constData(), static_cast<size_t>(bytes.size()));
    const QByteArray header = LayoutHeader.toLatin1();
    bool headerSeen = false;
    std::map<qint16, QRectF> layout;
    for (size_t start = 0; start < all.size();) {
        const size_t end = std::min(all.find('\n', start), all.size());
        const std::string_view line = all.substr(start, end - start);
        start = end + 1;
        if (line.empty())
            continue;
        if (!headerSeen) {
            if (line != std::string_view(header.constData(), static_cast<size_t>(header.size())))
                return std::nullopt;
            headerSeen = true;
            continue;
        }
        const auto place = parseLayoutLine(line);
        if (!place)
            return std::nullopt;
        // Keys come in order, so each lands at the end.
        layout.insert_or_assign(layout.end(), place->first, place->second);
    }
    if (!headerSeen)
        return std::nullopt;
    return layout;
}

void CanvasModel::ApplyLayout(const std::map<qint16, QRectF>& layout)
{
    for (const auto& [key, place] : layout) {
        if (CanvasEntity* entity = Entity(key)) {
            entity->centre = place.topLeft();
            if (place.width() > 0 && place.height() > 0)
                entity->size = place.size();
        }
    }
    m_extents.reset();
    emit linksReset();
}

QPointF CanvasModel::parkingPlace() const
{
    const QRectF extents = Extents();
    if (extents.isNull())
        return WithinOrigin(QPointF(0, 0), m_entitySize);
    return WithinOrigin(QPointF(extents.right() + m_entitySize.width(), extents.center().y()), m_entitySize);
}

void CanvasModel::onDecisionAdded(CmDecisionItem* item)
{
    CanvasEntity* entity = Entity(item->intID());
    if (!entity)
        entity = createEntity(parkingPlace(), item->intID());
    if (!entity)
        return;
    entity->data = item;
    SetCaption(entity->key, captionOf(*item));
    relinkAround(entity->key, {item->strID()});
}

void CanvasModel::onDecisionRemoved(CmDecisionItem* item)
{
    const auto found = m_entities.find(item->intID());
    if (found == m_entities.end() || found->second.data != item)
        return;
    const qint16 key = found->first;
    indexEntity(key, nullptr);
    m_entities.erase(found);
    if (m_selected.remove(key) > 0)
        emit selectionChanged();
    m_extents.reset();
    relinkAround(key, {item->strID()});
    emit entityRemoved(key);
}

void CanvasModel::onDecisionRenamed(CmDecisionItem* item)
{
    const CanvasEntity* entity = Entity(item->intID());
    const QString oldCaption = entity ? entity->caption : QString();
    SetCaption(item->intID(), captionOf(*item));
    relinkAround(item->intID(), {oldCaption, item->strID()});
}

void CanvasModel::onDecisionChanged(CmDecisionItem* item, const DecisionChange& change)
{
    if (change.what == DecisionChange::What::Property)
        return;
    if (!m_linksOutdated)
        deriveLinks(item->intID());
    emit linksChanged(item->intID());
}
