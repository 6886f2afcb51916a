#pragma once

#include <QDockWidget>

class CView;
class QPlainTextEdit;

// The docked log: the view's log text, read-only, growing as lines are added.
class LogWindow : public QDockWidget {
    Q_OBJECT
public:
    explicit LogWindow(QWidget* parent);

    // Shows this view's log and follows it from now on.
    void follow(CView& view);
    QString text() const;

private:
    void append(const QString& text);

    QPlainTextEdit* m_text = nullptr;
};
