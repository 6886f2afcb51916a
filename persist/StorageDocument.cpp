#include "persist/StorageDocument.h"

#include "base/KvError.h"
#include "base/ResourceStrings.h"
#include "persist/ContentSeal.h"
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
    return load(filePath, false, Checksum::Verify);
}

StorageResult StorageDocument::openReadOnly(const QString& filePath, Checksum checksum)
{
    return load(filePath, true, checksum);
}

StorageResult StorageDocument::load(const QString& filePath, bool readOnly, Checksum checksum)
{
    const QString absolute = QFileInfo(filePath).absoluteFilePath();
    std::unique_ptr<SqliteDatabase> loaded;
    StorageResult result = DocumentLoader::load(
        absolute, loaded, [this](int percent) { emit percentDone(percent); }, checksum);
    if (result && readOnly)
        result = setQueryOnly(*loaded, true, absolute);
    // A failed open keeps the document that was open before.
    if (result) {
        close();
        // A checked checksum is the content's; one accepted without a check may not be.
        const bool checked = checksum == Checksum::Verify && loaded->pragma("user_version") >= DocumentSchema::SealSince;
        m_sealed = checked ? std::optional(markOf(*loaded)) : std::nullopt;
        m_db = std::move(loaded);
        m_path = absolute;
        m_pathName = FileBytes::Name::Given;
        m_readOnly = readOnly;
    }
    emit operationFinished();
    return result;
}

StorageResult StorageDocument::save()
{
    if (isOpen() && m_path.isEmpty())
        return StorageResult::failure(StorageErrorKind::Io, LoadResString(TextDocumentUnnamed));
    return saveAs(m_path, {}, m_pathName);
}

StorageResult StorageDocument::saveAs(const QString& filePath, const QStringList& inputs, FileBytes::Name name)
{
    if (!isOpen())
        return StorageResult::failure(StorageErrorKind::Io, LoadResString(TextNoDocument));
    const QString absolute = QFileInfo(filePath).absoluteFilePath();
    if (m_readOnly && absolute == m_path)
        return StorageResult::failure(StorageErrorKind::Io, LoadResString(TextDocumentReadOnly).arg(m_path));
    // The checksum is written into the document itself, so an inspected one must take it.
    if (m_readOnly) {
        if (StorageResult writable = setQueryOnly(*m_db, false, absolute); !writable)
            return writable;
    }
    StorageResult result = writeTo(absolute, inputs, name);
    if (!result && m_readOnly)
        setQueryOnly(*m_db, true, absolute);
    if (result) {
        m_path = absolute;
        m_pathName = name;
        m_readOnly = false;
    }
    return result;
}

StorageResult StorageDocument::writeTo(const QString& filePath, const QStringList& inputs, FileBytes::Name name)
{
    StorageResult result = writeChecked(filePath, inputs, name);
    m_failAfterBytes = -1;
    emit operationFinished();
    return result;
}

StorageResult StorageDocument::writeChecked(const QString& filePath, const QStringList& inputs, FileBytes::Name name)
{
    // Refused before the checksum is written, which would change an inspected document.
    if (StorageResult writable = FileBytes::checkOutput(filePath, inputs, name); !writable)
        return writable;
    QByteArray bytes;
    try {
        if (DocumentSchema::upgrade(*m_db))
            m_sealed.reset();
        seal();
        bytes = m_db->serialize();
    } catch (const KvError& error) {
        return StorageResult::failure(StorageErrorKind::Io,
                                      LoadResString(TextFileNotSaved).arg(filePath, error.description()));
    }
    FileBytes::WriteOptions options;
    options.progress = [this](int percent) { emit percentDone(percent); };
    options.failAfterBytes = m_failAfterBytes;
    options.inputs = inputs;
    options.name = name;
    return FileBytes::write(filePath, bytes, options);
}

StorageDocument::ContentMark StorageDocument::markOf(SqliteDatabase& db)
{
    return {db.totalChanges(), db.pragma("schema_version")};
}

void StorageDocument::seal()
{
    if (m_sealed && *m_sealed == markOf(*m_db))
        return;
    ContentSeal::write(*m_db);
    m_sealed = markOf(*m_db);
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
    m_sealed.reset();
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

DecisionTable StorageDocument::decisions() const
{
    return DecisionTable(link());
}

DatabaseLink StorageDocument::link() const
{
    return DatabaseLink(m_db);
}
