#include "journeys/JourneyCoverage.h"

#include "base/ResourceStrings.h"
#include "lang/BlockLine.h"
#include "runtime/RuntimeEngine.h"

namespace {
constexpr int NotReachedId = 33044;
constexpr int OptionNotTakenId = 33045;
constexpr int BranchNotRunId = 33046;
constexpr int NoBranchNotRunId = 33047;
constexpr int NeverKeptId = 33048;
constexpr int NeverRemovedId = 33049;

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text.trimmed() + QLatin1Char('"');
}
} // namespace

QString JourneyCoverage::key(int control, const QString& option)
{
    return QString::number(control) + QLatin1Char('\t') + option;
}

void JourneyCoverage::controlLeft(const RuntimeControl& control)
{
    m_left.insert(control.id);
}

void JourneyCoverage::optionTaken(const RuntimeControl& control, const QString& option)
{
    m_options.insert(key(control.id, option));
}

void JourneyCoverage::branchTaken(const RuntimeControl& control, const QString& option, int line)
{
    m_branches[key(control.id, option)].insert(line);
}

void JourneyCoverage::runEnded(const RuntimeEngine& engine)
{
    ++m_runs;
    for (const SelectorTable& table : engine.selectors()) {
        ItemEnds& ends = m_items[table.name().toCaseFolded()];
        const auto count = static_cast<std::size_t>(table.itemCount());
        ends.kept.resize(count, false);
        ends.removed.resize(count, false);
        for (int item = 0; item < table.itemCount(); ++item)
            (table.isRemoved(item) ? ends.removed : ends.kept)[static_cast<std::size_t>(item)] = true;
    }
}

QStringList JourneyCoverage::gaps(const RuntimeEngine& engine) const
{
    QStringList lines;
    optionGaps(engine, lines);
    itemGaps(engine, lines);
    return lines;
}

void JourneyCoverage::optionGaps(const RuntimeEngine& engine, QStringList& lines) const
{
    for (const RuntimeControl* control : engine.controls()) {
        const QString name = control->displayName();
        if (!m_left.contains(control->id)) {
            lines.append(LoadResString(NotReachedId).arg(name));
            continue;
        }
        branchGaps(control->id, name, RuntimeEngine::PreActionName, control->preActions, lines);
        for (const RuntimeOption& option : control->options) {
            if (!m_options.contains(key(control->id, option.text)))
                lines.append(LoadResString(OptionNotTakenId).arg(name, quoted(option.text)));
            else
                branchGaps(control->id, name, option.text, option.actions, lines);
        }
    }
}

void JourneyCoverage::branchGaps(int control, const QString& name, const QString& option, const QStringList& actions,
                                 QStringList& lines) const
{
    struct Block {
        qsizetype ifLine;
        bool hasElse;
    };
    std::vector<Block> open;
    const QSet<int> taken = m_branches.value(key(control, option));
    const QString where = name + QLatin1String(" / ") + option;
    for (qsizetype index = 0; index < actions.size(); ++index) {
        const QString& line = actions.at(index);
        const bool opens = BlockLine::IsKeyword(line, BlockLine::If);
        const bool elseLine = BlockLine::IsKeyword(line, BlockLine::Else);
        if (opens)
            open.push_back({index, false});
        if (opens || elseLine || BlockLine::IsKeyword(line, BlockLine::ElseIf)) {
            if (!open.empty() && elseLine)
                open.back().hasElse = true;
            if (!taken.contains(int(index)))
                lines.append(LoadResString(BranchNotRunId).arg(where, quoted(line)));
        } else if (BlockLine::IsKeyword(line, BlockLine::EndIf) && !open.empty()) {
            const Block block = open.back();
            open.pop_back();
            if (!block.hasElse && !taken.contains(int(index)))
                lines.append(LoadResString(NoBranchNotRunId).arg(where, quoted(actions.at(block.ifLine))));
        }
    }
}

void JourneyCoverage::itemGaps(const RuntimeEngine& engine, QStringList& lines) const
{
    for (const SelectorTable& table : engine.selectors()) {
        const auto found = m_items.constFind(table.name().toCaseFolded());
        QStringList neverKept;
        QStringList neverRemoved;
        for (int item = 0; item < table.itemCount(); ++item) {
            const auto at = static_cast<std::size_t>(item);
            const bool kept = found != m_items.cend() && at < found->kept.size() && found->kept[at];
            const bool removed = found != m_items.cend() && at < found->removed.size() && found->removed[at];
            if (!kept)
                neverKept.append(table.itemName(item));
            if (!removed)
                neverRemoved.append(table.itemName(item));
        }
        if (!neverKept.isEmpty())
            lines.append(LoadResString(NeverKeptId).arg(table.name(), neverKept.join(QLatin1String(", "))));
        if (!neverRemoved.isEmpty())
            lines.append(LoadResString(NeverRemovedId).arg(table.name(), neverRemoved.join(QLatin1String(", "))));
    }
}
