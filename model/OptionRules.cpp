#include "model/OptionRules.h"

#include "base/MCommonUtil.h"
#include "base/ResourceStrings.h"
#include "lang/BlockLine.h"
#include "model/CmDecisionItem.h"
#include "model/DecisionValues.h"
#include "base/ProcedureBoundary.h"

#include <algorithm>
#include <array>

namespace {

using namespace MDecisionDataUtil;

constexpr int checkedId = 8080;
constexpr int notCheckedId = 8081;
constexpr int pushedId = 8082;
constexpr int notPushedId = 8083;

qsizetype firstOptionIndex(const QStringList& lines)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (BlockLine::IsOption(lines.at(i)))
            return i;
    }
    return lines.size();
}

// Where the group of the option at index ends: the next option line, or the end.
qsizetype groupEnd(const QStringList& lines, qsizetype option)
{
    qsizetype end = option + 1;
    while (end < lines.size() && !BlockLine::IsOption(lines.at(end)))
        ++end;
    return end;
}

bool optionAllowed(qint16 type, const QString& option)
{
    switch (type) {
    case Check:
    case Command:
        return FixedOptions(type).contains(option);
    case StringBox:
    case TextArea:
        return false;
    default:
        break;
    }
    return !IsNumericInterface(type) || IsValidRange(option);
}

QStringList withoutRefusedOptions(const QStringList& lines, qint16 type)
{
    QStringList kept;
    kept.reserve(lines.size());
    for (const QString& line : lines) {
        if (!BlockLine::IsOption(line) || optionAllowed(type, BlockLine::Body(line)))
            kept.append(line);
    }
    return kept;
}

// As withoutRefusedOptions, but a refused option takes its actions and help with it: left
// behind, they would run for the option before it, or for every answer.
QStringList withoutRefusedGroups(const QStringList& lines, qint16 type)
{
    QStringList kept;
    kept.reserve(lines.size());
    bool dropping = false;
    for (const QString& line : lines) {
        if (BlockLine::IsOption(line))
            dropping = !optionAllowed(type, BlockLine::Body(line));
        if (!dropping)
            kept.append(line);
    }
    return kept;
}

// Whether the answers of a choice interface are its options. StringBox and TextArea take typed
// text, Info and Done take no answer.
bool answersWithOptions(qint16 type)
{
    return type != StringBox && type != TextArea && type != Info && type != Done;
}

// The option groups of a choice list that the new interface cannot answer with go aside as a
// whole and come back, at the end, when an interface that answers with options is current again.
void setAsideOrRestore(QStringList& lines, QStringList& setAside, qint16 type)
{
    if (answersWithOptions(type)) {
        lines += setAside;
        setAside.clear();
        return;
    }
    const qsizetype first = firstOptionIndex(lines);
    setAside += lines.mid(first);
    lines.resize(first);
}

QStringList withPreActionsOf(const QStringList& from, const QStringList& to)
{
    QStringList result;
    const qsizetype fromFirst = firstOptionIndex(from);
    for (qsizetype i = 0; i < fromFirst; ++i) {
        if (BlockLine::IsAction(from.at(i)))
            result.append(from.at(i));
    }
    const qsizetype toFirst = firstOptionIndex(to);
    for (qsizetype i = 0; i < toFirst; ++i) {
        if (!BlockLine::IsAction(to.at(i)))
            result.append(to.at(i));
    }
    result += to.mid(toFirst);
    return result;
}

using DecisionValues::Answer;

void rewordAnswers(QStringList& lines, qint16 type)
{
    const QStringList answers = FixedOptions(type);
    const QString yes = BlockLine::OptionMarker + answers.value(0);
    const QString no = BlockLine::OptionMarker + answers.value(1);
    bool hasYes = false;
    bool hasNo = false;
    for (QString& line : lines) {
        if (!BlockLine::IsOption(line))
            continue;
        switch (DecisionValues::AnswerOf(BlockLine::Body(line))) {
        case Answer::Yes:
            line = yes;
            hasYes = true;
            break;
        case Answer::No:
            line = no;
            hasNo = true;
            break;
        case Answer::Other:
            break;
        }
    }
    if (!hasYes)
        lines.append(yes);
    if (!hasNo)
        lines.append(no);
}

QStringList& listOfKind(DataKind kind, DataKind currentKind, QStringList& current, QStringList& spare1,
                        QStringList& spare2)
{
    std::array<QStringList*, 3> lists{};
    lists.at(static_cast<std::size_t>(currentKind)) = &current;
    QStringList* spares[] = {&spare1, &spare2};
    std::size_t next = 0;
    for (QStringList*& list : lists) {
        if (!list)
            list = spares[next++];
    }
    return *lists.at(static_cast<std::size_t>(kind));
}

} // namespace

