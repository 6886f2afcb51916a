#pragma once

#include <QLatin1String>
#include <QString>
#include <QStringList>

// One line of an options-and-actions block. Its kind is its first character: "^" an option,
// "!" an action, "?" popup help. A line that begins with anything else (an empty line, a
// note, indentation) is not part of the block and every reader skips it.
namespace BlockLine {

enum class Kind { Option, Action, Help, Ignored };

inline constexpr QChar OptionMarker = QLatin1Char('^');
inline constexpr QChar ActionMarker = QLatin1Char('!');
inline constexpr QChar HelpMarker = QLatin1Char('?');

// The reserved !GO target that ends a web wizard; no control has this name.
inline constexpr QLatin1String FinishLink("FinishLink");

// The action keywords by their string-table ids.
enum Keyword : int {
    Call = 8050,
    Default,
    EarlyFinish,
    Else,
    ElseIf,
    EndIf,
    Go,
    If,
    Kill,
    Noop,
    Set,
    Sort,
    Jump,
    JumpN,
    Submit,
};

Kind KindOf(const QString& line);
bool IsOption(const QString& line);
bool IsAction(const QString& line);

// The keyword text as the keyword table holds it ("GO").
QString KeywordText(Keyword keyword);
// The keyword with its marker, as written in capitals ("!GO").
QString MarkedKeyword(Keyword keyword);

// The one keyword reader of the block: the text between "!" and the first blank, other
// white space around it removed; the whole rest when there is no blank. A blank right after
// the marker ends an empty keyword, so "! GO x" is no !GO (the validator names it).
QString ActionKeyword(const QString& line);
// Everything after the blank that ends the keyword, as written; empty when there is none.
QString ActionArgument(const QString& line);
// Whether the line is an action with this keyword, without regard to case.
bool IsKeyword(const QString& line, Keyword keyword);
// The same with the keyword written in capitals, as the option tree compares it.
bool IsKeywordAsWritten(const QString& line, Keyword keyword);

// The line without its first character: an option's text, a help text.
QString Body(const QString& line);
// The texts of the option lines, in order: what an author or an end user picks from.
QStringList OptionTexts(const QStringList& lines);
// The text with the marker in front, unless it already begins with it.
QString WithMarker(QChar marker, const QString& text);

} // namespace BlockLine
