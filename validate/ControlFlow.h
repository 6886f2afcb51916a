#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// How the actions of one control run, read from its options-and-actions lines: where its !GO
// actions lead, whether every answer surely runs one, which !GO never decides the next page,
// and the tests of its !IF and !ELSEIF actions.
//
// The pre-actions run first, then the actions of the chosen options; every action runs and the
// last !GO that ran decides the next page. A !GO surely runs when it stands outside any !IF
// block, or in a block with an !ELSE of which every branch surely runs one.
class ControlFlow {
public:
    // A line of the block, numbered from 1 as the block holds it.
    struct Line {
        int number = 0;
        QString text;
        // The keyword (BlockLine::Keyword) of an !IF, !ELSEIF, !ELSE, !ENDIF, !GO with a target
        // or !EARLYFINISH; 0 for any other line.
        int keyword = 0;
    };

    ControlFlow(const QStringList& lines, qint16 type, const QString& defaultValue);

    // Every !GO that names a target, in line order.
    const QList<Line>& goLines() const { return m_goLines; }
    // Every !IF and !ELSEIF, in line order.
    const QList<Line>& conditions() const { return m_conditions; }
    // The !GO actions after which another !GO always runs, in line order.
    const QList<Line>& overriddenGoes() const { return m_overridden; }

    // Whether every answer runs a !GO. Each option is an answer; a numeric control also has the
    // value in none of its ranges, a multiple choice the empty one, a check box or button the
    // side it has no option for, and a control without options only its pre-actions.
    bool everyAnswerGoes() const { return m_everyAnswerGoes; }
    // Whether an !EARLYFINISH that is not Off is among the lines.
    bool mayEnableFinish() const { return m_mayEnableFinish; }
    bool hasOptions() const { return m_optionCount > 0; }

private:
    struct Node;
    using Sequence = std::vector<Node>;
    struct Run {
        QList<Line> actions;
    };

    void read(const QStringList& lines);
    Sequence parse(const QList<Line>& actions, qsizetype& pos, bool inBranch, bool& malformed) const;
    bool walk(const Sequence& sequence, bool goesAfter);
    bool walkRun(const Run& run, bool goesAfter);

    QList<Line> m_goLines;
    QList<Line> m_conditions;
    QList<Line> m_overridden;
    bool m_everyAnswerGoes = false;
    bool m_mayEnableFinish = false;
    int m_optionCount = 0;
};
