#include "DecisionRecipe.h"

#include "model/OptionRules.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"

#include <QHash>

#include <functional>

namespace {

using Setter = std::function<void(CmDecisionItem&, const QString&)>;

qint16 int16(const QString& text)
{
    return static_cast<qint16>(text.toInt());
}

const QHash<QString, Setter>& setters()
{
    static const QHash<QString, Setter> table{
        {"id", [](CmDecisionItem& d, const QString& v) { d.setIntID(int16(v)); }},
        {"name", [](CmDecisionItem& d, const QString& v) { d.setStrID(v); }},
        {"type", [](CmDecisionItem& d, const QString& v) { d.setStrControl(v); }},
        {"group", [](CmDecisionItem& d, const QString& v) { d.setStrGroup(v); }},
        {"picture", [](CmDecisionItem& d, const QString& v) { d.setPicture(v); }},
        {"help", [](CmDecisionItem& d, const QString& v) { d.setKvdHelpID(int16(v)); }},
        {"url", [](CmDecisionItem& d, const QString& v) { d.setKvwHelpID(v); }},
        {"header", [](CmDecisionItem& d, const QString& v) { d.setHeading(v); }},
        {"caption", [](CmDecisionItem& d, const QString& v) { d.setCaption(v); }},
        {"default", [](CmDecisionItem& d, const QString& v) { d.setDefaultValue(v); }},
        {"number", [](CmDecisionItem& d, const QString& v) { d.setDefaultValue(v.toDouble()); }},
        {"min", [](CmDecisionItem& d, const QString& v) { d.setMin(v); }},
        {"max", [](CmDecisionItem& d, const QString& v) { d.setMax(v); }},
        {"lines", [](CmDecisionItem& d, const QString& v) { d.setOptsAndActsAsRead(v.split(QLatin1Char('\t'))); }},
    };
    return table;
}

} // namespace

std::unique_ptr<CmDecisionItem> DecisionRecipe::build(const QStringList& recipe)
{
    auto decision = std::make_unique<CmDecisionItem>();
    for (const QString& entry : recipe) {
        const qsizetype equals = entry.indexOf(QLatin1Char('='));
        const Setter setter = setters().value(entry.left(equals));
        Q_ASSERT_X(setter, "DecisionRecipe::build", qPrintable(entry));
        setter(*decision, entry.mid(equals + 1));
    }
    return decision;
}

QStringList DecisionRecipe::carried(const CmDecisionItem& decision, const CmDecisionManager* decisions)
{
    QStringList group;
    for (const QString& entry : decision.Group()) {
        const CmDecisionItem* shown = decisions ? decisions->Item(entry) : nullptr;
        group.append(shown ? QString::number(shown->intID()) : entry);
    }
    const QVariant value = decision.DefaultValue();
    // A numeric interface holds its default as written; a number is what the number rule calls one.
    const bool isNumber = MDecisionDataUtil::IsNumericInterface(decision.intControl())
                          && MDecisionDataUtil::IsDecimalNumber(value.toString());
    const bool isText = value.typeId() == QMetaType::QString && !isNumber;
    QStringList fields{QString::number(decision.intID()), group.join(QLatin1Char(',')), decision.strID(),
                       decision.Picture(), QString::number(decision.kvdHelpID()), decision.Heading(),
                       decision.strControl(), (isText ? "text " : "number ") + value.toString(), decision.Caption()};
    fields += decision.OptsAndActs();
    if (MDecisionDataUtil::IsNumericInterface(decision.intControl()) && !MDecisionDataUtil::HasOptions(decision))
        fields << decision.Min() << decision.Max();
    return fields;
}
