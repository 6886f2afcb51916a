#pragma once

#include <QString>

class QTextDocument;

// The page header: edited as rich text, stored as plain text with tags.
namespace MDecisionDataUtil {

// Bold, italic and underlined runs become <B>...</B>, <I>...</I> and <U>...</U>, properly nested
// and closed at the end of each paragraph; paragraphs are separated by CR LF (a line break
// inside a paragraph too); a TAB stays a TAB; a literal "<" becomes "\<"; a paragraph of a
// bulleted list begins with the bullet character and a TAB.
QString SaveHeading(const QTextDocument& richText);
// The inverse, for the header editor: the document is replaced by the tagged text. The tags
// are read without regard to case; a tag that is none of the six is kept as text.
void LoadHeading(QTextDocument& richText, const QString& heading);

} // namespace MDecisionDataUtil
