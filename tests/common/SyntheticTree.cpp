#include "common/SyntheticTree.h"

#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "model/MDecisionDataUtil.h"

#include <QStringList>

namespace {

QStringList optionsFor(int id, int count, qint16 type)
{
    const QString next = QStringLiteral("Step%1").arg(id % count + 1);
    const QString other = QStringLiteral("Step%1").arg((id * 7) % count + 1);
    switch (MDecisionDataUtil::GetDataType(type)) {
    case MDecisionDataUtil::BooleanData:
        return {QStringLiteral("^TRUE"), QStringLiteral("!GO %1").arg(next), QStringLiteral("^FALSE"),
                QStringLiteral("!SET [[%1]] = 0").arg(other), QStringLiteral("!GO %1").arg(other)};
    case MDecisionDataUtil::NumericData:
        return {QStringLiteral("^1-10"), QStringLiteral("!GO %1").arg(next), QStringLiteral("^11-100"),
                QStringLiteral("!IF [[%1]] > 3").arg(other), QStringLiteral("!GO %1").arg(other),
                QStringLiteral("!ENDIF")};
    default:
        return {QStringLiteral("!SET [[%1]] = \"Seen\"").arg(next), QStringLiteral("^Red, dark"),
                QStringLiteral("?Pick the colour you like"), QStringLiteral("!GO %1").arg(next),
                QStringLiteral("^Blue \"navy\""), QStringLiteral("!IF [[%1]] = \"Checked\"").arg(other),
                QStringLiteral("!GO %1").arg(other), QStringLiteral("!ELSE"), QStringLiteral("!GO %1").arg(next),
                QStringLiteral("!ENDIF")};
    }
}

QVariant defaultFor(int id)
{
    switch (id % 3) {
    case 0: return QVariant();
    case 1: return QVariant(id * 1.5);
    default: return QVariant(QStringLiteral("Answer %1").arg(id));
    }
}

// Empty, number or text: the distinction a default value must keep.
QString kindOf(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QStringLiteral("empty");
    return value.typeId() == QMetaType::QString ? QStringLiteral("text") : QStringLiteral("number");
}

} // namespace

void SyntheticTree::fill(CmDecisionManager& decisions, int controlCount)
{
    for (int id = 1; id <= controlCount; ++id) {
        auto item = std::make_unique<CmDecisionItem>();
        const auto type = static_cast<qint16>(id % MDecisionDataUtil::ControlTypeCount);
        item->setIntID(static_cast<qint16>(id));
        // Every tenth control has no name and is keyed by its number.
        item->setStrID(id % 10 == 0 ? QString() : QStringLiteral("Step%1").arg(id));
        item->setIntControl(type);
        item->setOptsAndActsAsRead(optionsFor(id, controlCount, type));
        item->setCaption(QStringLiteral("Question %1: which one?").arg(id));
        item->setHeading(QStringLiteral("<B>Step %1</B>\r\nA \"quoted\" header").arg(id));
        item->setPicture(id % 5 == 0 ? QStringLiteral("picture%1.jpg").arg(id) : QString());
        item->setKvdHelpID(static_cast<qint16>(id % 100));
        item->setKvwHelpID(id % 4 == 0 ? QStringLiteral("help/%1.html").arg(id) : QString());
        if (id > 2)
            item->setStrGroup(QStringLiteral("Step%1,Step%2").arg(id - 1).arg(id - 2));
        item->setDefaultValue(defaultFor(id));
        item->setMin(QString::number(-id));
        item->setMax(QString::number(id * 10));
        item->setDirty(id % 2 == 0);
        decisions.add(std::move(item));
    }
}

void SyntheticTree::fillDocument(CmDocument& document)
{
    document.setName(QStringLiteral("Laptop selector"));
    document.setFileTypeSet(true);
    document.setFileType(3);
    document.setCallAppName(1, QStringLiteral("Shop front"));
    document.setCallAppClass(1, QStringLiteral("Shop.Application"));
    document.setCallAppName(3, QStringLiteral("Catalogue"));
    document.WebSettings() = {true, false, QStringLiteral("https://example.test/wizard"), QStringLiteral("plain.html")};
}

QStringList SyntheticTree::describe(const CmDecisionManager& decisions)
{
    QStringList lines;
    lines << QStringLiteral("count %1, last %2").arg(decisions.Count()).arg(decisions.LastIntID());
    for (int i = 1; i <= decisions.Count(); ++i) {
        const CmDecisionItem* item = decisions.ItemByIndex(i);
        const QVariant value = item->DefaultValue();
        lines << QStringList{decisions.Keys().value(i - 1), QString::number(item->intID()), item->strID(),
                             QString::number(item->intControl()), item->Caption(), item->Heading(), item->Picture(),
                             QString::number(item->kvdHelpID()), item->kvwHelpID(), item->strGroup(),
                             kindOf(value), value.toString(), item->Min(), item->Max(),
                             item->Dirty() ? QStringLiteral("dirty") : QStringLiteral("clean")}
                     .join(QLatin1Char('|'));
        lines << item->OptsAndActs().join(QLatin1Char('\n'));
    }
    return lines;
}

QStringList SyntheticTree::describe(const CmDocument& document)
{
    QStringList lines{document.Name(), QString::number(document.FileTypeSet()), QString::number(document.FileType()),
                      QString::number(document.CallAppCount())};
    for (int i = 1; i <= document.CallAppCount(); ++i)
        lines << document.CallAppName(i) + QLatin1Char('=') + document.CallAppClass(i);
    const KvwSettings& web = document.WebSettings();
    lines << QStringLiteral("%1 %2 %3 %4").arg(web.AutoDetermineURL).arg(web.EarlyFinish).arg(web.HostUrl, web.Template);
    return lines;
}
