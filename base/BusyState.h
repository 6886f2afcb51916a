#pragma once

#include <QObject>

// Whether a long operation is running. Long operations let pending events run while they report
// progress, so a click or a close can arrive in the middle of one: every entry point asks here
// first and refuses (or waits) while busy.
class BusyState : public QObject {
    Q_OBJECT
public:
    bool busy() const { return m_depth > 0; }

signals:
    void busyChanged(bool busy);

private:
    friend class BusyScope;
    void enter();
    void leave();

    int m_depth = 0;
};

// Busy for as long as it lives; scopes nest.
class BusyScope {
public:
    explicit BusyScope(BusyState& state) : m_state(state) { m_state.enter(); }
    ~BusyScope() { m_state.leave(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    BusyState& m_state;
};
