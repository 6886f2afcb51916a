#include "compile/PictureExport.h"

#include "compile/KvwTreeWriter.h"
#include "persist/FileBytes.h"
#include "persist/PictureStore.h"

#include "base/ResourceStrings.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QBuffer>

namespace PictureExport {

namespace {
constexpr int NotAPictureId = 33700;
} // namespace

StorageResult Export(const PictureStore& pictures, const QString& name, const QString& folder,
                     const QStringList& inputs)
{
    return ExportTo(pictures, name, QDir(folder).filePath(KvwTreeWriter::PictureFileName(name) + QLatin1String(".jpg")),
                    inputs, FileBytes::Name::Own);
}

StorageResult ExportTo(const PictureStore& pictures, const QString& name, const QString& filePath,
                       const QStringList& inputs, FileBytes::Name fileName)
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
    QByteArray encoded;
    QBuffer buffer(&encoded);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "JPG", JpegQuality))
        return StorageResult::failure(StorageErrorKind::Io, QStringLiteral("%1: %2").arg(filePath, buffer.errorString()));
    FileBytes::WriteOptions options;
    options.inputs = inputs;
    options.name = fileName;
    return FileBytes::write(filePath, encoded, options);
}

} // namespace PictureExport
