#include "edit/TreeGraph.h"

#include "edit/CanvasModel.h"
#include "edit/LinkRoute.h"
#include "lang/BlockLine.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/MDecisionDataUtil.h"

#include <QLineF>
#include <QStringList>
#include <QXmlStreamWriter>

#include <cmath>
#include <functional>
#include <map>
#include <utility>

namespace {

using BlockLine::IsKeyword;

QString dotEscaped(const QString& text)
{
    QString escaped = text;
    return escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
}

QString dotQuoted(const QString& text)
{
    return QLatin1Char('"') + dotEscaped(text) + QLatin1Char('"');
}

QString nodeCaption(const CmDecisionItem& item)
{
    return item.strID().isEmpty() ? QString::number(item.intID()) : item.strID();
}

QString number(double value)
{
    return QString::number(value, 'f', 1);
}

// One edge of the drawing: its SVG path and where its label goes.
struct EdgePath {
    QString d;
    QPointF label;
};

using ToDrawing = std::function<QPointF(QPointF)>;

QString pointText(QPointF point)
{
    return number(point.x()) + QLatin1Char(',') + number(point.y());
}

// From border to border as the printed diagram draws it, so the arrowhead ends on the target's
// border whichever side it meets; the slot moves the edge sideways, away from the other edges
// between the same two boxes (the same way for both directions: lower key to higher).
EdgePath offsetLine(const CanvasEntity& from, const CanvasEntity& to, double slot, bool lowerFirst,
                    const ToDrawing& at)
{
    constexpr double spacing = 14;
    const QList<QPointF> route = LinkRoute::Points(from.bounds(), to.bounds(), LinkRoute::Style::Straight);
    QLineF line(at(route.first()), at(route.last()));
    QLineF normal = (lowerFirst ? line : QLineF(line.p2(), line.p1())).normalVector().unitVector();
    const QPointF shift = (normal.p2() - normal.p1()) * (slot * spacing);
    line.translate(shift);
    return {QLatin1Char('M') + pointText(line.p1()) + QLatin1String(" L") + pointText(line.p2()),
            line.center() + QPointF(3, -3)};
}

// An edge from a box to itself: a loop out of its right side and back, each further one wider.
EdgePath selfLoop(const CanvasEntity& box, int index, const ToDrawing& at)
{
    const QRectF bounds = box.bounds();
    const QPointF right = at(QPointF(bounds.right(), box.centre.y()));
    const double reach = 24 + 12 * index;
    const double rise = box.size.height() / 4;
    const QPointF start(right.x(), right.y() - rise);
    const QPointF end(right.x(), right.y() + rise);
    const QPointF out(right.x() + reach, right.y() - rise - reach / 2);
    const QPointF back(right.x() + reach, right.y() + rise + reach / 2);
    return {QLatin1Char('M') + pointText(start) + QLatin1String(" C") + pointText(out) + QLatin1Char(' ')
                + pointText(back) + QLatin1Char(' ') + pointText(end),
            QPointF(right.x() + reach * 0.75 + 3, right.y())};
}

} // namespace

QList<TreeGraph::Edge> TreeGraph::EdgesOf(const CmDecisionItem& decision, const CmDecisionManager& decisions)
{
    QList<Edge> edges;
    QString option;
    QStringList conditions;
    for (const QString& line : decision.OptsAndActs()) {
        if (BlockLine::IsOption(line)) {
            option = BlockLine::Body(line);
            conditions.clear();
        } else if (IsKeyword(line, BlockLine::If)) {
            conditions.append(BlockLine::ActionArgument(line).trimmed());
        } else if (IsKeyword(line, BlockLine::ElseIf) && !conditions.isEmpty()) {
            conditions.last() = BlockLine::ActionArgument(line).trimmed();
        } else if (IsKeyword(line, BlockLine::Else) && !conditions.isEmpty()) {
            conditions.last() = QStringLiteral("not (%1)").arg(conditions.last());
        } else if (IsKeyword(line, BlockLine::EndIf) && !conditions.isEmpty()) {
            conditions.removeLast();
        } else if (IsKeyword(line, BlockLine::Go)) {
            const CmDecisionItem* target = decisions.Item(BlockLine::ActionArgument(line).trimmed());
            if (!target)
                continue;
            QStringList parts;
            if (!option.isEmpty())
                parts.append(option);
            parts.append(conditions);
            edges.append({target->intID(), parts.join(QLatin1String(" & "))});
        }
    }
    return edges;
}

