#pragma once

#include <QString>
#include <QStringList>

// The field syntax of a stored decision record: fields end at a TAB or a comma, a field that
// begins with a double quote runs to its closing quote, and a record ends at a line break that
// stands outside quotes (a page header may hold line breaks).
//
// Two quoting rules meet in one record. The page header (field 6) escapes its quotes with a
// backslash, so there a quote after a backslash is text and the first quote after anything else
// closes the field. Every other quoted field doubles the quotes it holds, and a doubled quote
// inside it is one quote: without that, a line holding both a comma and a quote could not be
// told from two fields.
namespace RecordFields {

inline constexpr int HeaderField = 6;

// A field as written: in double quotes, the quotes inside doubled, when it holds a TAB, a comma
// or a line break or begins with a quote; otherwise unchanged.
QString Quoted(const QString& text);

struct Record {
    QStringList fields;
    // An opening quote that nothing closed: the field ran to the end of the text.
    bool unclosedQuote = false;
    // Text between a closing quote and the end of its field, which the writer never leaves:
    // read as part of the field, the way the tokenizer reads it.
    bool textAfterQuote = false;
};

// Reads the record that begins at pos, up to a line break outside quotes (CR LF, LF or CR) or
// the end of the text; pos is left after that line break. Quotes are removed, except that the
// header keeps its escaping backslashes. The TAB that ends the last field gives an empty field.
Record Read(const QString& text, qsizetype& pos);

} // namespace RecordFields
