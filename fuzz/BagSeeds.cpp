// Writes the property bag of every node of a project, one file each, as seeds for the bag
// harness: usage BagSeeds PROJECT.kvp FOLDER.
#include "persist/StorageDocument.h"
#include "persist/StorageNode.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

int written = 0;

void writeSeed(const QString& folder, const QByteArray& bytes)
{
    const QString name = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
    QFile file(folder + QLatin1Char('/') + name);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        ++written;
}

void walk(const StorageNode& node, const QString& folder)
{
    QString text;
    if (node.readText(text) && text.startsWith(QLatin1Char('{')))
        writeSeed(folder, text.toUtf8());
    QStringList names;
    if (!node.children(names))
        return;
    for (const QString& name : names) {
        StorageNode child = node;
        if (child.open(name))
            walk(child, folder);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fputs("usage: BagSeeds PROJECT.kvp FOLDER\n", stderr);
        return 2;
    }
    StorageDocument document;
    if (const StorageResult opened = document.open(args.at(1)); !opened) {
        std::fprintf(stderr, "%s\n", qPrintable(opened.message));
        return 1;
    }
    QDir().mkpath(args.at(2));
    walk(document.rootNode(), args.at(2));
    return written > 0 ? 0 : 1;
}
