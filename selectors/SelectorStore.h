#pragma once

#include "base/StorageResult.h"
#include "persist/FileBytes.h"
#include "persist/StorageNode.h"
#include "selectors/ExternalSelectorSettings.h"
#include "selectors/SelectorText.h"

#include <QStringList>

class StorageDocument;

// The selectors in a project's storage: an internal one is its table's text at
// "\Databases\" + name, an external one its settings at "\Databases\External\" + name.
// Import stores a file's table in the one text form (SelectorText::Write: CR LF lines, a cell with
// a comma, TAB or line break quoted), so every reader finds the same cells; export writes that form.
class SelectorStore {
public:
    explicit SelectorStore(StorageDocument& document) : m_document(document) {}

    bool Exists(const QString& name) const;
    bool ExternalExists(const QString& name) const;
    // Names as stored, ordered without regard to case.
    QStringList Names() const;
    QStringList ExternalNames() const;

    // Empty text for a selector never saved.
    StorageResult ReadText(const QString& name, QString& text) const;
    // The reserved name is never written; that is no failure.
    StorageResult WriteText(const QString& name, const QString& text);
    StorageResult Remove(const QString& name);
    StorageResult Rename(const QString& oldName, const QString& newName);

    // Refuses, and stores nothing, when the file is not UTF-8 selector text.
    StorageResult Import(const QString& filePath, const QString& name);
    // Through a temporary file renamed over the target: a failure leaves an old file as it was.
    StorageResult Export(const QString& name, const QString& filePath,
                         const FileBytes::WriteOptions& options = FileBytes::WriteOptions()) const;

    StorageResult ReadExternal(const QString& name, ExternalSelectorSettings& settings) const;
    StorageResult WriteExternal(const ExternalSelectorSettings& settings);
    StorageResult RemoveExternal(const QString& name);

    // Checks an imported file's text as Import does: no NUL, and a table, whose rows it gives.
    static StorageResult CheckedText(const QString& filePath, const QString& text, SelectorText::Rows& rows);

private:
    StorageNode root() const;
    bool nodeExists(const QString& path) const;
    StorageResult readAt(const QString& path, QString& text) const;
    StorageResult writeAt(const QString& path, const QString& text);
    StorageResult removeAt(const QString& path);
    QStringList childNames(const QString& path) const;

    StorageDocument& m_document;
};
