#include "printing/PrintTexts.h"

#include "base/ResourceStrings.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/DecisionProperties.h"
#include "model/HeadingText.h"
#include "persist/CsvTable.h"
#include "persist/StorageDocument.h"
#include "selectors/SelectorStore.h"

#include <QImage>
#include <QTextDocument>
#include <QUrl>

#include <array>
#include <utility>

namespace {

constexpr int SummaryTitleId = 33740;
constexpr int SelectorsTitleId = 33741;
constexpr int PicturesTitleId = 33742;
constexpr int ExternalSelectorId = 33743;
constexpr int NoControlsId = 33744;
constexpr int OptionsLabelId = 11004;
constexpr int UnreadablePictureId = 33745;
constexpr int PageHeaderLabelId = 33746;

using namespace MDecisionDataUtil;

const QString Style = QStringLiteral(
    "<style>h1 { font-size: 16pt; } h2 { font-size: 12pt; margin-top: 12px; }"
    " td, th { padding: 2px 6px; } th { background-color: #e0e0e0; text-align: left; }"
    " pre { font-family: monospace; font-size: 8pt; }</style>");

QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

QString plainHeading(const QString& heading)
{
    QTextDocument rich;
    LoadHeading(rich, heading);
    return rich.toPlainText();
}

QString row(const QString& label, const QString& valueHtml)
{
    return QStringLiteral("<tr><td width=\"25%\"><b>%1</b></td><td>%2</td></tr>").arg(escaped(label), valueHtml);
}

// The per-control fields in the order they print, each with the selection that asks for it.
QString controlRows(const CmDecisionItem& decision, const CmDecisionManager& decisions, const PrintSelections& s)
{
    const std::array<std::pair<bool, int>, 11> fields{{
        {s.Print_intID, IdLabel},
        {s.Print_strID, ControlNameLabel},
        {s.Print_Control, InputInterfaceLabel},
        {s.Print_Caption, CaptionLabel},
        {s.Print_Group, DisplayedControlsLabel},
        {s.Print_Picture, PictureLabel},
        {s.Print_Default, DefaultValueLabel},
        {s.Print_Min, MinimumLabel},
        {s.Print_Max, MaximumLabel},
        {s.Print_HelpID, HelpIdLabel},
        {s.Print_HelpURL, HelpUrlLabel},
    }};
    QString rows;
    for (const auto& [wanted, label] : fields) {
        if (wanted)
            rows += row(LoadResString(label), escaped(GetProperty(decision, label, &decisions)));
    }
    if (s.Print_Heading)
        rows += row(LoadResString(PageHeaderLabelId),
                    escaped(plainHeading(decision.Heading())).replace(QLatin1Char('\n'), QLatin1String("<br>")));
    if (s.Print_Options && !decision.OptsAndActs().isEmpty())
        rows += row(LoadResString(OptionsLabelId),
                    QStringLiteral("<pre>%1</pre>").arg(escaped(decision.OptsAndActs().join(QLatin1Char('\n')))));
    return rows;
}

std::unique_ptr<QTextDocument> started(const QString& title, const QString& html)
{
    auto document = std::make_unique<QTextDocument>();
    document->setDocumentMargin(0);
    document->setHtml(html);
    document->setMetaInformation(QTextDocument::DocumentTitle, title);
    return document;
}

} // namespace

namespace PrintTexts {

std::unique_ptr<QTextDocument> Summary(const CmDecisionManager& decisions, const PrintSelections& selections,
                                       const QString& title)
{
    QString html = Style + QStringLiteral("<h1>%1</h1>").arg(escaped(LoadResString(SummaryTitleId).arg(title)));
    if (decisions.Count() == 0)
        html += QStringLiteral("<p>%1</p>").arg(escaped(LoadResString(NoControlsId)));
    for (int i = 1; i <= decisions.Count(); ++i) {
        const CmDecisionItem* decision = decisions.ItemByIndex(i);
        if (!decision)
            continue;
        const QString name = decision->strID().isEmpty() ? QStringLiteral("_%1").arg(decision->intID()) : decision->strID();
        html += QStringLiteral("<h2>%1. %2</h2>").arg(i).arg(escaped(name));
        html += QStringLiteral("<table width=\"100%\" border=\"0.5\" cellspacing=\"0\">%1</table>")
                    .arg(controlRows(*decision, decisions, selections));
    }
    return started(title, html);
}

std::unique_ptr<QTextDocument> Selectors(StorageDocument& storage)
{
    SelectorStore store(storage);
    QString html = Style + QStringLiteral("<h1>%1</h1>").arg(escaped(LoadResString(SelectorsTitleId)));
    for (const QString& name : store.Names()) {
        QString text;
        CsvTable::Rows rows;
        html += QStringLiteral("<h2>%1</h2>").arg(escaped(name));
        if (!store.ReadText(name, text) || !CsvTable::parse(text, rows) || rows.isEmpty())
            continue;
        html += QStringLiteral("<table width=\"100%\" border=\"0.5\" cellspacing=\"0\"><thead><tr>");
        for (const QString& header : rows.first())
            html += QStringLiteral("<th>%1</th>").arg(escaped(header));
        html += QStringLiteral("</tr></thead>");
        for (qsizetype r = 1; r < rows.size(); ++r) {
            html += QStringLiteral("<tr>");
            for (const QString& cell : rows.at(r))
                html += QStringLiteral("<td>%1</td>").arg(escaped(cell));
            html += QStringLiteral("</tr>");
        }
        html += QStringLiteral("</table>");
    }
    for (const QString& name : store.ExternalNames())
        html += QStringLiteral("<h2>%1</h2><p>%2</p>").arg(escaped(name), escaped(LoadResString(ExternalSelectorId)));
    return started(LoadResString(SelectorsTitleId), html);
}

std::unique_ptr<QTextDocument> Pictures(const StorageDocument& storage, double width, double height, double scale)
{
    QStringList names;
    storage.pictures().names(names);
    QString html = Style + QStringLiteral("<h1>%1</h1>").arg(escaped(LoadResString(PicturesTitleId)));
    QList<std::pair<QUrl, QImage>> images;
    for (const QString& name : std::as_const(names)) {
        QByteArray bytes;
        QImage image;
        // Each picture on a page of its own, so that none is cut by a page's end.
        html += QStringLiteral("<h2%1>%2</h2>")
                    .arg(name == names.first() ? QString() : QStringLiteral(" style=\"page-break-before: always\""),
                         escaped(name));
        if (!storage.pictures().read(name, bytes) || !image.loadFromData(bytes)) {
            html += QStringLiteral("<p>%1</p>").arg(escaped(LoadResString(UnreadablePictureId)));
            continue;
        }
        // At its screen size, shrunk when it is wider than the page or taller than most of it.
        QSizeF shown = QSizeF(image.size()) * scale;
        if (shown.width() > width || shown.height() > height * 0.8)
            shown = shown.scaled(QSizeF(width, height * 0.8), Qt::KeepAspectRatio);
        const QUrl url(QStringLiteral("picture:%1").arg(QString::fromLatin1(name.toUtf8().toHex())));
        html += QStringLiteral("<p><img src=\"%1\" width=\"%2\" height=\"%3\"></p>")
                    .arg(url.toString())
                    .arg(shown.width())
                    .arg(shown.height());
        images.append({url, image});
    }
    auto document = started(LoadResString(PicturesTitleId), html);
    // The layout asks for the images only when it places them.
    for (const auto& [url, image] : std::as_const(images))
        document->addResource(QTextDocument::ImageResource, url, image);
    return document;
}

} // namespace PrintTexts
