#pragma once

#include "base/StorageResult.h"
#include "persist/FileBytes.h"

#include <QString>
#include <QStringList>

class PictureStore;

// Writes project pictures as JPEG files: the picture is decoded from whatever the project holds
// (bitmap, GIF, JPEG) and encoded at quality 90, which keeps photographs sharp at about a tenth
// of their bitmap size. The file is replaced only by a complete write.
namespace PictureExport {

inline constexpr int JpegQuality = 90;

// Writes the picture as folder/<KvwTreeWriter::PictureFileName(name)>.jpg. Neither writes over
// one of inputs (the files the writer reads).
StorageResult Export(const PictureStore& pictures, const QString& name, const QString& folder,
                     const QStringList& inputs = {});
// Writes the picture as a JPEG file at filePath, whatever its extension. fileName says whose
// choice the file's name is (a link at a name of the program's own is replaced, not followed).
StorageResult ExportTo(const PictureStore& pictures, const QString& name, const QString& filePath,
                       const QStringList& inputs = {}, FileBytes::Name fileName = FileBytes::Name::Given);

} // namespace PictureExport
