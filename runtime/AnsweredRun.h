#pragma once

#include "runtime/AnswerList.h"
#include "runtime/IRuntimeHost.h"

#include <QString>
#include <QStringList>

#include <functional>

class RuntimeEngine;

// Runs a tree with answers from a list instead of a user and writes what happened: each page
// with its controls, the values given, each action that ran, and how the run ended.
class AnsweredRun final : public IRuntimeHost {
public:
    enum class Outcome { Done, Finished, Stopped };

    AnsweredRun(RuntimeEngine& engine, AnswerList& answers) : m_engine(engine), m_answers(answers) {}

    // Finish instead of Next once the page of this control has its answers (when the tree
    // allows early finish there; the run stops when it does not).
    void setFinishOn(const QString& control) { m_finishOn = control; }
    // Called after each page is shown, once the page is in pages().
    void setPageObserver(std::function<void()> observer) { m_pageObserver = std::move(observer); }

    // Starts at the control named (the first control when empty) and runs to the end.
    Outcome run(const QString& start);
    const QStringList& transcript() const { return m_lines; }
    // The first control of each page shown, in order (a page Back returned to again); empty for
    // the engine's own done page.
    const QStringList& pages() const { return m_pages; }
    // Why the run stopped; empty unless it did.
    const QString& stopReason() const { return m_stopReason; }
    // Whether it stopped because a page had no answer (the answers ran out there).
    bool waitingForAnswer() const { return m_waiting; }
    // Every selector's remaining items in order; with explain also each removed item and the
    // action that removed it.
    QStringList selectorReport(bool explain) const;

    void HandleEvent(int code, const QStringList& arguments, QString& text) override;

private:
    enum class PageAnswer { Answered, Finished, Stopped };

    void writePage();
    bool finishesHere() const;
    void writeLeave();
    PageAnswer answerPage(bool returned);
    Outcome stopped(const QString& reason);
    Outcome ended();

    RuntimeEngine& m_engine;
    AnswerList& m_answers;
    QStringList m_lines;
    QStringList m_pending; // lines written by events, placed after the page's actions
    QString m_error;
    QString m_finishOn;
    std::function<void()> m_pageObserver;
    QStringList m_pages;
    QString m_stopReason;
    bool m_waiting = false;
    int m_pageCount = 0;
};
