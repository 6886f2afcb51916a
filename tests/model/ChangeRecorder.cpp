#include "model/ChangeRecorder.h"

#include "model/DecisionChange.h"

namespace {

QString valueText(const QVariant& value)
{
    return value.typeId() == QMetaType::QVariantList ? value.toStringList().join(QLatin1Char('|')) : value.toString();
}

QString whatText(DecisionChange::What what)
{
    switch (what) {
    case DecisionChange::What::Property: return QStringLiteral("property");
    case DecisionChange::What::OptsAndActs: return QStringLiteral("block");
    case DecisionChange::What::ControlType: return QStringLiteral("type");
    case DecisionChange::What::Heading: return QStringLiteral("heading");
    case DecisionChange::What::Record: return QStringLiteral("record");
    case DecisionChange::What::References: return QStringLiteral("references");
    }
    return QString();
}

} // namespace

ChangeRecorder::ChangeRecorder(CmDecisionManager& decisions)
{
    QObject::connect(&decisions, &CmDecisionManager::decisionAdded, &m_context,
                     [this](CmDecisionItem* item) { events << QStringLiteral("added ") + item->strID(); });
    QObject::connect(&decisions, &CmDecisionManager::decisionRemoved, &m_context,
                     [this](CmDecisionItem* item) { events << QStringLiteral("removed ") + item->strID(); });
    QObject::connect(&decisions, &CmDecisionManager::decisionRenamed, &m_context,
                     [this](CmDecisionItem*, const QString& oldName, const QString& newName) {
                         events << QStringLiteral("renamed %1 -> %2").arg(oldName, newName);
                     });
    QObject::connect(&decisions, &CmDecisionManager::decisionChanged, &m_context,
                     [this](CmDecisionItem* item, const DecisionChange& change) {
                         events << QStringLiteral("changed %1 %2 %3 -> %4")
                                       .arg(whatText(change.what))
                                       .arg(item->intID())
                                       .arg(valueText(change.oldValue), valueText(change.newValue));
                         if (change.what == DecisionChange::What::OptsAndActs)
                             blockChanges.append({change.oldValue.toString(), change.newValue.toString()});
                     });
}

CmDecisionItem& ChangeRecorder::hold(CmDecisionManager& decisions, std::unique_ptr<CmDecisionItem> decision)
{
    CmDecisionItem& held = *decision;
    if (held.intID() == 0)
        held.setIntID(1);
    decisions.add(std::move(decision));
    return held;
}
