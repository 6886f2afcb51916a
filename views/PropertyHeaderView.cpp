#include "views/PropertyHeaderView.h"

#include "base/ResourceStrings.h"

#include <QPainter>

namespace {
constexpr int PlaceholderId = 36509;
} // namespace

PropertyHeaderView::PropertyHeaderView(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
}

QString PropertyHeaderView::Placeholder()
{
    return LoadResString(PlaceholderId);
}

void PropertyHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    QHeaderView::paintSection(painter, rect, logicalIndex);
    if (!model() || !model()->headerData(logicalIndex, orientation()).toString().isEmpty())
        return;
    painter->save();
    QFont font = painter->font();
    font.setItalic(true);
    painter->setFont(font);
    painter->setPen(palette().color(QPalette::Disabled, QPalette::Text));
    painter->drawText(rect.adjusted(4, 0, -4, 0), Qt::AlignCenter | Qt::TextSingleLine,
                      fontMetrics().elidedText(Placeholder(), Qt::ElideRight, rect.width() - 8));
    painter->restore();
}
