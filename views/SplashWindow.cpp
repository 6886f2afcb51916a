#include "views/SplashWindow.h"

#include "base/ResourceStrings.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int ProgramNameId = 30000;
}

SplashWindow::SplashWindow(const QString& text, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(LoadResString(ProgramNameId), this);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 2);
    titleFont.setBold(true);
    title->setFont(titleFont);
    layout->addWidget(title, 0, Qt::AlignCenter);
    layout->addWidget(new QLabel(text, this), 0, Qt::AlignCenter);
    layout->setContentsMargins(48, 32, 48, 32);
    setFocusPolicy(Qt::StrongFocus);
}

void SplashWindow::keyPressEvent(QKeyEvent*)
{
    close();
}

void SplashWindow::mousePressEvent(QMouseEvent*)
{
    close();
}
