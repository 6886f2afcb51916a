#include "selectors/SelectorStore.h"

#include "base/ResourceStrings.h"
#include "persist/ProjectNodes.h"
#include "persist/StorageDocument.h"
#include "selectors/SelectorNames.h"
#include "selectors/SelectorText.h"


namespace {
constexpr int SelectorMissingId = 32201;
constexpr int NotTextId = 32202;
constexpr int NotSelectorTextId = 32203;
} // namespace

StorageNode SelectorStore::root() const
{
    return m_document.rootNode();
}

bool SelectorStore::nodeExists(const QString& path) const
{
    bool found = false;
    return root().exists(path, found).ok() && found;
}

bool SelectorStore::Exists(const QString& name) const
{
    return SelectorNames::IsValid(name) && nodeExists(ProjectNodes::Databases + name);
}

bool SelectorStore::ExternalExists(const QString& name) const
{
    return SelectorNames::IsValid(name) && nodeExists(ProjectNodes::ExternalDatabases + name);
}

QStringList SelectorStore::childNames(const QString& path) const
{
    QStringList names;
    StorageNode node = root();
    if (!nodeExists(path) || !node.open(path).ok() || !node.children(names).ok())
        return {};
    return names;
}

QStringList SelectorStore::Names() const
{
    QStringList names = childNames(ProjectNodes::Databases);
    names.removeIf([](const QString& name) { return !SelectorNames::IsValid(name); });
    return names;
}

QStringList SelectorStore::ExternalNames() const
{
    return childNames(ProjectNodes::ExternalDatabases);
}

StorageResult SelectorStore::readAt(const QString& path, QString& text) const
{
    text.clear();
    // Opening creates a missing node: look first.
    if (!nodeExists(path))
        return StorageResult::success();
    StorageNode node = root();
    if (StorageResult opened = node.open(path); !opened)
        return opened;
    return node.readText(text);
}

StorageResult SelectorStore::writeAt(const QString& path, const QString& text)
{
    StorageNode node = root();
    if (StorageResult opened = node.open(path); !opened)
        return opened;
    return node.writeText(text);
}

StorageResult SelectorStore::removeAt(const QString& path)
{
    if (!nodeExists(path))
        return StorageResult::success();
    return root().remove(path);
}

StorageResult SelectorStore::ReadText(const QString& name, QString& text) const
{
    return readAt(ProjectNodes::Databases + name, text);
}

StorageResult SelectorStore::WriteText(const QString& name, const QString& text)
{
    if (SelectorNames::IsReserved(name))
        return StorageResult::success();
    return writeAt(ProjectNodes::Databases + name, text);
}

StorageResult SelectorStore::Remove(const QString& name)
{
    return removeAt(ProjectNodes::Databases + name);
}

StorageResult SelectorStore::Rename(const QString& oldName, const QString& newName)
{
    QString text;
    if (StorageResult read = ReadText(oldName, text); !read)
        return read;
    if (StorageResult written = WriteText(newName, text); !written)
        return written;
    // Only a name that differs in letter case leads to the same node.
    if (oldName.compare(newName, Qt::CaseInsensitive) == 0)
        return StorageResult::success();
    return Remove(oldName);
}

StorageResult SelectorStore::CheckedText(const QString& filePath, const QString& text, SelectorText::Rows& rows)
{
    if (text.contains(QChar(0)))
        return StorageResult::failure(StorageErrorKind::Corrupt, LoadResString(NotTextId).arg(filePath));
    if (StorageResult parsed = SelectorText::Read(text, rows); !parsed)
        return StorageResult::failure(parsed.kind, LoadResString(NotSelectorTextId).arg(filePath, parsed.message));
    return StorageResult::success();
}

StorageResult SelectorStore::Import(const QString& filePath, const QString& name)
{
    QString text;
    if (StorageResult read = FileBytes::readText(filePath, text, FileBytes::Input::SelectorTable); !read)
        return read;
    // Stored as it was read, in the one form: whoever reads the table later reads the same cells.
    SelectorText::Rows rows;
    if (StorageResult checked = CheckedText(filePath, text, rows); !checked)
        return checked;
    return WriteText(name, SelectorText::Write(rows));
}

StorageResult SelectorStore::Export(const QString& name, const QString& filePath,
                                    const FileBytes::WriteOptions& options) const
{
    if (!Exists(name))
        return StorageResult::failure(StorageErrorKind::NotFound, LoadResString(SelectorMissingId).arg(name));
    QString text;
    if (StorageResult read = ReadText(name, text); !read)
        return read;
    // A table stored before imports were written in the one form is written in it now.
    SelectorText::Rows rows;
    if (StorageResult parsed = SelectorText::Read(text, rows); !parsed)
        return parsed;
    return FileBytes::write(filePath, SelectorText::Write(rows).toUtf8(), options);
}

StorageResult SelectorStore::ReadExternal(const QString& name, ExternalSelectorSettings& settings) const
{
    QString text;
    if (StorageResult read = readAt(ProjectNodes::ExternalDatabases + name, text); !read)
        return read;
    settings = ExternalSelectorSettings::FromText(text);
    return StorageResult::success();
}

StorageResult SelectorStore::WriteExternal(const ExternalSelectorSettings& settings)
{
    return writeAt(ProjectNodes::ExternalDatabases + settings.Name(), settings.ToText());
}

StorageResult SelectorStore::RemoveExternal(const QString& name)
{
    return removeAt(ProjectNodes::ExternalDatabases + name);
}
