#include "model/LinkTargets.h"

#include "lang/BlockLine.h"
#include "model/OptionRules.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "base/ProcedureBoundary.h"

#include <algorithm>
#include <vector>

namespace {

using BlockLine::IsKeyword;

bool endsBranch(const QString& line)
{
    return IsKeyword(line, BlockLine::ElseIf) || IsKeyword(line, BlockLine::Else) || IsKeyword(line, BlockLine::EndIf);
}

QString goTarget(const QString& line)
{
    return IsKeyword(line, BlockLine::Go) ? BlockLine::ActionArgument(line).trimmed() : QString();
}

bool blockSurelyGoes(const QStringList& actions, qsizetype& pos);

// Reads actions from pos to the end, or inside a branch to the line that ends it (where pos
// is left); true when every way through them runs a !GO.
bool surelyGoes(const QStringList& actions, qsizetype& pos, bool inBranch)
{
    bool goes = false;
    while (pos < actions.size()) {
        const QString& line = actions.at(pos);
        if (inBranch && endsBranch(line))
            return goes;
        ++pos;
        if (!goTarget(line).isEmpty())
            goes = true;
        else if (IsKeyword(line, BlockLine::If))
            goes = blockSurelyGoes(actions, pos) || goes;
    }
    return goes;
}

// Just after an !IF: reads its branches and its !ENDIF.
bool blockSurelyGoes(const QStringList& actions, qsizetype& pos)
{
    bool everyBranch = surelyGoes(actions, pos, true);
    bool hasElse = false;
    while (pos < actions.size()) {
        const QString& line = actions.at(pos++);
        if (IsKeyword(line, BlockLine::EndIf))
            break;
        hasElse = hasElse || IsKeyword(line, BlockLine::Else);
        everyBranch = surelyGoes(actions, pos, true) && everyBranch;
    }
    return hasElse && everyBranch;
}

bool surelyGoes(const QStringList& actions)
{
    qsizetype pos = 0;
    return surelyGoes(actions, pos, false);
}

// The action lines of the pre-actions and of each option, help and stray lines left out.
struct Answers {
    QStringList preActions;
    std::vector<QStringList> options;
};

Answers answersOf(const QStringList& lines)
{
    Answers answers;
    QStringList* group = &answers.preActions;
    for (const QString& line : lines) {
        if (BlockLine::IsOption(line)) {
            answers.options.emplace_back();
            group = &answers.options.back();
        } else if (BlockLine::IsAction(line)) {
            group->append(line);
        }
    }
    return answers;
}

bool everyAnswerGoes(const CmDecisionItem& decision)
{
    const Answers answers = answersOf(decision.OptsAndActs());
    if (surelyGoes(answers.preActions))
        return true;
    if (answers.options.empty() || MDecisionDataUtil::IsNumericInterface(decision.intControl()))
        return false;
    for (const QStringList& own : answers.options) {
        if (!surelyGoes(answers.preActions + own))
            return false;
    }
    return true;
}

bool isAscii(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

// Equal once upper-cased, as the decisions' keys are; ASCII names are compared without a copy.
bool sameKey(const QString& one, const QString& other)
{
    if (isAscii(one) && isAscii(other))
        return one.compare(other, Qt::CaseInsensitive) == 0;
    return one.toUpper() == other.toUpper();
}

// The name of the control with the next ID in use, or its key when it has no name.
QString nextControl(const CmDecisionItem& decision, const CmDecisionManager& decisions)
{
    for (int id = decision.intID() + 1; id <= decisions.LastIntID(); ++id) {
        const CmDecisionItem* next = decisions.Item(QVariant(id));
        if (!next || next->strID().compare(BlockLine::FinishLink, Qt::CaseInsensitive) == 0)
            continue;
        return next->strID().isEmpty() ? decisions.GetKey(QVariant(id)) : next->strID();
    }
    return QString();
}

} // namespace

QStringList MDecisionDataUtil::GetLinkTargets(const CmDecisionItem& decision, const CmDecisionManager& decisions)
{
    return ProcedureBoundary::runOr("MDecisionDataUtil.GetLinkTargets", QStringList(), [&] {
        QStringList targets;
        if (decision.intControl() == Done)
            return targets;
        // A control names few targets: a search of those is cheaper than a set.
        const auto add = [&](const QString& target) {
            const auto same = [&target](const QString& held) { return sameKey(held, target); };
            if (!target.isEmpty() && std::none_of(targets.cbegin(), targets.cend(), same))
                targets.append(target);
        };
        for (const QString& line : decision.OptsAndActs())
            add(goTarget(line));
        if (!everyAnswerGoes(decision))
            add(nextControl(decision, decisions));
        return targets;
    });
}
