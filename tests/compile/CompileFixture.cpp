#include "CompileFixture.h"

#include "model/CmDecisionItem.h"
#include "model/MDecisionDataUtil.h"
#include "persist/ProjectNodes.h"
#include "selectors/SelectorText.h"

#include <QBuffer>
#include <QImage>

CmDecisionItem& CompileFixture::add(qint16 id, const QString& name, qint16 type, const QStringList& lines)
{
    auto item = std::make_unique<CmDecisionItem>();
    CmDecisionItem& added = *item;
    item->setIntID(id);
    item->setStrID(name);
    item->setIntControl(type);
    item->setOptsAndActsAsRead(lines);
    if (!decisions.add(std::move(item)))
        qFatal("decision %s refused", qPrintable(name));
    return added;
}

void CompileFixture::addSelector(const QString& name, const QList<QStringList>& rows)
{
    StorageNode node = document.Storage().rootNode();
    if (!node.open(ProjectNodes::Databases + name).ok() || !node.writeText(SelectorText::Write(rows)).ok())
        qFatal("selector %s not stored", qPrintable(name));
}

void CompileFixture::addPicture(const QString& name)
{
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    if (!document.Storage().pictures().add(name, bytes).ok())
        qFatal("picture %s not stored", qPrintable(name));
}

void CompileFixture::addNotationTree()
{
    using namespace MDecisionDataUtil;
    add(1, QStringLiteral("Start"), Radio, {QStringLiteral("^Yes"), QStringLiteral("^No")});
    CmDecisionItem& age = add(5, QStringLiteral("Age"), NumBox);
    age.setMin(QStringLiteral("0"));
    age.setMax(QStringLiteral("100"));
    add(7, QStringLiteral("Member"), Check, {QStringLiteral("^Checked"), QStringLiteral("^Not Checked")});
    add(9, QStringLiteral("Go"), Command, {QStringLiteral("^Pushed"), QStringLiteral("^Not Pushed")});
    add(12, QStringLiteral("Color"), Radio, {QStringLiteral("^Red"), QStringLiteral("^Green")});
    add(15, QStringLiteral("Name"), StringBox);
    number();
}