QString TreeGraph::Dot(const QString& title, const CmDecisionManager& decisions, const CanvasModel& canvas)
{
    QString text;
    text += QStringLiteral("digraph %1 {\n").arg(dotQuoted(title));
    text += QStringLiteral("  node [shape=box];\n");
    for (int i = 1; i <= decisions.Count(); ++i) {
        const CmDecisionItem* item = decisions.ItemByIndex(i);
        QString line = QStringLiteral("  n%1 [label=%2")
                           .arg(item->intID())
                           .arg(QLatin1Char('"') + dotEscaped(nodeCaption(*item)) + QLatin1String("\\n")
                                + dotEscaped(MDecisionDataUtil::ControlIntToStr(item->intControl())) + QLatin1Char('"'));
        if (const CanvasEntity* entity = canvas.Entity(item->intID()))
            line += QStringLiteral(", pos=\"%1,%2!\"").arg(number(entity->centre.x()), number(entity->centre.y()));
        text += line + QStringLiteral("];\n");
    }
    for (int i = 1; i <= decisions.Count(); ++i) {
        const CmDecisionItem* item = decisions.ItemByIndex(i);
        for (const Edge& edge : EdgesOf(*item, decisions)) {
            text += QStringLiteral("  n%1 -> n%2").arg(item->intID()).arg(edge.target);
            if (!edge.label.isEmpty())
                text += QStringLiteral(" [label=%1]").arg(dotQuoted(edge.label));
            text += QStringLiteral(";\n");
        }
    }
    text += QStringLiteral("}\n");
    return text;
}

