#include "validate/ControlFlow.h"

#include "lang/BlockLine.h"
#include "model/MDecisionDataUtil.h"
#include "model/OptionRules.h"

#include <algorithm>

namespace {

using namespace MDecisionDataUtil;
using BlockLine::Keyword;

// The keyword of an action line among those the flow reads, read once and without copying the
// line (as BlockLine reads it: between the marker and the first blank, trimmed); 0 for any other.
// A !GO without a target is no !GO here: the validator names it.
int keywordOf(const QString& line)
{
    static const Keyword read[] = {Keyword::If, Keyword::ElseIf, Keyword::Else, Keyword::EndIf, Keyword::Go,
                                   Keyword::EarlyFinish};
    const QStringView text(line);
    const qsizetype end = text.indexOf(QLatin1Char(' '), 1);
    const QStringView keyword = text.mid(1, end < 0 ? -1 : end - 1).trimmed();
    for (const Keyword candidate : read) {
        if (keyword.compare(BlockLine::KeywordText(candidate), Qt::CaseInsensitive) != 0)
            continue;
        if (candidate == Keyword::Go && (end < 0 || text.mid(end + 1).trimmed().isEmpty()))
            return 0;
        return candidate;
    }
    return 0;
}

bool endsBranch(int keyword)
{
    return keyword == Keyword::ElseIf || keyword == Keyword::Else || keyword == Keyword::EndIf;
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
        Line line{static_cast<int>(index + 1), text};
        if (BlockLine::IsOption(text)) {
            options.emplace_back();
            current = &options.back();
            optionTexts.append(BlockLine::Body(text).trimmed());
            continue;
        }
        if (!BlockLine::IsAction(text))
            continue;
        line.keyword = keywordOf(text);
        current->actions.append(line);
        if (line.keyword == Keyword::Go)
            m_goLines.append(line);
        else if (line.keyword == Keyword::If || line.keyword == Keyword::ElseIf)
            m_conditions.append(line);
        else if (line.keyword == Keyword::EarlyFinish
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
        if (endsBranch(line.keyword)) {
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
        if (line.keyword == Keyword::If) {
            node.kind = Node::Kind::Block;
            node.branches.push_back(parse(actions, pos, true, malformed));
            while (pos < actions.size()) {
                const int next = actions.at(pos++).keyword;
                if (next == Keyword::EndIf)
                    break;
                node.hasElse = node.hasElse || next == Keyword::Else;
                node.branches.push_back(parse(actions, pos, true, malformed));
            }
        } else if (line.keyword == Keyword::Go) {
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
