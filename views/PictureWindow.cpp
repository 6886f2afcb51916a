#include "views/PictureWindow.h"

#include "base/ResourceStrings.h"

#include <QPainter>

namespace {

constexpr int TitleId = 33780;
constexpr int Margin = 8;

} // namespace

PictureWindow::PictureWindow(const QString& name, QImage image, QWidget* parent)
    : QWidget(parent, Qt::Window), m_name(name), m_image(std::move(image))
{
    setObjectName(QStringLiteral("frmPicture"));
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(160, 120);
    showTitle();
    resize(m_image.size().boundedTo(QSize(900, 700)).expandedTo(QSize(240, 180)) + QSize(2 * Margin, 2 * Margin));
}

void PictureWindow::rename(const QString& name)
{
    m_name = name;
    showTitle();
}

void PictureWindow::showTitle()
{
    setWindowTitle(LoadResString(TitleId).arg(m_name).arg(m_image.width()).arg(m_image.height()));
}

void PictureWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QSize room = rect().adjusted(Margin, Margin, -Margin, -Margin).size();
    if (m_image.isNull() || room.isEmpty())
        return;
    const QSize shown = m_image.width() > room.width() || m_image.height() > room.height()
                            ? m_image.size().scaled(room, Qt::KeepAspectRatio)
                            : m_image.size();
    const QRect target(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_image);
}
