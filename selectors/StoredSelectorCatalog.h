#pragma once

#include "lang/ISelectorCatalog.h"
#include "persist/StorageNode.h"
#include "selectors/SelectorText.h"

// The selectors of a project document: an internal one is the table stored at
// "\Databases\" + name in the selector text form, an external one only its settings at
// "\Databases\External\" + name.
// Every question reads the document again; callers that ask often keep the answers.
class StoredSelectorCatalog final : public ISelectorCatalog {
public:
    // Any node of the document; paths are taken from its root.
    explicit StoredSelectorCatalog(StorageNode root) : m_root(std::move(root)) {}

    bool Exists(const QString& name) const override;
    std::optional<QStringList> Properties(const QString& name) const override;
    std::optional<QStringList> Items(const QString& name) const override;

private:
    bool nodeExists(const QString& path) const;
    bool isInternal(const QString& name) const;
    bool isExternal(const QString& name) const;
    // The stored table; no rows when it is missing or cannot be read.
    SelectorText::Rows table(const QString& name) const;

    StorageNode m_root;
};
