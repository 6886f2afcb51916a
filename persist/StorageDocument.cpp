#include "persist/StorageDocument.h"

#include "base/KvError.h"
#include "base/ResourceStrings.h"
#include "persist/DocumentLoader.h"
#include "persist/DocumentSchema.h"
#include "persist/FileBytes.h"
#include "persist/SqliteDatabase.h"
#include "persist/StorageText.h"

#include <QFileInfo>

StorageDocument::StorageDocument(QObject* parent) : QObject(parent)
{
}

StorageDocument::~StorageDocument() = default;

StorageResult StorageDocument::create()
{
    try {
        std::shared_ptr<SqliteDatabase> db = SqliteDatabase::openMemory();
        DocumentSchema::create(*db);
        close();
        m_db = std::move(db);
    } catch (const KvError& error) {
        return StorageResult::failure(StorageErrorKind::Io, error.description());
    }
    return StorageResult::success();
}

StorageResult StorageDocument::open(const QString& filePath)
{
    return load(filePath, false);
}

StorageResult StorageDocument::openReadOnly(const QString& filePath)
{
    return load(filePath, true);
}

StorageResult StorageDocument::load(const QString& filePath, bool readOnly)
{
    const QString absolute = QFileInfo(filePath).absoluteFilePath();
    std::unique_ptr<SqliteDatabase> loaded;
    StorageResult result = DocumentLoader::load(absolute, loaded, [this](int percent) { emit percentDone(percent); });
    if (result && readOnly)
        result = setQueryOnly(*loaded, true, absolute);
    // A failed open keeps the document that was open before.
    if (result) {
        close();
        m_db = std::move(loaded);
        m_path = absolute;
        m_readOnly = readOnly;
    }
    emit operationFinished();
    return result;
}

StorageResult StorageDocument::save()
{
    if (isOpen() && m_path.isEmpty())
        return StorageResult::failure(StorageErrorKind::Io, LoadResString(TextDocumentUnnamed));
    return saveAs(m_path);
}

StorageResult StorageDocument::saveAs(const QString& filePath)
{
    if (!isOpen())
        return StorageResult::failure(StorageErrorKind::Io, LoadResString(TextNoDocument));
    const QString absolute = QFileInfo(filePath).absoluteFilePath();
    if (m_readOnly && absolute == m_path)
        return StorageResult::failure(StorageErrorKind::Io, LoadResString(TextDocumentReadOnly).arg(m_path));
    StorageResult result = writeTo(absolute);
    if (result && m_readOnly)
        result = setQueryOnly(*m_db, false, absolute);
    if (result) {
        m_path = absolute;
        m_readOnly = false;
    }
    return result;
}

StorageResult StorageDocument::writeTo(const QString& filePath)
{
    StorageResult result = writeChecked(filePath);
    m_failAfterBytes = -1;
    emit operationFinished();
    return result;
}

StorageResult StorageDocument::writeChecked(const QString& filePath)
{
    QByteArray bytes;
    try {
        bytes = m_db->serialize();
    } catch (const KvError& error) {
        return StorageResult::failure(StorageErrorKind::Io,
                                      LoadResString(TextFileNotSaved).arg(filePath, error.description()));
    }
    FileBytes::WriteOptions options;
    options.progress = [this](int percent) { emit percentDone(percent); };
    options.failAfterBytes = m_failAfterBytes;
    return FileBytes::write(filePath, bytes, options);
}

StorageResult StorageDocument::setQueryOnly(SqliteDatabase& db, bool on, const QString& filePath)
{
    try {
        db.exec(on ? "PRAGMA query_only = ON" : "PRAGMA query_only = OFF");
    } catch (const KvError& error) {
        return StorageResult::failure(StorageErrorKind::Io,
                                      LoadResString(TextFileNotReadable).arg(filePath, error.description()));
    }
    return StorageResult::success();
}

void StorageDocument::close()
{
    m_db.reset();
    m_path.clear();
    m_readOnly = false;
}

StorageNode StorageDocument::rootNode() const
{
    return StorageNode(link());
}

PictureStore StorageDocument::pictures() const
{
    return PictureStore(link());
}

DocumentProperties StorageDocument::properties() const
{
    return DocumentProperties(link());
}

DatabaseLink StorageDocument::link() const
{
    return DatabaseLink(m_db);
}
