#include "common/ScriptedPrompt.h"
#include "common/TestRegistry.h"

#include "edit/CcUndo.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "persist/ProjectNodes.h"
#include "pictures/CcPictures.h"
#include "pictures/PictureName.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A project with controls A, B, C and D; A and B show "Logo", D names "Fresh", a picture the
// project does not hold.
struct PictureProject {
    CmDocument document;
    CmDecisionManager decisions;
    ScriptedPrompt prompt;
    CcUndo undo{decisions};
    CcPictures pictures{document, decisions, prompt};

    PictureProject()
    {
        undo.setDocument(&document);
        pictures.setUndo(&undo);
        const QStringList shown{QStringLiteral("Logo"), QStringLiteral("Logo"), QString(), QStringLiteral("Fresh")};
        for (qint16 i = 1; i <= 4; ++i) {
            auto item = std::make_unique<CmDecisionItem>();
            item->setIntID(i);
            item->setStrID(QString(QChar(u'A' + i - 1)));
            item->setPicture(shown.at(i - 1));
            decisions.add(std::move(item));
        }
    }

    QString pictureOf(const QString& control) const { return decisions.Item(control)->Picture(); }

    QStringList entries()
    {
        StorageNode node = document.Storage().rootNode();
        QStringList names;
        if (node.open(ProjectNodes::Images))
            node.children(names);
        return names;
    }
};

QImage sample(bool transparent = false)
{
    QImage image(40, 30, transparent ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    image.fill(transparent ? Qt::transparent : QColor(Qt::darkBlue));
    for (int x = 0; x < 20; ++x)
        image.setPixelColor(x, 10, Qt::yellow);
    return image;
}

// Qt reads GIF but does not write it: a small encoder of four-colour pictures whose codes never
// grow past three bits (a clear code after every two pixels), which every reader takes.
QByteArray gifOf(const QImage& image)
{
    const QList<QColor> palette{QColor(Qt::darkBlue), QColor(Qt::yellow), QColor(Qt::black), QColor(Qt::white)};
    const auto le16 = [](QByteArray& out, int value) {
        out.append(static_cast<char>(value & 0xff));
        out.append(static_cast<char>((value >> 8) & 0xff));
    };
    QByteArray gif("GIF89a");
    le16(gif, image.width());
    le16(gif, image.height());
    gif.append("\xf1\x00\x00", 3);
    for (const QColor& colour : palette)
        for (const int component : {colour.red(), colour.green(), colour.blue()})
            gif.append(static_cast<char>(component));
    gif.append('\x2c');
    le16(gif, 0);
    le16(gif, 0);
    le16(gif, image.width());
    le16(gif, image.height());
    gif.append('\x00');
    gif.append('\x02');
    QByteArray codes;
    quint32 bits = 0;
    int used = 0;
    const auto put = [&](int code) {
        bits |= static_cast<quint32>(code) << used;
        used += 3;
        while (used >= 8) {
            codes.append(static_cast<char>(bits & 0xff));
            bits >>= 8;
            used -= 8;
        }
    };
    constexpr int Clear = 4;
    constexpr int End = 5;
    int sinceClear = 2;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (sinceClear == 2) {
                put(Clear);
                sinceClear = 0;
            }
            put(image.pixelColor(x, y) == QColor(Qt::yellow) ? 1 : 0);
            ++sinceClear;
        }
    }
    put(End);
    if (used > 0)
        codes.append(static_cast<char>(bits & 0xff));
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        gif.append(static_cast<char>(block.size()));
        gif.append(block);
    }
    gif.append("\x00\x3b", 2);
    return gif;
}