QStringList MDecisionDataUtil::FixedOptions(qint16 type)
{
    if (type == Check)
        return {LoadResString(checkedId), LoadResString(notCheckedId)};
    if (type == Command)
        return {LoadResString(pushedId), LoadResString(notPushedId)};
    return {};
}

bool MDecisionDataUtil::OptionAllowed(qint16 type, const QString& option)
{
    return optionAllowed(type, option);
}

bool MDecisionDataUtil::HasOptions(const CmDecisionItem& decision)
{
    return firstOptionIndex(decision.OptsAndActs()) < decision.OptsAndActs().size();
}

void MDecisionDataUtil::ValidOptions(CmDecisionItem& decision)
{
    ProcedureBoundary::run("MDecisionDataUtil.ValidOptions", [&] {
        decision.setOptsAndActsAsRead(withoutRefusedOptions(decision.OptsAndActs(), decision.intControl()));
    });
}

void MDecisionDataUtil::ValidOptions(QStringList& lines, qint16 type)
{
    ProcedureBoundary::run("MDecisionDataUtil.ValidOptions", [&] { lines = withoutRefusedOptions(lines, type); });
}

void MDecisionDataUtil::SwitchOptions(QStringList& current, QStringList& spare1, QStringList& spare2, qint16 oldType,
                                      qint16 newType, QStringList& setAside)
{
    ProcedureBoundary::run("MDecisionDataUtil.SwitchOptions", [&] {
        if (oldType == newType)
            return;
        QStringList& target = listOfKind(GetDataType(newType), GetDataType(oldType), current, spare1, spare2);
        // Worked on aside, so that a failure leaves every list as it was.
        QStringList lines = &target == &current ? target : withPreActionsOf(current, target);
        QStringList aside = setAside;
        switch (GetDataType(newType)) {
        case BooleanData:
            rewordAnswers(lines, newType);
            lines = withoutRefusedGroups(lines, newType);
            break;
        case NumericData:
            lines = withoutRefusedGroups(lines, newType);
            break;
        case ChoiceData:
            setAsideOrRestore(lines, aside, newType);
            break;
        }
        target = lines;
        setAside = aside;
    });
}

void MDecisionDataUtil::CopyPreActions(const QStringList& from, QStringList& to)
{
    ProcedureBoundary::run("MDecisionDataUtil.CopyPreActions", [&] {
        if (&from != &to)
            to = withPreActionsOf(from, to);
    });
}

bool MDecisionDataUtil::SaveActions(CmDecisionItem& decision, const QString& text)
{
    return ProcedureBoundary::runOr("MDecisionDataUtil.SaveActions", false, [&] {
        QStringList actions = text.split(QLatin1Char('\t'), Qt::SkipEmptyParts);
        if (actions.isEmpty())
            return false;
        const QString option = actions.takeFirst();
        QStringList lines = decision.OptsAndActs();
        qsizetype at = firstOptionIndex(lines);
        if (option != PreActionName) {
            at = lines.indexOf(BlockLine::OptionMarker + option);
            if (at < 0)
                return false;
            at = groupEnd(lines, at);
        }
        for (const QString& action : std::as_const(actions))
            lines.insert(at++, action);
        decision.setOptsAndActs(lines);
        return true;
    });
}

bool MDecisionDataUtil::IsNumericInterface(qint16 type)
{
    return type == NumBox || type == RealNumBox || type == NumSlide;
}

bool MDecisionDataUtil::IsValidControlName(const QString& name)
{
    const auto isLetter = [](QChar c) {
        return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
    };
    const auto isDigit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    if (name.isEmpty() || !isLetter(name.front()))
        return false;
    return std::all_of(name.begin() + 1, name.end(),
                       [&](QChar c) { return isLetter(c) || isDigit(c) || c == QLatin1Char('_'); });
}

bool MDecisionDataUtil::IsValidRange(const QString& text)
{
    const QString range = text.startsWith(BlockLine::OptionMarker) ? BlockLine::Body(text) : text;
    const qsizetype dash = range.indexOf(QLatin1Char('-'));
    if (dash < 0)
        return false;
    const QString low = range.left(dash);
    const QString high = range.mid(dash + 1);
    if (dash == 0)
        return IsDecimalNumber(high);
    if (dash == range.size() - 1)
        return IsDecimalNumber(low);
    return IsDecimalNumber(low) && IsDecimalNumber(high);
}

bool MDecisionDataUtil::IsDecimalNumber(const QString& text)
{
    return MCommonUtil::IsNumeric(text);
}
