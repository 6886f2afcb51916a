#pragma once

#include "edit/FindReplace.h"

#include <QStringList>

// The arguments find and replace share: the project, the texts and the options
// [--whole-word] [--match-case] [--area tree|selectors|both].
class SearchArguments {
public:
    // texts: how many plain arguments follow the project (1 for find, 2 for replace).
    // False, with the reason in Error(), when they do not fit.
    bool Parse(const QStringList& args, int texts);

    const QString& Project() const { return m_project; }
    const SearchRequest& Request() const { return m_request; }
    const QString& Error() const { return m_error; }

private:
    QString m_project;
    SearchRequest m_request;
    QString m_error;
};
