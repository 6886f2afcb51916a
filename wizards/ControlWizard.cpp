#include "wizards/ControlWizard.h"

#include "base/ResourceStrings.h"
#include "edit/CcDecisionTree.h"
#include "edit/CcUndo.h"
#include "lang/BlockLine.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/MDecisionDataUtil.h"
#include "model/OptionRules.h"

#include <QRegularExpression>

namespace {
constexpr int FirstTypeTextId = 34020;
constexpr int InvalidNameId = 12106;
constexpr int NameTakenId = 34007;
} // namespace

std::unique_ptr<WizardTree> ControlWizard::tree(QString& problem)
{
    auto wizard = std::make_unique<WizardTree>();
    if (const StorageResult loaded = wizard->load(WizardTree::ControlWizardPath); !loaded) {
        problem = loaded.message;
        return nullptr;
    }
    return wizard;
}

qint16 ControlWizard::typeOf(const QString& answer)
{
    for (qint16 code = 0; code < MDecisionDataUtil::ControlTypeCount; ++code) {
        if (LoadResString(FirstTypeTextId + code) == answer)
            return code;
    }
    return MDecisionDataUtil::Radio;
}

bool ControlWizard::takesOwnOptions(qint16 type)
{
    using namespace MDecisionDataUtil;
    return type != Info && type != Done && FixedOptions(type).isEmpty()
           && OptionAllowed(type, QStringLiteral("1-2"));
}

ControlWizard::NewControl ControlWizard::read(const WizardTree::Answers& answers)
{
    NewControl control;
    control.type = typeOf(answers.value(QStringLiteral("Type")));
    control.name = answers.value(QStringLiteral("Name")).trimmed();
    control.caption = answers.value(QStringLiteral("Caption")).trimmed();
    control.header = answers.value(QStringLiteral("Header")).trimmed();
    for (const QString& fixed : MDecisionDataUtil::FixedOptions(control.type))
        control.lines.append(BlockLine::OptionMarker + fixed);
    if (!takesOwnOptions(control.type))
        return control;
    static const QRegularExpression lineBreak(QStringLiteral("[\\r\\n]+"));
    for (const QString& typed : answers.value(QStringLiteral("Options")).split(lineBreak)) {
        QString option = typed.trimmed();
        if (option.startsWith(BlockLine::OptionMarker))
            option = option.mid(1).trimmed();
        option.replace(QLatin1Char('\t'), QLatin1Char(' '));
        if (option.isEmpty())
            continue;
        if (MDecisionDataUtil::OptionAllowed(control.type, option))
            control.lines.append(BlockLine::OptionMarker + option);
        else
            control.refused.append(option);
    }
    return control;
}

QString ControlWizard::problem(const NewControl& control, const CmDecisionManager& decisions)
{
    if (control.name.isEmpty())
        return QString();
    if (!MDecisionDataUtil::IsValidControlName(control.name))
        return LoadResString(InvalidNameId);
    if (decisions.Exists(control.name))
        return LoadResString(NameTakenId).arg(control.name);
    return QString();
}

CmDecisionItem* ControlWizard::add(const NewControl& control, CcDecisionTree& tree, CcUndo& undo, QPointF point)
{
    const CcUndo::Group step(undo);
    CmDecisionItem* item = tree.AddNew(point, 1, control.name);
    if (!item)
        return nullptr;
    // The answers as one edit of the new control, so undo takes back the control with them.
    CmDecisionItem answered;
    answered.setStrID(item->strID());
    answered.setIntID(item->intID());
    answered.setIntControl(control.type);
    answered.setCaption(control.caption);
    answered.setHeading(control.header);
    answered.setOptsAndActsAsRead(control.lines);
    item->LoadEdited(answered.Store());
    tree.SelectDecision(item->strID());
    return item;
}
