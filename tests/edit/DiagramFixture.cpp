#include "edit/DiagramFixture.h"

#include "model/CmDecisionItem.h"

CmDecisionItem* DiagramFixture::add(qint16 id, const QString& name, const QString& lines, const QString& group,
                                    const QString& heading)
{
    auto item = std::make_unique<CmDecisionItem>();
    item->setIntID(id);
    item->setStrID(name);
    item->setHeading(heading);
    if (!lines.isEmpty())
        item->setOptsAndActsAsRead(lines.split(QLatin1Char('|')));
    if (!group.isEmpty())
        item->setGroup(group.split(QLatin1Char('|')));
    CmDecisionItem* added = item.get();
    return decisions.add(std::move(item)) ? added : nullptr;
}

QStringList DiagramFixture::linesOf(const QString& name) const
{
    const CmDecisionItem* item = decisions.Item(name);
    return item ? item->OptsAndActs() : QStringList{QStringLiteral("<missing>")};
}
