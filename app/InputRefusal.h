#pragma once

#include <QObject>

// While it lives, no key, click, wheel turn or drop reaches any window of the program: a long
// piece of work is running over the project, and an edit now would land in the middle of it.
// The windows still repaint. Whether something was refused tells the caller to say so.
class InputRefusal final : public QObject {
public:
    InputRefusal();
    ~InputRefusal() override;
    InputRefusal(const InputRefusal&) = delete;
    InputRefusal& operator=(const InputRefusal&) = delete;

    bool refusedAny() const { return m_refused; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_refused = false;
};
