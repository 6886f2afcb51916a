#include "web/WebTree.h"

#include "base/ResourceStrings.h"
#include "persist/FileBytes.h"
#include "web/PageRenderer.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

namespace {
constexpr int TemplateUnreadableId = 35000;
constexpr int TemplateWithoutPageId = 35001;

// The settings and help addresses the engine's reader leaves out; the decisions' other parts
// are skipped here.
void readSettings(const QByteArray& bytes, WebTree& tree, QString& templatePath)
{
    QXmlStreamReader xml(bytes);
    QString control;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = xml.name();
        if (name == QLatin1String("WizardTitle"))
            tree.title = xml.readElementText();
        else if (name == QLatin1String("Template"))
            templatePath = xml.readElementText().trimmed();
        else if (name == QLatin1String("Name"))
            control = xml.readElementText().trimmed().toCaseFolded();
        else if (name == QLatin1String("Help")) {
            const QString help = xml.readElementText().trimmed();
            if (!control.isEmpty() && !help.isEmpty())
                tree.help.insert(control, help);
        }
    }
}
} // namespace

StorageResult WebTree::readWebFile(const QString& path, WebTree& tree)
{
    QByteArray bytes;
    if (StorageResult read = FileBytes::read(path, bytes, FileBytes::Input::WebTree); !read)
        return read;
    if (const StorageResult read = CompiledTree::readWebFile(path, tree.compiled); !read)
        return read;
    tree.path = path;
    tree.name = nameFor(path);
    tree.version = versionOf(bytes);
    QString templatePath;
    readSettings(bytes, tree, templatePath);
    if (tree.title.isEmpty())
        tree.title = tree.name;
    if (templatePath.isEmpty())
        return StorageResult::success();
    return readTemplate(templatePath, path, tree.templateHtml);
}

QString WebTree::nameFor(const QString& path)
{
    return QFileInfo(path).completeBaseName();
}

QString WebTree::versionOf(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(16));
}

StorageResult WebTree::readTemplate(const QString& templatePath, const QString& treePath, QString& html)
{
    // A template written on the authoring machine may use the other separator.
    const QString relative = QDir::fromNativeSeparators(QString(templatePath).replace(QLatin1Char('\\'), QLatin1Char('/')));
    const QString full = QFileInfo(QFileInfo(treePath).dir(), relative).absoluteFilePath();
    // The tree names it, so it may name a pipe or a device: read as any named input.
    if (StorageResult read = FileBytes::readText(full, html, FileBytes::Input::PageTemplate); !read)
        return StorageResult::failure(read.kind, LoadResString(TemplateUnreadableId).arg(full, read.message));
    if (!html.contains(PageRenderer::PagePlaceholder))
        return StorageResult::failure(StorageErrorKind::Refused,
                                      LoadResString(TemplateWithoutPageId).arg(full, PageRenderer::PagePlaceholder));
    return StorageResult::success();
}
