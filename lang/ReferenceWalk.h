#pragma once

#include <QList>
#include <QString>

// Finds the control references [[Name]] and selector references <<Selector:Property;Item>>
// of a text, in text order.
namespace ReferenceWalk {

struct Reference {
    enum class Kind { Control, Selector };

    Kind kind = Kind::Control;
    // As written between the brackets, blanks included.
    QString text;

    bool operator==(const Reference&) const = default;
};

// The text is split at "<", ">", "[" and "]", each of them a token of its own; a token that
// follows two "[" tokens is a control name, one that follows two "<" a selector reference.
QList<Reference> Find(const QString& text);

// The expression builder's walk: as Find, except that a reference left open (not followed by
// its closing bracket) ends at the first operator, parenthesis or blank after its first
// character, so that the rest of the expression is not taken for its name.
QList<Reference> FindForBuilder(const QString& text);

// Where a text's control references stand for the compilers' rewrites: each "[[" with the first
// "]]" after it, from the "[[" to just past the "]]", in text order; the next "[[" is looked for
// after that "]]". A "[[" with no "]]" after it ends the list.
struct BracketSpan {
    qsizetype begin = 0;
    qsizetype end = 0;

    // The text between the brackets.
    QString inner(const QString& text) const { return text.mid(begin + 2, end - begin - 4); }
};
QList<BracketSpan> BracketSpans(const QString& text);

} // namespace ReferenceWalk