QString saved(const QTemporaryDir& folder, const QImage& image, const char* format, const QString& fileName)
{
    const QString path = folder.filePath(fileName);
    if (QByteArray(format) == "gif") {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(gifOf(image)) > 0 ? path : QString();
    }
    QImageWriter writer(path, format);
    return writer.write(image) ? path : QString();
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestPictures : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;

private slots:
    void importsEachFormatAndExportsJpeg_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<bool>("transparent");
        QTest::newRow("bitmap") << QByteArray("bmp") << false;
        QTest::newRow("gif") << QByteArray("gif") << false;
        QTest::newRow("jpeg") << QByteArray("jpeg") << false;
        QTest::newRow("png") << QByteArray("png") << false;
        QTest::newRow("png with transparency") << QByteArray("png") << true;
    }

    void importsEachFormatAndExportsJpeg()
    {
        QFETCH(QByteArray, format);
        QFETCH(bool, transparent);
        PictureProject p;
        const QString source = saved(m_folder, sample(transparent), format.constData(),
                                     QStringLiteral("in.%1").arg(QString::fromLatin1(format)));
        QVERIFY(!source.isEmpty());
        QSignalSpy added(&p.pictures, &CcPictures::pictureAdded);

        QVERIFY(p.pictures.Import(source, QStringLiteral("Logo")));
        QCOMPARE(p.pictures.Names(), QStringList{"Logo"});
        QCOMPARE(p.entries(), QStringList{"Logo"});
        QCOMPARE(added.count(), 1);
        QCOMPARE(p.undo.NextUndoKind().value_or(-1), qint16(CcUndo::PictureAdded));
        QVERIFY(p.document.Dirty());
        // The file is kept as it was, not converted.
        QByteArray stored;
        QVERIFY(p.document.Storage().pictures().read(QStringLiteral("Logo"), stored));
        QCOMPARE(stored, fileBytes(source));

        const QString target = m_folder.filePath(QStringLiteral("out-%1.jpg").arg(QTest::currentDataTag()));
        QVERIFY(p.pictures.ExportTo(QStringLiteral("Logo"), target));
        QImageReader reader(target);
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        const QImage exported = reader.read();
        QCOMPARE(exported.size(), QSize(40, 30));
        // What was transparent comes out white, as on paper; opaque colours stay.
        const QColor corner = exported.pixelColor(39, 29);
        if (transparent)
            QVERIFY2(corner.lightness() > 240, qPrintable(corner.name()));
        else
            QVERIFY2(corner.blue() > 100 && corner.red() < 60, qPrintable(corner.name()));

        // The web compile's export writes name.jpg into a folder.
        QTemporaryDir web;
        QVERIFY(p.pictures.Export(QStringLiteral("Logo"), web.path()));
        QCOMPARE(QImageReader(web.filePath(QStringLiteral("Logo.jpg"))).format(), QByteArray("jpeg"));
    }

    void refusesFilesThatAreNotAcceptedPictures_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QImage image = sample();
        QByteArray xpm;
        QBuffer buffer(&xpm);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "XPM");
        QTest::newRow("text named png") << QStringLiteral("notes.png") << QByteArray("just some words\n");
        QTest::newRow("another picture kind") << QStringLiteral("icon.xpm") << xpm;
        QTest::newRow("truncated png") << QStringLiteral("cut.png") << QByteArray("\x89PNG\r\n\x1a\n", 8);
    }

    void refusesFilesThatAreNotAcceptedPictures()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        PictureProject p;
        const QString path = m_folder.filePath(fileName);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QVERIFY(!p.pictures.Import(path, QStringLiteral("Logo")));
        QVERIFY(p.pictures.Names().isEmpty());
        QCOMPARE(p.undo.UndoCount(), 0);
        QCOMPARE(p.prompt.shown().size(), 1);
        QVERIFY(p.prompt.shown().first().text.contains(fileName));
    }

    void pictureNamesMustBeSafeFileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("plain") << QStringLiteral("Logo 2") << true;
        QTest::newRow("letters of any script") << QStringLiteral("Été-ÄÖ_1") << true;
        QTest::newRow("inner dot") << QStringLiteral("front.view") << true;
        QTest::newRow("climbs out") << QStringLiteral("../../etc/passwd") << false;
        QTest::newRow("folder") << QStringLiteral("a/b") << false;
        QTest::newRow("backslash") << QStringLiteral("a\\b") << false;
        QTest::newRow("drive") << QStringLiteral("C:logo") << false;
        QTest::newRow("dot") << QStringLiteral(".") << false;
        QTest::newRow("hidden") << QStringLiteral(".logo") << false;
        QTest::newRow("trailing dot") << QStringLiteral("logo.") << false;
        QTest::newRow("leading blank") << QStringLiteral(" logo") << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("tab") << QStringLiteral("lo\tgo") << false;
        QTest::newRow("wildcard") << QStringLiteral("logo*") << false;
        QTest::newRow("device") << QStringLiteral("Con") << false;
        QTest::newRow("device with extension") << QStringLiteral("lpt1.jpg") << false;
        QTest::newRow("longest") << QString(PictureName::MaxLength, QLatin1Char('x')) << true;
        QTest::newRow("too long") << QString(PictureName::MaxLength + 1, QLatin1Char('x')) << false;
    }

    void pictureNamesMustBeSafeFileNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        QCOMPARE(PictureName::Problem(name).isEmpty(), accepted);

        PictureProject p;
        const QString source = saved(m_folder, sample(), "png", QStringLiteral("named.png"));
        QCOMPARE(p.pictures.Import(source, name), accepted);
        QCOMPARE(p.pictures.Names().contains(name), accepted);
        if (!accepted) {
            // Refused with a reason the author can read.
            QCOMPARE(p.prompt.shown().size(), 1);
            QVERIFY(!p.prompt.shown().first().text.isEmpty());
        }

        // A rename to the name meets the same rule and leaves the picture as it was.
        PictureProject q;
        QVERIFY(q.pictures.Import(source, QStringLiteral("Start")));
        QCOMPARE(q.pictures.Rename(QStringLiteral("Start"), name), accepted);
        QCOMPARE(q.pictures.Names(), QStringList{accepted ? name : QStringLiteral("Start")});
    }

    void fileNamesSuggestUsableNames_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << QStringLiteral("/pics/front page.png") << QStringLiteral("front page");
        QTest::newRow("refused characters") << QStringLiteral("/pics/a:b*c.gif") << QStringLiteral("a_b_c");
        QTest::newRow("dots and blanks at the ends") << QStringLiteral("/pics/..odd. .jpg") << QStringLiteral("odd");
        QTest::newRow("nothing left") << QStringLiteral("/pics/.png") << QStringLiteral("Picture");
        QTest::newRow("device") << QStringLiteral("/pics/nul.bmp") << QStringLiteral("Picturenul");
    }

    void fileNamesSuggestUsableNames()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        const QString name = PictureName::FromFileName(path);
        QCOMPARE(name, expected);
        QVERIFY(PictureName::Problem(name).isEmpty());
    }

    void renameTakesTheControlsAlongAndUndoesAsOneStep()
    {
        PictureProject p;
        QVERIFY(p.pictures.Import(saved(m_folder, sample(), "png", QStringLiteral("logo.png")), QStringLiteral("Logo")));
        const int before = p.undo.UndoCount();
        QSignalSpy renamed(&p.pictures, &CcPictures::pictureRenamed);

        QVERIFY(p.pictures.Rename(QStringLiteral("Logo"), QStringLiteral("Fresh")));
        QCOMPARE(p.pictures.Names(), QStringList{"Fresh"});
        QCOMPARE(p.entries(), QStringList{"Fresh"});
        QCOMPARE(p.pictureOf("A"), QStringLiteral("Fresh"));
        QCOMPARE(p.pictureOf("B"), QStringLiteral("Fresh"));
        QCOMPARE(p.pictureOf("C"), QString());
        QCOMPARE(renamed.count(), 1);
        QCOMPARE(p.undo.UndoCount(), before + 1);

        p.undo.UndoCommand();
        QCOMPARE(p.pictures.Names(), QStringList{"Logo"});
        QCOMPARE(p.entries(), QStringList{"Logo"});
        QCOMPARE(p.pictureOf("A"), QStringLiteral("Logo"));
        QCOMPARE(p.pictureOf("B"), QStringLiteral("Logo"));
        // D named "Fresh" before the rename, so it did not follow, and it keeps the name.
        QCOMPARE(p.pictureOf("D"), QStringLiteral("Fresh"));

        p.undo.RedoCommand();
        QCOMPARE(p.pictures.Names(), QStringList{"Fresh"});
        QCOMPARE(p.pictureOf("A"), QStringLiteral("Fresh"));
        QCOMPARE(p.undo.UndoCount(), before + 1);
    }

    void renameRefusesAnotherPicturesName()
    {
        PictureProject p;
        const QString source = saved(m_folder, sample(), "png", QStringLiteral("two.png"));
        QVERIFY(p.pictures.Import(source, QStringLiteral("Logo")));
        QVERIFY(p.pictures.Import(source, QStringLiteral("Other")));
        QVERIFY(!p.pictures.Rename(QStringLiteral("Logo"), QStringLiteral("OTHER")));
        QCOMPARE(p.pictures.Names(), (QStringList{"Logo", "Other"}));
        QCOMPARE(p.pictureOf("A"), QStringLiteral("Logo"));
        // Only the letter case: still the same picture.
        QVERIFY(p.pictures.Rename(QStringLiteral("Logo"), QStringLiteral("LOGO")));
        QCOMPARE(p.pictures.Names(), (QStringList{"LOGO", "Other"}));
        QCOMPARE(p.pictureOf("B"), QStringLiteral("LOGO"));
    }

    void removeNamesTheControlsStillShowingIt()
    {
        PictureProject p;
        QVERIFY(p.pictures.Import(saved(m_folder, sample(), "bmp", QStringLiteral("r.bmp")), QStringLiteral("Logo")));
        QByteArray bytes;
        QVERIFY(p.document.Storage().pictures().read(QStringLiteral("Logo"), bytes));

        p.prompt.QueueAnswer(PromptAnswer::No);
        QVERIFY(!p.pictures.Remove(QStringLiteral("Logo")));
        QCOMPARE(p.pictures.Names(), QStringList{"Logo"});
        const QString warning = p.prompt.shown().last().text;
        QVERIFY2(warning.contains(QStringLiteral("A, B")) && !warning.contains(QStringLiteral("C")), qPrintable(warning));

        p.prompt.QueueAnswer(PromptAnswer::Yes);
        QVERIFY(p.pictures.Remove(QStringLiteral("Logo")));
        QVERIFY(p.pictures.Names().isEmpty());
        QVERIFY(p.entries().isEmpty());

        p.undo.UndoCommand();
        QByteArray back;
        QVERIFY(p.document.Storage().pictures().read(QStringLiteral("Logo"), back));
        QCOMPARE(back, bytes);
        QCOMPARE(p.entries(), QStringList{"Logo"});
    }

    void importOverAPictureAsksAndUndoesToTheOldOne()
    {
        PictureProject p;
        const QString first = saved(m_folder, sample(), "png", QStringLiteral("first.png"));
        const QString second = saved(m_folder, sample(true), "bmp", QStringLiteral("second.bmp"));
        QVERIFY(p.pictures.Import(first, QStringLiteral("Logo")));
        QVERIFY(!p.pictures.Import(second, QStringLiteral("logo")));
        p.prompt.QueueAnswer(PromptAnswer::Yes);
        QVERIFY(p.pictures.Import(second, QStringLiteral("Logo")));
        QCOMPARE(p.undo.NextUndoKind().value_or(-1), qint16(CcUndo::PictureChanged));
        p.undo.UndoCommand();
        QByteArray stored;
        QVERIFY(p.document.Storage().pictures().read(QStringLiteral("Logo"), stored));
        QCOMPARE(stored, fileBytes(first));
    }
};

KV_REGISTER_TEST(TestPictures)
#include "tst_Pictures.moc"
