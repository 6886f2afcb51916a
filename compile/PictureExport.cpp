#include "compile/PictureExport.h"

#include "compile/KvwTreeWriter.h"
#include "persist/PictureStore.h"

#include <QDir>
#include <QImage>
#include <QSaveFile>

namespace PictureExport {

StorageResult Export(const PictureStore& pictures, const QString& name, const QString& folder)
{
    QByteArray data;
    if (StorageResult read = pictures.read(name, data); !read)
        return read;
    QImage image;
    if (!image.loadFromData(data))
        return StorageResult::failure(StorageErrorKind::Corrupt, QStringLiteral("%1: not a picture").arg(name));
    const QString path = QDir(folder).filePath(KvwTreeWriter::PictureFileName(name) + QLatin1String(".jpg"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "JPG", JpegQuality) || !file.commit())
        return StorageResult::failure(StorageErrorKind::Io, QStringLiteral("%1: %2").arg(path, file.errorString()));
    return StorageResult::success();
}

} // namespace PictureExport
