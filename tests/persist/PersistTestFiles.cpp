#include "PersistTestFiles.h"

#include "common/DocumentEdits.h"
#include "persist/StorageDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

PersistTestFiles::FileState PersistTestFiles::stateOf(const QString& filePath)
{
    return FileState{readAll(filePath), QFileInfo(filePath).lastModified()};
}

QByteArray PersistTestFiles::readAll(const QString& filePath)
{
    QFile file(filePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool PersistTestFiles::writeAll(const QString& filePath, const QByteArray& bytes)
{
    QFile file(filePath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QStringList PersistTestFiles::entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

StorageNode PersistTestFiles::nodeAt(const StorageDocument& document, const QString& path)
{
    StorageNode node = document.rootNode();
    if (!node.open(path))
        return StorageNode();
    return node;
}

bool PersistTestFiles::writeNode(const StorageDocument& document, const QString& path, const QString& text)
{
    return bool(nodeAt(document, path).writeText(text));
}

bool PersistTestFiles::saveNewDocument(const QString& filePath, const QString& nodePath, const QString& text)
{
    StorageDocument document;
    return document.create() && writeNode(document, nodePath, text) && document.saveAs(filePath);
}

QString PersistTestFiles::textOf(const StorageDocument& document, const QString& path)
{
    StorageNode node = document.rootNode();
    bool existed = false;
    QString text;
    if (!node.open(path, &existed) || !existed || !node.readText(text))
        return QStringLiteral("<missing>");
    return text;
}

QString PersistTestFiles::execSql(const QString& filePath, const QString& sql)
{
    return DocumentEdits::execSql(filePath, sql);
}
