#pragma once

#include <QWidget>

// The start-up window with the maker's name and the version; a key or a click closes it.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(const QString& text, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};