QString TreeGraph::Svg(const QString& title, const CmDecisionManager& decisions, const CanvasModel& canvas)
{
    constexpr double margin = 40;
    const QRectF extents = canvas.Extents().adjusted(-margin, -margin, margin, margin);
    // The canvas's y grows upwards, the drawing's downwards.
    const ToDrawing at = [&](QPointF point) { return QPointF(point.x() - extents.left(), extents.bottom() - point.y()); };
    QString text;
    QXmlStreamWriter xml(&text);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("svg"));
    xml.writeAttribute(QStringLiteral("xmlns"), QStringLiteral("http://www.w3.org/2000/svg"));
    xml.writeAttribute(QStringLiteral("width"), number(extents.width()));
    xml.writeAttribute(QStringLiteral("height"), number(extents.height()));
    xml.writeTextElement(QStringLiteral("title"), title);
    xml.writeStartElement(QStringLiteral("defs"));
    xml.writeStartElement(QStringLiteral("marker"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("arrow"));
    xml.writeAttribute(QStringLiteral("markerWidth"), QStringLiteral("10"));
    xml.writeAttribute(QStringLiteral("markerHeight"), QStringLiteral("8"));
    xml.writeAttribute(QStringLiteral("refX"), QStringLiteral("10"));
    xml.writeAttribute(QStringLiteral("refY"), QStringLiteral("4"));
    xml.writeAttribute(QStringLiteral("orient"), QStringLiteral("auto"));
    xml.writeEmptyElement(QStringLiteral("path"));
    xml.writeAttribute(QStringLiteral("d"), QStringLiteral("M0,0 L10,4 L0,8 z"));
    xml.writeEndElement();
    xml.writeEndElement();
    // The edges between the same two boxes, either way, each drawn apart from the others.
    std::map<std::pair<qint16, qint16>, int> between;
    std::map<std::pair<qint16, qint16>, int> drawn;
    const auto pairOf = [](qint16 a, qint16 b) { return std::pair(std::min(a, b), std::max(a, b)); };
    for (int i = 1; i <= decisions.Count(); ++i) {
        const CmDecisionItem* item = decisions.ItemByIndex(i);
        for (const Edge& edge : EdgesOf(*item, decisions))
            ++between[pairOf(item->intID(), edge.target)];
    }
    for (int i = 1; i <= decisions.Count(); ++i) {
        const CmDecisionItem* item = decisions.ItemByIndex(i);
        const CanvasEntity* from = canvas.Entity(item->intID());
        for (const Edge& edge : EdgesOf(*item, decisions)) {
            const CanvasEntity* to = canvas.Entity(edge.target);
            if (!from || !to)
                continue;
            const auto pair = pairOf(item->intID(), edge.target);
            const int index = drawn[pair]++;
            const EdgePath path = to == from ? selfLoop(*from, index, at)
                                             : offsetLine(*from, *to, index - (between[pair] - 1) / 2.0,
                                                          item->intID() == pair.first, at);
            xml.writeEmptyElement(QStringLiteral("path"));
            xml.writeAttribute(QStringLiteral("d"), path.d);
            xml.writeAttribute(QStringLiteral("fill"), QStringLiteral("none"));
            xml.writeAttribute(QStringLiteral("stroke"), QStringLiteral("#000080"));
            xml.writeAttribute(QStringLiteral("marker-end"), QStringLiteral("url(#arrow)"));
            if (!edge.label.isEmpty()) {
                xml.writeStartElement(QStringLiteral("text"));
                xml.writeAttribute(QStringLiteral("x"), number(path.label.x()));
                xml.writeAttribute(QStringLiteral("y"), number(path.label.y()));
                xml.writeAttribute(QStringLiteral("font-size"), QStringLiteral("9"));
                xml.writeCharacters(edge.label);
                xml.writeEndElement();
            }
        }
    }
    for (int i = 1; i <= decisions.Count(); ++i) {
        const CmDecisionItem* item = decisions.ItemByIndex(i);
        const CanvasEntity* entity = canvas.Entity(item->intID());
        if (!entity)
            continue;
        const QPointF corner = at(QPointF(entity->bounds().left(), entity->bounds().bottom()));
        xml.writeEmptyElement(QStringLiteral("rect"));
        xml.writeAttribute(QStringLiteral("x"), number(corner.x()));
        xml.writeAttribute(QStringLiteral("y"), number(corner.y()));
        xml.writeAttribute(QStringLiteral("width"), number(entity->size.width()));
        xml.writeAttribute(QStringLiteral("height"), number(entity->size.height()));
        xml.writeAttribute(QStringLiteral("fill"), QStringLiteral("#FFF8DC"));
        xml.writeAttribute(QStringLiteral("stroke"), QStringLiteral("#000000"));
        const QPointF centre = at(entity->centre);
        xml.writeStartElement(QStringLiteral("text"));
        xml.writeAttribute(QStringLiteral("x"), number(centre.x()));
        xml.writeAttribute(QStringLiteral("y"), number(centre.y()));
        xml.writeAttribute(QStringLiteral("text-anchor"), QStringLiteral("middle"));
        xml.writeAttribute(QStringLiteral("font-size"), QStringLiteral("11"));
        xml.writeCharacters(nodeCaption(*item));
        xml.writeEndElement();
        xml.writeStartElement(QStringLiteral("text"));
        xml.writeAttribute(QStringLiteral("x"), number(centre.x()));
        xml.writeAttribute(QStringLiteral("y"), number(centre.y() + 12));
        xml.writeAttribute(QStringLiteral("text-anchor"), QStringLiteral("middle"));
        xml.writeAttribute(QStringLiteral("font-size"), QStringLiteral("8"));
        xml.writeCharacters(MDecisionDataUtil::ControlIntToStr(item->intControl()));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return text;
}
