#include "wizards/ActionWizard.h"

#include "base/MCommonUtil.h"
#include "base/ResourceStrings.h"
#include "lang/BlockLine.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/OptionRules.h"

namespace {

constexpr int PreActionsTextId = 34044;
enum Kind { Go, Set, Default, Kill, Sort, KindCount };
constexpr int FirstKindTextId = 34047;
constexpr int ValueConditionTextId = 34069;
constexpr int NeedsControlId = 34080;
constexpr int UnknownControlId = 34081;
constexpr int UnknownAnswerId = 34082;
constexpr int NeedsId = 34083;
constexpr int SortNeedsKeyId = 34084;
constexpr int SortKeys = 3;

// What an answer is called on its page, for the message that it is missing.
struct Field {
    const char* control;
    int captionId;
};
constexpr Field GoTarget{"GoTarget", 34053};
constexpr Field SetTarget{"SetTarget", 34055};
constexpr Field KillSelector{"KillSelector", 34058};
constexpr Field KillTest{"KillTest", 34059};
constexpr Field SortSelector{"SortSelector", 34058};
constexpr Field ConditionControl{"ConditionControl", 34041};
constexpr Field ConditionExpression{"ConditionExpression", 34059};

QString answer(const WizardTree::Answers& answers, const char* control)
{
    return answers.value(QLatin1String(control)).trimmed();
}

// The answer, or the message that it is missing.
QString required(const WizardTree::Answers& answers, const Field& field, QString& problem)
{
    const QString value = answer(answers, field.control);
    if (value.isEmpty() && problem.isEmpty())
        problem = LoadResString(NeedsId).arg(LoadResString(field.captionId));
    return value;
}

int kindOf(const QString& text)
{
    for (int kind = 0; kind < KindCount; ++kind) {
        if (LoadResString(FirstKindTextId + kind) == text)
            return kind;
    }
    return Go;
}

// An answer as its list shows it: the lists of every control are one table, and an item is
// known by its first cell, so each names its control.
QString answerItem(const QString& control, const QString& option)
{
    return control + QLatin1String(": ") + option;
}

void addAnswer(WizardTree::Rows& rows, const QString& control, const QString& option)
{
    rows.append({answerItem(control, option), control});
}

} // namespace

std::unique_ptr<WizardTree> ActionWizard::tree(const CmDecisionManager& project, const QStringList& selectors,
                                               const QString& current, QString& problem)
{
    auto wizard = std::make_unique<WizardTree>();
    StorageResult built = wizard->load(WizardTree::ActionWizardPath);
    WizardTree::Rows controls{{QStringLiteral("Name")}};
    WizardTree::Rows answers{{QStringLiteral("Answer"), QStringLiteral("Control")}};
    for (int index = 1; built && index <= project.Count(); ++index) {
        const CmDecisionItem& item = *project.ItemByIndex(index);
        controls.append({item.strID()});
        addAnswer(answers, item.strID(), LoadResString(PreActionsTextId));
        for (const QString& line : item.OptsAndActs()) {
            if (line.startsWith(BlockLine::OptionMarker))
                addAnswer(answers, item.strID(), line.mid(1));
        }
    }
    WizardTree::Rows selectorRows{{QStringLiteral("Name")}};
    for (const QString& name : selectors)
        selectorRows.append({name});
    for (const auto& [name, rows] : {std::pair{QStringLiteral("Controls"), controls},
                                     std::pair{QStringLiteral("Answers"), answers},
                                     std::pair{QStringLiteral("Selectors"), selectorRows}}) {
        if (built)
            built = wizard->addTable(name, rows);
    }
    if (!built) {
        problem = built.message;
        return nullptr;
    }
    const CmDecisionItem* offered = current.isEmpty() ? nullptr : project.Item(current);
    if (!offered && project.Count() > 0)
        offered = project.ItemByIndex(1);
    if (offered)
        wizard->setDefault(QStringLiteral("Control"), offered->strID());
    // Most projects have one selector: it needs no picking.
    for (const Field& field : {KillSelector, SortSelector}) {
        if (!selectors.isEmpty())
            wizard->setDefault(QLatin1String(field.control), selectors.first());
    }
    return wizard;
}

