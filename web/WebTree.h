#pragma once

#include "base/StorageResult.h"
#include "runtime/CompiledTree.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <chrono>
#include <functional>

// One tree as the web serves it: what the engine runs, with the wizard's web settings. Built
// from a web tree file here, or by a front end from a project compiled in memory.
struct WebTree {
    QString name;    // the address part: /NAME/
    QString path;    // the file it came from
    QString version; // a digest of that file; a run under another version is refused
    CompiledTree compiled;
    QString title;
    // The author's page template with its placeholders (see PageRenderer); empty for the default.
    QString templateHtml;
    QString language = QStringLiteral("en");
    QHash<QString, QString> help; // control name, case-folded -> help address
    // The tables of external selectors read again from their databases; empty when the tree
    // has none. The server calls it every tableRefresh and keeps the last good tables.
    std::function<StorageResult(QList<CompiledTree::Table>& tables)> externalTables;
    std::chrono::seconds tableRefresh{60};

    // Reads a web tree file with its settings and template.
    static StorageResult readWebFile(const QString& path, WebTree& tree);
    // The name a file is served under: its base name.
    static QString nameFor(const QString& path);
    // The version of a file's content.
    static QString versionOf(const QByteArray& bytes);
    // Reads the template named (relative to the tree's folder); refuses one without the page
    // placeholder.
    static StorageResult readTemplate(const QString& templatePath, const QString& treePath, QString& html);
};
