#include "vcs/LineMerge.h"

#include <algorithm>

namespace {

// Beyond this many cells the middle of two lists is taken as replaced rather than searched.
constexpr qsizetype MaxTableCells = 4'000'000;

QStringList slice(const QStringList& lines, qsizetype from, qsizetype to)
{
    return lines.mid(from, to - from);
}

} // namespace

std::vector<qsizetype> LineMerge::Match(const QStringList& from, const QStringList& to)
{
    const qsizetype n = from.size();
    const qsizetype m = to.size();
    std::vector<qsizetype> match(static_cast<size_t>(n), -1);
    qsizetype head = 0;
    while (head < n && head < m && from.at(head) == to.at(head)) {
        match[static_cast<size_t>(head)] = head;
        ++head;
    }
    qsizetype tail = 0;
    while (tail < n - head && tail < m - head && from.at(n - 1 - tail) == to.at(m - 1 - tail)) {
        match[static_cast<size_t>(n - 1 - tail)] = m - 1 - tail;
        ++tail;
    }
    const qsizetype rows = n - head - tail;
    const qsizetype columns = m - head - tail;
    if (rows == 0 || columns == 0 || rows * columns > MaxTableCells)
        return match;
    // lengths[i][j]: the longest common subsequence of the middles from i and from j on.
    const auto width = static_cast<size_t>(columns + 1);
    std::vector<int> lengths(static_cast<size_t>(rows + 1) * width, 0);
    const auto at = [&](qsizetype i, qsizetype j) -> int& { return lengths[static_cast<size_t>(i) * width + static_cast<size_t>(j)]; };
    for (qsizetype i = rows - 1; i >= 0; --i) {
        for (qsizetype j = columns - 1; j >= 0; --j) {
            at(i, j) = from.at(head + i) == to.at(head + j) ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
        }
    }
    for (qsizetype i = 0, j = 0; i < rows && j < columns;) {
        if (from.at(head + i) == to.at(head + j)) {
            match[static_cast<size_t>(head + i)] = head + j;
            ++i;
            ++j;
        } else if (at(i + 1, j) >= at(i, j + 1)) {
            ++i;
        } else {
            ++j;
        }
    }
    return match;
}

QList<LineMerge::Edit> LineMerge::Diff(const QStringList& from, const QStringList& to)
{
    const std::vector<qsizetype> match = Match(from, to);
    QList<Edit> edits;
    qsizetype j = 0;
    for (qsizetype i = 0; i < from.size(); ++i) {
        const qsizetype target = match[static_cast<size_t>(i)];
        if (target < 0) {
            edits.append({Edit::Kind::Removed, from.at(i)});
            continue;
        }
        for (; j < target; ++j)
            edits.append({Edit::Kind::Added, to.at(j)});
        edits.append({Edit::Kind::Same, from.at(i)});
        j = target + 1;
    }
    for (; j < to.size(); ++j)
        edits.append({Edit::Kind::Added, to.at(j)});
    return edits;
}

LineMerge::Merged LineMerge::Merge(const QStringList& base, const QStringList& ours, const QStringList& theirs)
{
    Merged merged;
    if (ours == theirs || theirs == base) {
        merged.lines = ours;
        return merged;
    }
    if (ours == base) {
        merged.lines = theirs;
        return merged;
    }
    const std::vector<qsizetype> toOurs = Match(base, ours);
    const std::vector<qsizetype> toTheirs = Match(base, theirs);
    const qsizetype n = base.size();
    qsizetype b = 0;
    qsizetype o = 0;
    qsizetype t = 0;
    const auto stable = [&](qsizetype i, qsizetype oi, qsizetype ti) {
        return i < n && toOurs[static_cast<size_t>(i)] == oi && toTheirs[static_cast<size_t>(i)] == ti;
    };
    while (true) {
        // Lines all three hold in step.
        while (stable(b, o, t)) {
            merged.lines.append(base.at(b));
            ++b;
            ++o;
            ++t;
        }
        if (b == n && o == ours.size() && t == theirs.size())
            break;
        // The next line of base that both sides kept closes the changed chunk.
        qsizetype next = b;
        while (next < n && (toOurs[static_cast<size_t>(next)] < 0 || toTheirs[static_cast<size_t>(next)] < 0))
            ++next;
        const qsizetype oursEnd = next < n ? toOurs[static_cast<size_t>(next)] : ours.size();
        const qsizetype theirsEnd = next < n ? toTheirs[static_cast<size_t>(next)] : theirs.size();
        const QStringList baseChunk = slice(base, b, next);
        const QStringList oursChunk = slice(ours, o, oursEnd);
        const QStringList theirsChunk = slice(theirs, t, theirsEnd);
        if (oursChunk == baseChunk) {
            merged.lines.append(theirsChunk);
        } else if (theirsChunk == baseChunk || oursChunk == theirsChunk) {
            merged.lines.append(oursChunk);
        } else {
            merged.lines.append(oursChunk);
            merged.conflicts.append({baseChunk, oursChunk, theirsChunk});
        }
        b = next;
        o = oursEnd;
        t = theirsEnd;
    }
    return merged;
}
