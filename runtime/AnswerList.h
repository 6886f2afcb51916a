#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// Answers for a run without a user: one NAME=VALUE a line, each answering the next page that
// shows that control (a multi-selection separates its choices by "|"). A line BACK presses Back
// once every NAME=VALUE line above it has been taken; a line FINISH lets the run finish early
// where the answers run out; empty lines and lines beginning with # are skipped.
class AnswerList {
public:
    // The reason, when a line is neither NAME=VALUE, BACK nor FINISH.
    std::optional<QString> parse(const QString& text);
    // The same lines given one by one: an answer, a BACK (an empty name), FINISH.
    void append(const QString& name, const QString& value);
    void appendBack() { append(QString(), QString()); }
    void setFinishWhenOut() { m_finish = true; }

    // The next answer for the control (by name, without regard to case), taken off the list.
    std::optional<QString> take(const QString& name);
    // Whether Back is to be pressed now: a BACK line not yet taken whose answers above are all
    // taken; it is taken off the list.
    bool takeBack();
    bool finishWhenOut() const { return m_finish; }
    // NAME=VALUE and BACK lines no page took, in file order.
    QStringList leftOver() const;

private:
    struct Entry {
        QString name; // empty for BACK
        QString value;
        bool taken = false;
    };

    QList<Entry> m_entries;
    QHash<QString, QList<int>> m_byName; // folded name -> entry indexes, in order
    bool m_finish = false;
};
