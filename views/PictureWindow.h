#pragma once

#include <QImage>
#include <QWidget>

// One project picture in a window of its own; the picture fits the window as it is resized,
// keeping its proportions, and is never drawn larger than it is.
class PictureWindow final : public QWidget {
    Q_OBJECT
public:
    PictureWindow(const QString& name, QImage image, QWidget* parent = nullptr);

    const QString& name() const { return m_name; }
    void rename(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showTitle();

    QString m_name;
    QImage m_image;
};
