#pragma once

#include "lang/BlockLine.h"

#include <QString>

#include <optional>

// An action line taken apart into what the statement editor asks for, and put together again
// in the shapes the editor writes: "!GO <control>", "!SET [[<control>]] = <value>",
// "!KILL <selector> : <expression>", "!ELSE" alone, "!<keyword> <text>" for the rest.
namespace ActionStatement {

// What an action asks for beside its keyword.
enum class Shape {
    // ELSE, ENDIF, NOOP: nothing.
    Bare,
    // GO: a control.
    Control,
    // SET, DEFAULT: a control and a value.
    ControlValue,
    // KILL, SORT: a selector and an expression (SORT: keys ";" orders).
    SelectorExpression,
    // IF, ELSEIF: an expression.
    Expression,
    // EARLYFINISH: On or Off.
    Switch,
    // CALL, JUMP, JUMPN, SUBMIT: a text.
    Text,
};

struct Parts {
    BlockLine::Keyword keyword = BlockLine::Go;
    // The control (without "[[" "]]") or the selector; empty for the other shapes.
    QString target;
    // The value, expression or text; empty for a bare keyword.
    QString value;

    bool operator==(const Parts&) const = default;
};

Shape ShapeOf(BlockLine::Keyword keyword);
// The keyword of an action line, read as every reader of the block reads it and compared
// without regard to case; nothing for a line that is no action or has an unknown keyword.
std::optional<BlockLine::Keyword> KeywordOf(const QString& line);
// Nothing for a line KeywordOf refuses. A missing separator leaves the whole argument in the
// target (SET, DEFAULT, KILL, SORT); blanks around the parts are removed.
std::optional<Parts> Split(const QString& line);
// The line in the editor's shape; a part the shape does not use is left out.
QString Compose(const Parts& parts);

} // namespace ActionStatement
