#include "web/WebTree.h"

#include "base/ResourceStrings.h"
#include "web/PageRenderer.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

namespace {
constexpr int TemplateUnreadableId = 35000;
constexpr int TemplateWithoutPageId = 35001;
constexpr int FileUnreadableId = 35002;
constexpr qint64 LargestTemplate = 1024 * 1024;

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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return StorageResult::failure(StorageErrorKind::Io, LoadResString(FileUnreadableId).arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
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
    QFile file(full);
    if (!file.open(QIODevice::ReadOnly) || file.size() > LargestTemplate)
        return StorageResult::failure(StorageErrorKind::Io, LoadResString(TemplateUnreadableId).arg(full, file.errorString()));
    html = QString::fromUtf8(file.readAll());
    if (!html.contains(PageRenderer::PagePlaceholder))
        return StorageResult::failure(StorageErrorKind::Refused,
                                      LoadResString(TemplateWithoutPageId).arg(full, PageRenderer::PagePlaceholder));
    return StorageResult::success();
}
