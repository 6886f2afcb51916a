#pragma once

#include <QString>
#include <QStringList>

class CmDecisionItem;
class CmDecisionManager;
class ExpressionNode;
class NewIntIdTable;

// The runtimes' notation of options, actions and expressions, made from the Designer's.
//
// Expressions are converted on the syntax tree of lang/'s parser. A term's cast type:
// - number (2) for + - * / ^, the functions and a unary sign, and for a comparison one of whose
//   operands is a number, a function or an arithmetic term;
// - boolean (1) for the operands of & and |, and for a comparison with True or False;
// - none (3) when both operands are control or selector references;
// - text (0) otherwise.
// A comparison whose only reference stands on the right is turned around, and < <= > >= with it,
// so that "5 < [[A]]" becomes "([[A]](num)>5)" and keeps its meaning. ASIN and ACOS are written
// ARCS and ARCC, the names the web runtime knows. An expression that does not parse is left as
// written (the validator has reported it).
class KvwNotation {
public:
    enum CastType { TextCast = 0, BooleanCast = 1, NumberCast = 2, NoCast = 3 };

    // Both must outlive the notation; the table is read as it is when a conversion runs.
    KvwNotation(const CmDecisionManager& decisions, const NewIntIdTable& numbers);

    bool CompilingKVW() const { return m_compilingKVW; }
    void setCompilingKVW(bool web) { m_compilingKVW = web; }
    bool CompilingKVD() const { return m_compilingKVD; }
    void setCompilingKVD(bool desktop) { m_compilingKVD = desktop; }

    // < > & " become entities, each CR and each LF "&lt;BR&gt;"; a backslash before < or > is
    // dropped and the pair gives the entity and one blank; any other backslash is copied.
    static QString ConvertStringToKvwFormat(const QString& text);

    // Every [[id]] (and, for the web, [[Name]]) becomes [[N]], N the compiled number; unknown
    // references stay as written. For the web, "=FALSE" after a Check or Command control becomes
    // "<>TRUE" and "<>FALSE" becomes "=TRUE", so that the web runtime tests against TRUE.
    QString UpdateIntIDRefs(const QString& text) const;

    // Comparisons of a Check or Command control with its words ("Checked"/"Not Checked",
    // "Pushed"/"Not Pushed", "True"/"False", any case, quoted or not) in the target's form: for
    // the desktop "=TRUE" or "=FALSE" with the operator kept; for the web always against "True",
    // the operator turned around for the cleared state. A number in [[N]] is a compiled number
    // (the text has been through UpdateIntIDRefs). The rest of the text stays as written.
    QString ConvertBooleanControlRef(const QString& text) const;

    // The expression with its operands cast; rootCast is the cast of an expression that is one
    // operand alone. Not escaped.
    QString ConvertExpression(const QString& expression, CastType rootCast) const;
    static QString ConvertOperand(const QString& operand, CastType cast);

    // Every bare word of the expression that is a property (not a number, text, reference, True,
    // False, function name or keyword) becomes <<LIST:WORD;-1>>. The rest stays as written.
    static QString ConvertKillSortToKvw(const QString& list, const QString& expression);

    // A text value in double quotes, the quotes inside it written "+dquot".
    static QString QuotedValue(const QString& text);

    // One action line's part of the current Action element, opening it (at indent 2 before the
    // first option, 3 after) when no !IF block is open and closing it when none is left open.
    QString AddKVWAction(const QString& line, int& openBlocks, bool beforeFirstOption) const;

    // Every option, sub-range and action line of a decision.
    QString GetKVWOptsAndActs(const QStringList& lines, bool numericRange, qint16 type) const;

    // The control a reference names: a name, or a compiled number.
    const CmDecisionItem* compiledControl(const QString& reference) const;

private:
    struct Operand;

    QString convertArgument(const QString& keyword, const QString& argument) const;
    QString convertSetValue(const QString& argument) const;
    QString convertSort(const QString& argument) const;
    QString convertGoTarget(const QString& target) const;
    QString convertWholeExpression(const QString& expression, CastType rootCast) const;
    Operand convertNode(const ExpressionNode& node) const;
    static QString AddTypeCast(const Operand& left, const Operand& right, const QString& op, CastType& cast);
    static QString castOperand(const Operand& operand, CastType cast);
    const CmDecisionItem* sourceControl(const QString& reference) const;

    const CmDecisionManager& m_decisions;
    const NewIntIdTable& m_numbers;
    bool m_compilingKVW = true;
    bool m_compilingKVD = false;
};
