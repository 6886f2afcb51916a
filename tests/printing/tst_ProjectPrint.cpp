#include "common/TestRegistry.h"

#include "edit/CanvasModel.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "persist/PictureStore.h"
#include "printing/ProjectPrint.h"
#include "selectors/SelectorStore.h"

#include <QBuffer>
#include <QImage>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Controls Start1..StartN in a row on the diagram, each going to the next.
struct PrintProject {
    CmDocument document;
    CmDecisionManager decisions;
    CanvasModel canvas{decisions};

    explicit PrintProject(int controls)
    {
        for (qint16 i = 1; i <= controls; ++i) {
            auto item = std::make_unique<CmDecisionItem>();
            item->setIntID(i);
            item->setStrID(QStringLiteral("Start%1").arg(i));
            item->setCaption(QStringLiteral("Question number %1").arg(i));
            item->setOptsAndActs({QStringLiteral("^Yes"), QStringLiteral("!GO Start%1").arg(i % controls + 1)});
            decisions.add(std::move(item));
            canvas.MoveEntity(i, QPointF(150.0 * i, -120.0 * (i % 3)));
        }
    }

    PrintSelections only(bool summary, bool diagram, bool selectors, bool pictures) const
    {
        PrintSelections selections;
        selections.Print_DTSummary = summary;
        selections.Print_DTThumbnail = diagram;
        selections.Print_Selectors = selectors;
        selections.Print_Pictures = pictures;
        return selections;
    }

    // The pages printed into a PDF file, and the file's text as pdftotext reads it.
    int print(const PrintSelections& selections, const QString& pdfPath)
    {
        QPdfWriter writer(pdfPath);
        writer.setResolution(300);
        ProjectPrint print(decisions, document.Storage(), &canvas, QStringLiteral("Trial"));
        print.setSelections(selections);
        return print.Print(writer);
    }
};

QString pdfText(const QString& pdfPath)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return QStringLiteral("(pdftotext is missing: scripts/ensure-packages.sh installs poppler-utils)");
    QProcess process;
    process.start(tool, {QStringLiteral("-layout"), pdfPath, QStringLiteral("-")});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPages(const QString& text)
{
    return static_cast<int>(text.count(QLatin1Char('\f')));
}

} // namespace

class TestProjectPrint : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;

private slots:
    void theSummaryHoldsEveryControlInDecisionOrder()
    {
        PrintProject p(40);
        const QString path = m_folder.filePath(QStringLiteral("summary.pdf"));
        const int pages = p.print(p.only(true, false, false, false), path);
        const QString text = pdfText(path);
        QVERIFY2(pages > 1, "forty controls need more than one page");
        QCOMPARE(pdfPages(text), pages);
        qsizetype last = -1;
        for (int i = 1; i <= 40; ++i) {
            const QRegularExpression name(QStringLiteral("\\b%1\\. Start%1\\b").arg(i));
            const qsizetype at = text.indexOf(name);
            QVERIFY2(at > last, qPrintable(QStringLiteral("Start%1 missing or out of order").arg(i)));
            last = at;
        }
        QVERIFY(text.contains(QStringLiteral("!GO Start2")));
        QVERIFY(text.contains(QStringLiteral("Question number 17")));
        QVERIFY(text.contains(QStringLiteral("Trial - page %1").arg(pages)));
    }

    void theSelectionsLeaveFieldsOut()
    {
        PrintProject p(3);
        PrintSelections selections = p.only(true, false, false, false);
        selections.Print_Options = false;
        selections.Print_Caption = false;
        const QString path = m_folder.filePath(QStringLiteral("fields.pdf"));
        QCOMPARE(p.print(selections, path), 1);
        const QString text = pdfText(path);
        QVERIFY(text.contains(QStringLiteral("Start3")));
        QVERIFY(!text.contains(QStringLiteral("Question number")));
        QVERIFY(!text.contains(QStringLiteral("!GO")));
    }

    void aLongSelectorRunsOverPagesWithItsHeader()
    {
        PrintProject p(1);
        QString table = QStringLiteral("Item,Weight,Price\r\n");
        for (int i = 1; i <= 150; ++i)
            table += QStringLiteral("Laptop%1,%2,%3\r\n").arg(i).arg(i % 7 + 1).arg(i * 10);
        QVERIFY(SelectorStore(p.document.Storage()).WriteText(QStringLiteral("Laptops"), table));
        const QString path = m_folder.filePath(QStringLiteral("selectors.pdf"));
        const int pages = p.print(p.only(false, false, true, false), path);
        const QString text = pdfText(path);
        QVERIFY(pages > 1);
        QVERIFY(text.contains(QStringLiteral("Laptop1 ")));
        QVERIFY(text.contains(QStringLiteral("Laptop150")));
        // The header row again at the top of every page the table reaches.
        QCOMPARE(static_cast<int>(text.count(QRegularExpression(QStringLiteral("Item\\s+Weight\\s+Price")))), pages);
    }

    void theDiagramFitsOnePageOrTiles()
    {
        PrintProject p(30);
        const QString one = m_folder.filePath(QStringLiteral("one.pdf"));
        QCOMPARE(p.print(p.only(false, true, false, false), one), 1);
        QVERIFY(pdfText(one).contains(QStringLiteral("Diagram of Trial")));
        PrintSelections tiled = p.only(false, true, false, false);
        tiled.Print_ThumbnailOnePage = false;
        const QString many = m_folder.filePath(QStringLiteral("tiled.pdf"));
        // 30 boxes 150 units apart: about 47 inches wide at screen size.
        QVERIFY(p.print(tiled, many) >= 5);
        // Every box is drawn somewhere: its caption is on one of the tiles.
        const QString text = pdfText(many).simplified();
        for (const int i : {1, 15, 30})
            QVERIFY2(text.contains(QStringLiteral("Start%1").arg(i)) || text.contains(QStringLiteral("_%1").arg(i)),
                     qPrintable(QString::number(i)));
    }

    void picturesPrintUnderTheirNames()
    {
        PrintProject p(1);
        QImage image(800, 200, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(image.save(&buffer, "PNG"));
        QVERIFY(p.document.Storage().pictures().add(QStringLiteral("Front Cover"), png));
        QVERIFY(p.document.Storage().pictures().add(QStringLiteral("Broken"), QByteArray("not a picture")));
        const QString path = m_folder.filePath(QStringLiteral("pictures.pdf"));
        // One page each, so that no picture is cut in two.
        QCOMPARE(p.print(p.only(false, false, false, true), path), 2);
        const QString text = pdfText(path);
        QVERIFY(text.contains(QStringLiteral("Front Cover")));
        QVERIFY(text.contains(QStringLiteral("Broken")));
        QVERIFY(text.contains(QStringLiteral("cannot be read")));
    }

    void nothingChosenPrintsNothing()
    {
        PrintProject p(2);
        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        ProjectPrint print(p.decisions, p.document.Storage(), &p.canvas, QStringLiteral("Trial"));
        print.setSelections(p.only(false, false, false, false));
        QCOMPARE(print.Print(writer), 0);
        // An empty diagram has no page either.
        CmDecisionManager none;
        CanvasModel empty(none);
        ProjectPrint blank(none, p.document.Storage(), &empty, QStringLiteral("Blank"));
        blank.setSelections(p.only(false, true, false, false));
        QCOMPARE(blank.Print(writer), 0);
        // Nor a project without selectors and pictures.
        blank.setSelections(p.only(false, false, true, true));
        QCOMPARE(blank.Print(writer), 0);
    }
};

KV_REGISTER_TEST(TestProjectPrint)
#include "tst_ProjectPrint.moc"
