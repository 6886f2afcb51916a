#include "app/PropertySheet.h"

#include "base/ResourceStrings.h"
#include "edit/CcUndo.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/DecisionProperties.h"
#include "model/MDecisionDataUtil.h"
#include "validate/InterfaceLimits.h"

#include <QSet>

#include <algorithm>
#include <optional>

using namespace MDecisionDataUtil;

namespace {

constexpr int PleaseEnterNumberId = 33403;
constexpr int NotAvailableId = 33405;
constexpr int RefusedId = 33406;

using E = PropertySheet::Editor;

bool isLimit(int labelId)
{
    return labelId == MinimumLabel || labelId == MaximumLabel || labelId == DefaultValueLabel;
}

QString nameOf(const CmDecisionItem& item)
{
    return item.strID().isEmpty() ? CmDecisionManager::keyFor(QString(), item.intID()) : item.strID();
}

} // namespace

PropertySheet::PropertySheet(CmDecisionManager& decisions, CcUndo* undo, const PropertyOwners& owners)
    : m_decisions(decisions), m_undo(undo), m_owners(owners)
{
}

const std::vector<PropertySheet::Row>& PropertySheet::Rows()
{
    static const std::vector<Row> rows{
        {IdLabel, E::Fixed},          {ControlNameLabel, E::Text}, {InputInterfaceLabel, E::Interface},
        {CaptionLabel, E::Text},      {DisplayedControlsLabel, E::Controls}, {PictureLabel, E::Picture},
        {MinimumLabel, E::Text},      {MaximumLabel, E::Text},     {DefaultValueLabel, E::Text},
        {HelpIdLabel, E::Text},       {HelpUrlLabel, E::Text},     {TopLabel, E::Text},
        {LeftLabel, E::Text},         {SizeLabel, E::Size},
    };
    return rows;
}

PropertySheet::Editor PropertySheet::EditorOf(int labelId)
{
    const auto& rows = Rows();
    const auto found = std::find_if(rows.cbegin(), rows.cend(), [labelId](const Row& row) { return row.labelId == labelId; });
    return found == rows.cend() ? E::Fixed : found->editor;
}

QStringList PropertySheet::Choices(Editor editor, const QStringList& pictures)
{
    QStringList choices;
    switch (editor) {
    case E::Interface:
        for (qint16 code = 0; code < ControlTypeCount; ++code)
            choices.append(ControlIntToStr(code));
        break;
    case E::Size:
        for (const int size : {50, 75, 150})
            choices.append(SizeName(size));
        break;
    case E::Picture:
        choices.append(QString());
        choices.append(pictures);
        break;
    default: break;
    }
    return choices;
}

QString PropertySheet::Value(const CmDecisionItem& decision, int labelId) const
{
    return GetProperty(decision, labelId, &m_decisions, m_owners);
}

QStringList PropertySheet::DisplayableNames(const CmDecisionItem& decision) const
{
    QStringList names;
    names.reserve(m_decisions.Count());
    for (int index = 1; index <= m_decisions.Count(); ++index) {
        const CmDecisionItem* item = m_decisions.ItemByIndex(index);
        if (item != &decision && item->intID() > 0)
            names.append(nameOf(*item));
    }
    return names;
}

PropertySheet::Outcome PropertySheet::Apply(CmDecisionItem& decision, int labelId, const QString& value)
{
    if (EditorOf(labelId) == E::Fixed)
        return {};
    QString written = value;
    QString refusal = numberRefusal(decision, labelId, value);
    if (refusal.isEmpty() && labelId == DisplayedControlsLabel)
        refusal = displayedRefusal(decision, value, written);
    if (!refusal.isEmpty())
        return {false, refusal};
    if (written == Value(decision, labelId))
        return {true, {}};
    std::optional<CcUndo::Group> step;
    if (m_undo)
        step.emplace(*m_undo);
    if (SetProperty(decision, labelId, written, m_owners))
        return {true, {}};
    // The rename says why itself.
    if (labelId == ControlNameLabel)
        return {};
    return {false, LoadResString(RefusedId).arg(LoadResString(labelId), value)};
}

QString PropertySheet::numberRefusal(const CmDecisionItem& decision, int labelId, const QString& value) const
{
    const qint16 type = decision.intControl();
    if (!isLimit(labelId) || !InterfaceLimits::AppliesTo(type) || value.trimmed().isEmpty())
        return {};
    if (InterfaceLimits::Parse(type, value))
        return {};
    return LoadResString(InterfaceLimits::LimitMessageId(type)) + LoadResString(PleaseEnterNumberId);
}

QString PropertySheet::displayedRefusal(const CmDecisionItem& decision, const QString& value, QString& written) const
{
    QSet<QString> seen;
    QStringList names;
    for (const QString& piece : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = piece.trimmed();
        if (name.isEmpty())
            continue;
        const CmDecisionItem* shown = m_decisions.Item(name);
        // Only by name: a number would be read as another control's ID.
        if (!shown || shown == &decision || shown->intID() <= 0
            || nameOf(*shown).compare(name, Qt::CaseInsensitive) != 0)
            return LoadResString(NotAvailableId).arg(name);
        if (!seen.contains(nameOf(*shown).toUpper())) {
            seen.insert(nameOf(*shown).toUpper());
            names.append(nameOf(*shown));
        }
    }
    written = names.join(QLatin1Char(','));
    return {};
}
