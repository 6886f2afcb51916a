#pragma once

#include <QString>

// The line writers of the web tree file: TABs for the indent, one LF after each line. Names,
// attribute values and the values the file takes "without conversion" are escaped for XML here,
// so that any name or path still gives a well-formed file: "&", "<" and ">" always, quotes and
// apostrophes inside attributes, and line breaks and TABs of attributes as character references
// (a reader would fold them into blanks). Characters XML 1.0 cannot carry at all (other control
// characters, unpaired surrogates, U+FFFE and U+FFFF) are left out.
namespace KvwLines {

QString Indent(int tabs);
// Escapes "&", "<" and ">"; keeps everything else XML can carry.
QString EscapeText(const QString& text);
QString EscapeAttribute(const QString& value);

// <tag Name='name'>value</tag>; value is written as given (callers escape it).
QString Element(int indent, const QString& tag, const QString& value, const QString& name = QString());
QString Open(int indent, const QString& tag, const QString& name = QString(), bool lineFeed = true);
QString Close(int indent, const QString& tag);
// <SubRange From='a' To='b'> or <Range From='a' To='b' />.
QString Range(int indent, bool subRange, const QString& from, const QString& to);

// True when the text holds none of the special characters, no control character but TAB, CR
// and LF, and no surrogate or non-character: nothing in it needs escaping.
bool IsPlain(const QString& text, QStringView special);

// Drops the characters XML 1.0 cannot carry.
QString XmlCharactersOnly(const QString& text);

} // namespace KvwLines
