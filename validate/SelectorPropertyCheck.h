#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

class ISelectorCatalog;
class IValidationLog;

// The properties a !KILL or !SORT works on, checked against its selector's header row: a name
// the table has no column for stops the run, and so does a column without a name. Selectors
// that do not exist are the reference check's to report; external ones are not known here.
// Each selector's header is read from the catalog once per check object (one validation run),
// since a tree may hold thousands of !KILL lines on one stored table.
class SelectorPropertyCheck {
public:
    SelectorPropertyCheck(const ISelectorCatalog& catalog, IValidationLog& log) : m_catalog(catalog), m_log(log) {}

    // expressions: the !KILL's condition, or each key of the !SORT.
    void Check(const QString& location, const QString& selector, const QStringList& expressions);
    // A selector that exists but whose table is kept in another database.
    bool IsExternal(const QString& selector);

private:
    const ISelectorCatalog& m_catalog;
    IValidationLog& m_log;
    struct Header {
        QSet<QString> known;     // case-folded property names
        QList<int> blankColumns; // 1-based
    };
    // Nothing for a selector that does not exist or whose table is kept elsewhere.
    const std::optional<Header>& headerOf(const QString& name);

    // Each selector's blank header cell is reported at its first use only.
    QSet<QString> m_headersChecked;
    QHash<QString, std::optional<Header>> m_headers; // by name as written
};
