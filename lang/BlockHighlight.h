#pragma once

#include <QList>
#include <QString>

// What the parts of one line of the advanced editor are, for colouring. The line may be
// indented; what stands before its marker, and a line without one, is dropped when the text is
// read back and is marked so.
namespace BlockHighlight {

enum class Role {
    // Text the block leaves out.
    Ignored,
    Marker,
    Keyword,
    // An action keyword that no reader knows.
    UnknownKeyword,
    OptionText,
    HelpText,
    ControlReference,
    SelectorReference,
    // A quoted text.
    QuotedText,
    Number,
    Operator,
};

struct Span {
    // 0-based, in characters of the line.
    int start = 0;
    int length = 0;
    Role role = Role::Ignored;

    bool operator==(const Span&) const = default;
};

// In line order; blanks and plain words between the parts have no span.
QList<Span> Spans(const QString& line);

} // namespace BlockHighlight
