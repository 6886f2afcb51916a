#include "printing/ProjectPrint.h"

#include "base/ResourceStrings.h"
#include "printing/DiagramPrint.h"
#include "printing/PrintTexts.h"
#include "persist/StorageDocument.h"
#include "selectors/SelectorStore.h"

#include <QAbstractTextDocumentLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextDocument>

#include <memory>

namespace {

constexpr int FooterId = 33747;
constexpr int DiagramTitleId = 33748;

} // namespace

// The device and where the next page goes.
struct ProjectPrint::Pages {
    QPagedPaintDevice& device;
    QPainter& painter;
    QString title;
    QRectF body;
    double footerHeight = 0;
    int count = 0;

    // Every page but the first starts with a new sheet; the foot is drawn when the page begins.
    void begin()
    {
        if (count > 0)
            device.newPage();
        ++count;
        painter.save();
        QFont font = painter.font();
        font.setPointSizeF(8);
        painter.setFont(font);
        painter.setPen(Qt::darkGray);
        const QRectF foot(0, body.bottom() + footerHeight * 0.25, body.width(), footerHeight * 0.75);
        painter.drawText(foot, Qt::AlignRight | Qt::AlignVCenter, LoadResString(FooterId).arg(title).arg(count));
        painter.restore();
    }
};

ProjectPrint::ProjectPrint(const CmDecisionManager& decisions, StorageDocument& storage, const CanvasModel* canvas,
                           QString title)
    : m_decisions(decisions), m_storage(storage), m_canvas(canvas), m_title(std::move(title))
{
}

int ProjectPrint::Print(QPagedPaintDevice& device) const
{
    QPainter painter;
    if (!painter.begin(&device))
        return -1;
    const double dpi = device.logicalDpiY();
    const double footer = dpi * 0.4;
    Pages pages{device, painter, m_title, QRectF(0, 0, device.width(), device.height() - footer), footer};
    if (m_selections.Print_DTSummary)
        flow(pages, *PrintTexts::Summary(m_decisions, m_selections, m_title));
    if (m_selections.Print_DTThumbnail)
        diagram(pages);
    // A part the project has nothing of takes no page.
    const SelectorStore selectors(m_storage);
    if (m_selections.Print_Selectors && !(selectors.Names().isEmpty() && selectors.ExternalNames().isEmpty()))
        flow(pages, *PrintTexts::Selectors(m_storage));
    QStringList pictures;
    m_storage.pictures().names(pictures);
    if (m_selections.Print_Pictures && !pictures.isEmpty())
        flow(pages, *PrintTexts::Pictures(m_storage, pages.body.width(), pages.body.height(), dpi / 96.0));
    painter.end();
    return pages.count;
}

void ProjectPrint::flow(Pages& pages, QTextDocument& document) const
{
    // Laid out for the device, so that point sizes and picture sizes come out as meant.
    document.documentLayout()->setPaintDevice(&pages.device);
    document.setPageSize(pages.body.size());
    const int count = document.pageCount();
    for (int page = 0; page < count; ++page) {
        pages.begin();
        pages.painter.save();
        const QRectF shown(0, page * pages.body.height(), pages.body.width(), pages.body.height());
        pages.painter.translate(pages.body.left(), pages.body.top() - shown.top());
        pages.painter.setClipRect(shown);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = shown;
        context.palette.setColor(QPalette::Text, Qt::black);
        document.documentLayout()->draw(&pages.painter, context);
        pages.painter.restore();
    }
}

void ProjectPrint::diagram(Pages& pages) const
{
    if (!m_canvas)
        return;
    const double dpi = pages.device.logicalDpiY();
    const double titleHeight = dpi * 0.4;
    const QSizeF area(pages.body.width(), pages.body.height() - titleHeight);
    const DiagramPrint drawing(*m_canvas, area, dpi, m_selections.Print_ThumbnailOnePage, m_lineStyle);
    if (drawing.IsEmpty())
        return;
    for (int page = 0; page < drawing.Pages(); ++page) {
        pages.begin();
        pages.painter.save();
        QFont font = pages.painter.font();
        font.setPointSizeF(12);
        font.setBold(true);
        pages.painter.setFont(font);
        pages.painter.drawText(QRectF(0, 0, area.width(), titleHeight), Qt::AlignLeft | Qt::AlignTop,
                               LoadResString(DiagramTitleId).arg(m_title));
        pages.painter.translate(0, titleHeight);
        drawing.DrawPage(pages.painter, page);
        pages.painter.restore();
    }
}
