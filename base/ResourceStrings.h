#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The numbered string table, read once from the compiled-in resources: the main table plus one
// table per subsystem under :/strings, so that subsystems add texts without touching one file.
class ResourceStrings {
public:
    static const ResourceStrings& instance();

    QString text(int id) const { return m_texts.value(id); }
    bool contains(int id) const { return m_texts.contains(id); }

    // Parses id<TAB>text lines; \t \r \n and \\ are unescaped, # lines are comments.
    static QHash<int, QString> parse(const QString& table);
    // The main table first, then the subsystem tables by name.
    static QStringList tablePaths();

private:
    ResourceStrings();
    QHash<int, QString> m_texts;
};

// The text of a numbered string, empty when the table has no such id.
QString LoadResString(int id);
