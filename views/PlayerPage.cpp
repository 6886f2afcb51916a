#include "views/PlayerPage.h"

#include "views/PlayerControlView.h"

#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int WidestPicture = 480;
} // namespace

PlayerPage::PlayerPage(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_header = new QLabel(this);
    m_header->setObjectName(QStringLiteral("header"));
    m_header->setWordWrap(true);
    m_header->setTextFormat(Qt::RichText);
    m_header->setVisible(false);
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("picture"));
    m_picture->setVisible(false);
    auto* controls = new QWidget(this);
    m_controlsLayout = new QVBoxLayout(controls);
    m_controlsLayout->setContentsMargins(0, 0, 0, 0);
    m_controlsLayout->addStretch(); // the controls stand at the top of the page
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setWidget(controls);
    scroll->setFrameShape(QFrame::NoFrame);
    layout->addWidget(m_header);
    layout->addWidget(m_picture);
    layout->addWidget(scroll, 1);
}

void PlayerPage::setHeader(const QString& tagged)
{
    m_header->setText(headerHtml(tagged));
    m_header->setVisible(!tagged.isEmpty());
}

QString PlayerPage::headerText() const
{
    return m_header->text();
}

void PlayerPage::setPicture(const QByteArray& bytes)
{
    QPixmap picture;
    if (bytes.isEmpty() || !picture.loadFromData(bytes)) {
        m_picture->clear();
        m_picture->setVisible(false);
        return;
    }
    m_picture->setPixmap(picture.scaledToWidth(std::min(picture.width(), WidestPicture), Qt::SmoothTransformation));
    m_picture->setVisible(true);
}

bool PlayerPage::showsPicture() const
{
    return !m_picture->isHidden();
}

void PlayerPage::addControl(PlayerControlView* view)
{
    view->setParent(m_controlsLayout->parentWidget());
    m_controlsLayout->insertWidget(m_controlsLayout->count() - 1, view);
    m_views.append(view);
}

void PlayerPage::clear()
{
    // Later: a command button that answered the page may still be in its click.
    for (PlayerControlView* view : std::as_const(m_views)) {
        view->hide();
        view->deleteLater();
    }
    m_views.clear();
    setHeader(QString());
    setPicture({});
}

QString PlayerPage::headerHtml(const QString& tagged)
{
    static const QStringList kept{"<b>", "</b>", "<i>", "</i>", "<u>", "</u>"};
    QString html;
    for (qsizetype i = 0; i < tagged.size(); ++i) {
        const QChar c = tagged.at(i);
        if (c == QLatin1Char('\\') && i + 1 < tagged.size() && tagged.at(i + 1) == QLatin1Char('<')) {
            html += QLatin1String("&lt;");
            ++i;
        } else if (c == QLatin1Char('<')) {
            const QString tag = tagged.mid(i, tagged.indexOf(QLatin1Char('>'), i) - i + 1).toLower();
            if (kept.contains(tag)) {
                html += tag;
                i += tag.size() - 1;
            } else {
                html += QLatin1String("&lt;");
            }
        } else if (c == QLatin1Char('\n')) {
            html += QLatin1String("<br>");
        } else if (c != QLatin1Char('\r')) {
            html += QString(c).toHtmlEscaped();
        }
    }
    return html;
}
