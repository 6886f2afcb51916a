#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

class ISelectorCatalog;
class IValidationLog;

// The properties a !KILL or !SORT works on, checked against its selector's header row: a name
// the table has no column for stops the run, and so does a column without a name. Selectors
// that do not exist are the reference check's to report; external ones are not known here.
class SelectorPropertyCheck {
public:
    SelectorPropertyCheck(const ISelectorCatalog& catalog, IValidationLog& log) : m_catalog(catalog), m_log(log) {}

    // expressions: the !KILL's condition, or each key of the !SORT.
    void Check(const QString& location, const QString& selector, const QStringList& expressions);

private:
    const ISelectorCatalog& m_catalog;
    IValidationLog& m_log;
    // Each selector's blank header cell is reported at its first use only.
    QSet<QString> m_headersChecked;
};
