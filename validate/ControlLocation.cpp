#include "validate/ControlLocation.h"

#include "base/ResourceStrings.h"
#include "model/CmDecisionItem.h"

QString ControlLocation::NameOf(const CmDecisionItem& decision)
{
    return decision.strID().isEmpty() ? QLatin1Char('_') + QString::number(decision.intID()) : decision.strID();
}

QString ControlLocation::Of(const CmDecisionItem& decision, int labelId)
{
    return NameOf(decision) + QLatin1Char('.') + LoadResString(labelId);
}
