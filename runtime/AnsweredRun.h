#pragma once

#include "runtime/AnswerList.h"
#include "runtime/IRuntimeHost.h"

#include <QString>
#include <QStringList>

class RuntimeEngine;

// Runs a tree with answers from a list instead of a user and writes what happened: each page
// with its controls, the values given, each action that ran, and how the run ended.
class AnsweredRun final : public IRuntimeHost {
public:
    enum class Outcome { Done, Finished, Stopped };

    AnsweredRun(RuntimeEngine& engine, AnswerList& answers) : m_engine(engine), m_answers(answers) {}

    // Starts at the control named (the first control when empty) and runs to the end.
    Outcome run(const QString& start);
    const QStringList& transcript() const { return m_lines; }
    // Every selector's remaining items in order; with explain also each removed item and the
    // action that removed it.
    QStringList selectorReport(bool explain) const;

    void HandleEvent(int code, const QStringList& arguments, QString& text) override;

private:
    enum class PageAnswer { Answered, Finished, Stopped };

    void writePage();
    void writeLeave();
    PageAnswer answerPage(bool returned);
    Outcome stopped(const QString& reason);
    Outcome ended();

    RuntimeEngine& m_engine;
    AnswerList& m_answers;
    QStringList m_lines;
    QStringList m_pending; // lines written by events, placed after the page's actions
    QString m_error;
    int m_pageCount = 0;
};
