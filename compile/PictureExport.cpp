#include "compile/PictureExport.h"

#include "compile/KvwTreeWriter.h"
#include "persist/PictureStore.h"

#include "base/ResourceStrings.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSaveFile>

namespace PictureExport {

namespace {
constexpr int NotAPictureId = 33700;
} // namespace

StorageResult Export(const PictureStore& pictures, const QString& name, const QString& folder)
{
    return ExportTo(pictures, name, QDir(folder).filePath(KvwTreeWriter::PictureFileName(name) + QLatin1String(".jpg")));
}

StorageResult ExportTo(const PictureStore& pictures, const QString& name, const QString& filePath)
{
    QByteArray data;
    if (StorageResult read = pictures.read(name, data); !read)
        return read;
    QImage image;
    if (!image.loadFromData(data))
        return StorageResult::failure(StorageErrorKind::Corrupt, LoadResString(NotAPictureId).arg(name));
    if (image.hasAlphaChannel()) {
        // JPEG has no transparency: what shows through is the white of a page, not black.
        QImage flat(image.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
        painter.end();
        image = flat;
    }
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "JPG", JpegQuality) || !file.commit())
        return StorageResult::failure(StorageErrorKind::Io, QStringLiteral("%1: %2").arg(filePath, file.errorString()));
    return StorageResult::success();
}

} // namespace PictureExport
