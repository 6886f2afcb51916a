#include "ValidationTree.h"

#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "validate/ValidationFindings.h"

#include <QTest>

namespace {

bool named(const QString& name, const char* expected)
{
    return name.trimmed().compare(QLatin1String(expected), Qt::CaseInsensitive) == 0;
}

} // namespace

CmDecisionItem& ValidationTree::add(CmDecisionManager& decisions, const Control& control)
{
    auto item = std::make_unique<CmDecisionItem>();
    CmDecisionItem& added = *item;
    item->setIntID(static_cast<qint16>(decisions.Count() + 1));
    item->setStrID(control.name);
    item->setIntControl(control.type);
    item->setOptsAndActsAsRead(control.lines);
    item->setMin(control.min);
    item->setMax(control.max);
    if (!control.defaultValue.isEmpty())
        item->setDefaultValue(control.defaultValue);
    item->setGroup(control.displayed);
    item->setPicture(control.picture);
    item->setHeading(control.heading);
    if (!decisions.add(std::move(item)))
        qFatal("decision %s refused", qPrintable(control.name));
    return added;
}

void ValidationTree::addNeighbours(CmDecisionManager& decisions)
{
    using namespace MDecisionDataUtil;
    add(decisions, Control("Next", Radio, {"^Back", "!GO Start"}));
    add(decisions, Control("Age", NumBox, {"!GO Next"}).range("0", "100"));
    add(decisions, Control("Color", Radio, {"!GO Next", "^Red", "^Green"}));
    add(decisions, Control("Name", StringBox, {"!GO Next"}));
}

QStringList ValidationTree::findingsAt(const ValidationFindings& findings, const QString& prefix)
{
    QStringList found;
    for (const ValidationFindings::Entry& entry : findings.entries()) {
        if (entry.location.startsWith(prefix))
            found.append(QLatin1String(entry.isError ? "E:" : "W:") + entry.message);
    }
    return found;
}

bool ValidationTree::Catalog::Exists(const QString& name) const
{
    return named(name, "Cars") || named(name, "Remote");
}

std::optional<QStringList> ValidationTree::Catalog::Properties(const QString& name) const
{
    if (named(name, "Remote"))
        return std::nullopt;
    return named(name, "Cars") ? QStringList{"Price", "Speed"} : QStringList();
}

std::optional<QStringList> ValidationTree::Catalog::Items(const QString& name) const
{
    if (named(name, "Remote"))
        return std::nullopt;
    return named(name, "Cars") ? QStringList{"Mini", "Civic"} : QStringList();
}
