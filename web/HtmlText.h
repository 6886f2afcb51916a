#pragma once

#include <QString>

// Text from a tree or a user written into a page, each for its HTML context. Characters that
// have no place in a document (NUL, lone surrogates) are dropped; other control characters are
// written as character references, so the browser's text equals the original.
class HtmlText {
public:
    // Element content: &, < and > escaped.
    static QString text(const QString& raw);
    // A quoted attribute value: quotes escaped as well.
    static QString attribute(const QString& raw);
    // A page header: only <b>, <i>, <u>, <em>, <strong>, <p> and <br> are kept (any case, no
    // attributes); every other "<" is text. A line break becomes <br>, "\<" a "<".
    static QString header(const QString& tagged);
    // Whether an address may be followed from a page: http and https only.
    static bool isWebAddress(const QString& address);
};
