#include "model/DecisionProperties.h"

#include "base/AccessKey.h"
#include "base/StringId.h"
#include "base/KvError.h"
#include "base/ResourceStrings.h"
#include "model/OptionRules.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/DecisionValues.h"
#include "model/DecisionChange.h"
#include "model/IDecisionPropertyOwner.h"
#include "base/ProcedureBoundary.h"

#include <QHash>
#include <QVariantList>

#include <array>
#include <optional>

namespace {

using namespace MDecisionDataUtil;


struct SizeWord {
    int size;
    int nameId;
};
constexpr std::array<SizeWord, 3> SizeWords{{{50, 1153}, {75, 1154}, {150, 1155}}};

bool isOwnedLabel(int labelId)
{
    switch (labelId) {
    case IdLabel:
    case ControlNameLabel:
    case TopLabel:
    case LeftLabel:
    case SizeLabel: return true;
    default: return false;
    }
}

QString displayedNames(const CmDecisionItem& decision, const CmDecisionManager* decisions)
{
    QStringList names;
    for (const QString& entry : decision.Group()) {
        const CmDecisionItem* shown = decisions ? decisions->Item(entry) : nullptr;
        if (!shown)
            names.append(entry);
        else
            names.append(shown->strID().isEmpty() ? CmDecisionManager::keyFor(QString(), shown->intID())
                                                  : shown->strID());
    }
    return names.join(QLatin1Char(','));
}

QString ownedValue(const CmDecisionItem& decision, int labelId, const PropertyOwners& owners)
{
    const IDecisionPropertyOwner* owner = PropertyOwner(owners, labelId);
    const QString value = owner ? owner->OwnedProperty(decision, labelId) : QString();
    return labelId == SizeLabel && !value.isEmpty() ? SizeName(value.toInt()) : value;
}

bool setOwnedValue(CmDecisionItem& decision, int labelId, const QString& value, const PropertyOwners& owners)
{
    IDecisionPropertyOwner* owner = PropertyOwner(owners, labelId);
    if (!owner)
        return false;
    if (labelId != SizeLabel)
        return owner->SetOwnedProperty(decision, labelId, value);
    const int size = SizeOfName(value);
    return size != 0 && owner->SetOwnedProperty(decision, labelId, QString::number(size));
}

// The default carried over to a new interface in the form that interface holds.
QVariant defaultInForm(const QVariant& value, qint16 type)
{
    const QString text = value.toString();
    if (text.isEmpty())
        return {};
    if (GetDataType(type) == BooleanData) {
        switch (DecisionValues::AnswerOf(text)) {
        case DecisionValues::Answer::Yes: return LoadResString(StringId::TrueText).toUpper();
        case DecisionValues::Answer::No: return LoadResString(StringId::FalseText).toUpper();
        case DecisionValues::Answer::Other: return {};
        }
    }
    if (IsNumericInterface(type))
        return IsDecimalNumber(text) ? QVariant(text) : QVariant();
    return text;
}

bool setInterface(CmDecisionItem& decision, const QString& name)
{
    const qint16 type = ControlStrToInt(name);
    if (type == UnknownControl)
        return false;
    const QVariant defaultValue = decision.DefaultValue();
    decision.setIntControl(type);
    decision.setDefaultValue(defaultInForm(defaultValue, type));
    // A default the new interface cannot hold is dropped: the history must be able to bring it back.
    const QString before = defaultValue.toString();
    const QString after = decision.DefaultValue().toString();
    if (after != before) {
        decision.reportChange({DecisionChange::What::Property, DefaultValueLabel, QVariantList{DefaultValueLabel, before},
                               QVariantList{DefaultValueLabel, after}});
    }
    return true;
}

bool setHelpId(CmDecisionItem& decision, const QString& value)
{
    std::optional<qint16> helpId;
    try {
        helpId = value.trimmed().isEmpty() ? std::optional<qint16>(0) : DecisionValues::Int16Of(value);
    } catch (const KvError&) {
        return false; // too large: a refusal, not a failure
    }
    if (helpId)
        decision.setKvdHelpID(*helpId);
    return helpId.has_value();
}

bool setHeldValue(CmDecisionItem& decision, int labelId, const QString& value)
{
    switch (labelId) {
    case InputInterfaceLabel: return setInterface(decision, value);
    case DisplayedControlsLabel:
        decision.setGroup({});
        decision.setStrGroup(value);
        return true;
    case PictureLabel: decision.setPicture(value); return true;
    case CaptionLabel: decision.setCaption(value); return true;
    case MinimumLabel: decision.setMin(value); return true;
    case MaximumLabel: decision.setMax(value); return true;
    case DefaultValueLabel:
        decision.setDefaultValue(DecisionValues::DefaultFromText(value));
        return true;
    case HelpIdLabel: return setHelpId(decision, value);
    case HelpUrlLabel: decision.setKvwHelpID(value); return true;
    default: return false;
    }
}

} // namespace

QString MDecisionDataUtil::SizeName(int size)
{
    for (const SizeWord& word : SizeWords) {
        if (word.size == size)
            return LoadResPlainString(word.nameId);
    }
    return QString::number(size);
}

int MDecisionDataUtil::SizeOfName(const QString& name)
{
    for (const SizeWord& word : SizeWords) {
        if (name.trimmed().compare(LoadResPlainString(word.nameId), Qt::CaseInsensitive) == 0)
            return word.size;
    }
    return 0;
}

IDecisionPropertyOwner* MDecisionDataUtil::PropertyOwner(const PropertyOwners& owners, int labelId)
{
    switch (labelId) {
    case IdLabel:
    case ControlNameLabel: return owners.tree;
    case TopLabel:
    case LeftLabel:
    case SizeLabel: return owners.diagram;
    default: return nullptr;
    }
}

QString MDecisionDataUtil::GetProperty(const CmDecisionItem& decision, int labelId, const CmDecisionManager* decisions,
                                       const PropertyOwners& owners)
{
    return ProcedureBoundary::runOr("MDecisionDataUtil.GetProperty", QString(), [&] {
        switch (labelId) {
        case IdLabel: return QString::number(decision.intID());
        case ControlNameLabel: return decision.strID();
        case InputInterfaceLabel: return decision.strControl();
        case DisplayedControlsLabel: return displayedNames(decision, decisions);
        case PictureLabel: return decision.Picture();
        case CaptionLabel: return decision.Caption();
        case MinimumLabel: return decision.Min();
        case MaximumLabel: return decision.Max();
        case DefaultValueLabel: return decision.DefaultValue().toString();
        case HelpIdLabel: return QString::number(decision.kvdHelpID());
        case HelpUrlLabel: return decision.kvwHelpID();
        case TopLabel:
        case LeftLabel:
        case SizeLabel: return ownedValue(decision, labelId, owners);
        default: return QString();
        }
    });
}

bool MDecisionDataUtil::SetProperty(CmDecisionItem& decision, int labelId, const QString& value,
                                    const PropertyOwners& owners)
{
    return ProcedureBoundary::runOr("MDecisionDataUtil.SetProperty", false, [&] {
        if (isOwnedLabel(labelId))
            return setOwnedValue(decision, labelId, value, owners);
        const QString before = GetProperty(decision, labelId, nullptr);
        if (!setHeldValue(decision, labelId, value))
            return false;
        const QString after = GetProperty(decision, labelId, nullptr);
        if (after != before) {
            decision.reportChange({DecisionChange::What::Property, labelId, QVariantList{labelId, before},
                                   QVariantList{labelId, after}});
        }
        return true;
    });
}