ActionWizard::NewAction ActionWizard::read(const WizardTree::Answers& answers, const CmDecisionManager& project)
{
    NewAction action;
    action.control = answer(answers, "Control");
    const CmDecisionItem* item = action.control.isEmpty() ? nullptr : project.Item(action.control);
    if (!item) {
        action.problem = action.control.isEmpty() ? LoadResString(NeedsControlId)
                                                  : LoadResString(UnknownControlId).arg(action.control);
        return action;
    }
    const QString chosen = answers.value(QStringLiteral("Option"));
    const QString prefix = answerItem(item->strID(), QString());
    action.option = chosen.startsWith(prefix, Qt::CaseInsensitive) ? chosen.mid(prefix.size()) : chosen;
    if (chosen.compare(answerItem(item->strID(), LoadResString(PreActionsTextId)), Qt::CaseInsensitive) == 0) {
        action.option = MDecisionDataUtil::PreActionName;
    } else if (!item->OptsAndActs().contains(BlockLine::OptionMarker + action.option)) {
        action.problem = LoadResString(UnknownAnswerId).arg(action.control, action.option);
        return action;
    }
    const QString line = actionLine(answers, action.problem);
    const bool conditional = answer(answers, "Conditional").compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    if (!conditional) {
        action.lines = {line};
        return action;
    }
    const QString condition = conditionLine(answers, action.problem);
    action.lines = {condition, line, QStringLiteral("!ENDIF")};
    return action;
}

QString ActionWizard::actionLine(const WizardTree::Answers& answers, QString& problem)
{
    const int kind = kindOf(answers.value(QStringLiteral("Kind")));
    switch (kind) {
    case Set:
    case Default: {
        const bool set = kind == Set;
        const QString target = required(answers, SetTarget, problem);
        return QStringLiteral("!%1 [[%2]] = %3")
            .arg(set ? QStringLiteral("SET") : QStringLiteral("DEFAULT"), target,
                 valueText(answer(answers, "SetValue")));
    }
    case Kill: {
        const QString selector = required(answers, KillSelector, problem);
        return QStringLiteral("!KILL %1 : %2").arg(selector, required(answers, KillTest, problem));
    }
    case Sort: return sortLine(answers, problem);
    default: return QStringLiteral("!GO ") + required(answers, GoTarget, problem);
    }
}

QString ActionWizard::sortLine(const WizardTree::Answers& answers, QString& problem)
{
    const QString selector = required(answers, SortSelector, problem);
    QStringList keys;
    QStringList orders;
    for (int key = 1; key <= SortKeys; ++key) {
        const QString expression = answers.value(QStringLiteral("SortKey%1").arg(key)).trimmed();
        if (expression.isEmpty())
            continue;
        keys.append(expression);
        orders.append(answers.value(QStringLiteral("SortOrder%1").arg(key)));
    }
    if (keys.isEmpty() && problem.isEmpty())
        problem = LoadResString(SortNeedsKeyId);
    return QStringLiteral("!SORT %1:%2;%3").arg(selector, keys.join(QLatin1Char(',')), orders.join(QLatin1Char(',')));
}

QString ActionWizard::conditionLine(const WizardTree::Answers& answers, QString& problem)
{
    if (answers.value(QStringLiteral("ConditionKind")) == LoadResString(ValueConditionTextId)) {
        const QString control = required(answers, ConditionControl, problem);
        return QStringLiteral("!IF [[%1]]=\"%2\"").arg(control, answers.value(QStringLiteral("ConditionValue")));
    }
    return QStringLiteral("!IF ") + required(answers, ConditionExpression, problem);
}

QString ActionWizard::valueText(const QString& value)
{
    if (MCommonUtil::IsNumeric(value) || value.startsWith(QLatin1Char('"')) || value.contains(QLatin1String("[[")))
        return value;
    return QLatin1Char('"') + value + QLatin1Char('"');
}

QString ActionWizard::saveText(const NewAction& action)
{
    return (QStringList{action.option} + action.lines).join(QLatin1Char('\t'));
}

bool ActionWizard::add(const NewAction& action, CmDecisionManager& project)
{
    CmDecisionItem* item = project.Item(action.control);
    return item && action.problem.isEmpty() && MDecisionDataUtil::SaveActions(*item, saveText(action));
}
