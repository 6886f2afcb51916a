#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class CmDecisionItem;
class CmDecisionManager;
class ISelectorCatalog;

// What the expression builder does to the text, apart from showing it: the text each button
// inserts, the texts of the reference panels and the builder's own reference check.
namespace ExpressionBuilder {

enum class Button {
    And,
    Or,
    Equal,
    Less,
    Greater,
    Plus,
    Minus,
    Multiply,
    Divide,
    OpenParenthesis,
    CloseParenthesis,
    Abs,
    Ceiling,
    Floor,
    Frac,
    Int,
    Log,
    Ln,
    Sin,
    Cos,
    Tan,
    Sqrt,
    Pi,
};

// One text a button inserts at the caret, and how many characters before the end of it the
// caret is left (between the blanks of a function's parentheses).
struct Insertion {
    QString text;
    int caretBack = 0;

    bool operator==(const Insertion&) const = default;
};

struct ButtonRow {
    Button button;
    // String-table id of the caption where the button has a caption of its own; 0 otherwise.
    int captionId;
    Insertion plain;
    // With "Inverse" checked; empty text when the button has no inverse.
    Insertion inverse;
};

// Every button in the order above.
const QList<ButtonRow>& Buttons();
// What the button inserts; a button without an inverse inserts its plain text either way.
Insertion InsertionFor(Button button, bool inverse);
// Puts the insertion into the text at the 0-based caret; gives the caret after it.
QString Insert(const QString& text, int caret, const Insertion& insertion, int& newCaret);

// The reference texts are those the expression check reads back as the reference meant, so the
// builder never writes what the check refuses; empty when the grammar cannot carry the names.

// The controls by the names references use, in decision order: the name, or the number of a
// control that has none.
QStringList ControlNames(const CmDecisionManager& decisions);

// "[[" + name + "]] ".
QString ControlReferenceText(const QString& name);
// The option in double quotes, a quote inside it doubled, or bare when it is a number;
// nothing follows it.
QString OptionReferenceText(const QString& option);
// The options a control offers for an option reference: the fixed pair of a Check or Command
// control, otherwise its option lines without "^".
QStringList OptionChoices(const CmDecisionItem& decision);
// "<<" + selector + ":" + property + ";" + item + ">> "; empty when a part is empty or holds
// ":", ";" or ">>".
QString SelectorReferenceText(const QString& selector, const QString& property, const QString& item);
// The bare property name and a blank: in a !KILL or !SORT expression, that property of the
// item under test. Empty when the grammar would not read the name as one bare name (blanks,
// signs, a leading digit, a function name, TRUE or FALSE); the full reference serves then.
QString PropertyReferenceText(const QString& property);

// The builder's Validate (and OK) check: the first unknown control or selector reference,
// with the message shown for it.
struct CheckResult {
    bool passed = true;
    QString reference;
    // "Control: <name> does not exist." or "Solution Set Selector reference: <reference> does
    // not exist."; empty when passed.
    QString message;
    // "Expression Error", the title of the message box.
    QString title;
};
CheckResult CheckReferences(const QString& expression, const CmDecisionManager& decisions,
                            const ISelectorCatalog& selectors);

} // namespace ExpressionBuilder
