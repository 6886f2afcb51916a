#include "validate/ControlFlow.h"

#include "lang/BlockLine.h"
#include "model/MDecisionDataUtil.h"
#include "model/OptionRules.h"

#include <algorithm>

namespace {

using namespace MDecisionDataUtil;
using BlockLine::IsKeyword;

bool endsBranch(const QString& line)
{
    return IsKeyword(line, BlockLine::ElseIf) || IsKeyword(line, BlockLine::Else) || IsKeyword(line, BlockLine::EndIf);
}

bool isGo(const QString& line)
{
    return IsKeyword(line, BlockLine::Go) && !BlockLine::ActionArgument(line).trimmed().isEmpty();
}

// Whether some answer runs no option at all: the value of a numeric control may fall in none of
// its ranges, a multiple choice may be left empty, a check box or button has a side without an
// option.
bool someAnswerRunsNoOption(qint16 type, const QStringList& options)
{
    if (options.isEmpty() || IsNumericInterface(type) || type == MultiList)
        return true;
    // A check box or button holds its two fixed options, or has a side without one.
    const QStringList sides = FixedOptions(type);
    return std::any_of(sides.begin(), sides.end(), [&](const QString& side) { return !options.contains(side); });
}

// A list left unanswered keeps its default, which chooses an option only when it is one.
bool mayBeLeftWithoutOption(qint16 type, const QStringList& options, const QString& defaultValue)
{
    if (type != Radio && type != List && type != Combo && type != Slide)
        return false;
    const QString value = defaultValue.trimmed();
    return value.isEmpty() || !options.contains(value, Qt::CaseInsensitive);
}

} // namespace

struct ControlFlow::Node {
    enum class Kind { Go, Block, Other };
    Kind kind = Kind::Other;
    Line line;
    std::vector<Sequence> branches;
    bool hasElse = false;
};

ControlFlow::ControlFlow(const QStringList& lines, qint16 type, const QString& defaultValue)
{
    Run preActions;
    std::vector<Run> options;
    QStringList optionTexts;
    Run* current = &preActions;
    for (qsizetype index = 0; index < lines.size(); ++index) {
        const QString& text = lines.at(index);
        const Line line{static_cast<int>(index + 1), text};
        if (BlockLine::IsOption(text)) {
            options.emplace_back();
            current = &options.back();
            optionTexts.append(BlockLine::Body(text).trimmed());
            continue;
        }
        if (!BlockLine::IsAction(text))
            continue;
        current->actions.append(line);
        if (isGo(text))
            m_goLines.append(line);
        else if (IsKeyword(text, BlockLine::If) || IsKeyword(text, BlockLine::ElseIf))
            m_conditions.append(line);
        else if (IsKeyword(text, BlockLine::EarlyFinish)
                 && BlockLine::ActionArgument(text).trimmed().compare(QLatin1String("Off"), Qt::CaseInsensitive) != 0)
            m_mayEnableFinish = true;
    }
    m_optionCount = static_cast<int>(options.size());

    // A selector list runs every option, one after the other; any other control one option per
    // answer. Read from the last option back, so that each knows what runs after it.
    const bool everyOptionRuns = type == dList || type == dCombo;
    bool laterOptionGoes = false;
    bool everyOptionGoes = true;
    for (auto option = options.rbegin(); option != options.rend(); ++option) {
        const bool goes = walkRun(*option, everyOptionRuns && laterOptionGoes);
        laterOptionGoes = laterOptionGoes || goes;
        everyOptionGoes = everyOptionGoes && goes;
    }
    const bool optionsGo = !options.empty() && (everyOptionRuns ? laterOptionGoes : everyOptionGoes);
    const bool answerWithoutOption = someAnswerRunsNoOption(type, optionTexts);
    // Whether a !GO among the pre-actions is overridden is asked of the run itself, where an
    // unanswered list runs no option; the paths count only answers.
    const bool alwaysOverridden =
        optionsGo && !answerWithoutOption && !mayBeLeftWithoutOption(type, optionTexts, defaultValue);
    const bool preActionsGo = walkRun(preActions, alwaysOverridden);
    m_everyAnswerGoes = preActionsGo || (optionsGo && !answerWithoutOption);
    std::sort(m_overridden.begin(), m_overridden.end(),
              [](const Line& a, const Line& b) { return a.number < b.number; });
}

ControlFlow::Sequence ControlFlow::parse(const QList<Line>& actions, qsizetype& pos, bool inBranch,
                                         bool& malformed) const
{
    Sequence sequence;
    while (pos < actions.size()) {
        const Line& line = actions.at(pos);
        if (endsBranch(line.text)) {
            if (inBranch)
                return sequence;
            // Outside a block the run stops with a fault here.
            malformed = true;
            ++pos;
            continue;
        }
        ++pos;
        Node node;
        node.line = line;
        if (IsKeyword(line.text, BlockLine::If)) {
            node.kind = Node::Kind::Block;
            node.branches.push_back(parse(actions, pos, true, malformed));
            while (pos < actions.size()) {
                const QString& next = actions.at(pos++).text;
                if (IsKeyword(next, BlockLine::EndIf))
                    break;
                node.hasElse = node.hasElse || IsKeyword(next, BlockLine::Else);
                node.branches.push_back(parse(actions, pos, true, malformed));
            }
        } else if (isGo(line.text)) {
            node.kind = Node::Kind::Go;
        }
        sequence.push_back(std::move(node));
    }
    return sequence;
}

bool ControlFlow::walkRun(const Run& run, bool goesAfter)
{
    qsizetype pos = 0;
    bool malformed = false;
    const Sequence sequence = parse(run.actions, pos, false, malformed);
    // A run that stops with a fault claims nothing.
    return !malformed && walk(sequence, goesAfter);
}

// From the last statement back: each learns whether a !GO surely runs after it.
bool ControlFlow::walk(const Sequence& sequence, bool goesAfter)
{
    bool goesFromHere = false;
    for (auto node = sequence.rbegin(); node != sequence.rend(); ++node) {
        const bool after = goesFromHere || goesAfter;
        bool goes = false;
        switch (node->kind) {
        case Node::Kind::Go:
            if (after)
                m_overridden.append(node->line);
            goes = true;
            break;
        case Node::Kind::Block:
            goes = node->hasElse;
            for (const Sequence& branch : node->branches)
                goes = walk(branch, after) && goes;
            break;
        case Node::Kind::Other:
            break;
        }
        goesFromHere = goesFromHere || goes;
    }
    return goesFromHere;
}
