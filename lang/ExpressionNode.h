#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

enum class ExpressionKind {
    Number,
    Text,
    Boolean,
    ControlReference,  // [[Name]]
    SelectorReference, // <<Selector:Property;Item>>
    Property,          // a bare name: a property of the item under test
    Unary,
    Binary,
    Function,
};

enum class ExpressionOperator {
    Or,
    And,
    Equal,
    NotEqual,
    Less,
    LessEqual,
    Greater,
    GreaterEqual,
    Add,
    Subtract,
    Multiply,
    Divide,
    Power,
    Negate,   // unary minus
    Identity, // unary plus
};

enum class ExpressionFunction {
    Abs,
    Ceil,
    Floor,
    Frac,
    Int,
    Log10,
    Log,
    Exp,
    Sin,
    Cos,
    Tan,
    Asin,
    Acos,
    Atn,
    Arcs,
    Arcc,
    Sqr,
};

// The parts of <<Selector:Property;Item>>, trimmed; a part left out is empty.
struct SelectorReference {
    QString selector;
    QString property;
    QString item;

    bool operator==(const SelectorReference&) const = default;
};

// One node of a parsed expression. The runtime evaluates this tree; the Designer lists its
// references and prints it back.
class ExpressionNode {
public:
    using Ptr = std::unique_ptr<ExpressionNode>;

    // Binding strengths, loosest first; unary signs bind between * / and ^.
    enum Precedence { OrLevel = 1, AndLevel, CompareLevel, AddLevel, MultiplyLevel, UnaryLevel, PowerLevel, AtomLevel };
    enum class Parentheses { Minimal, Full };

    static Ptr makeNumber(double value, const QString& written, int position);
    static Ptr makeText(const QString& value, int position);
    static Ptr makeBoolean(bool value, int position);
    static Ptr makeControlReference(const QString& name, int position);
    static Ptr makeSelectorReference(const SelectorReference& reference, int position);
    static Ptr makeProperty(const QString& name, int position);
    static Ptr makeUnary(ExpressionOperator op, Ptr operand, int position);
    static Ptr makeBinary(ExpressionOperator op, Ptr left, Ptr right, int position);
    static Ptr makeFunction(ExpressionFunction function, Ptr argument, int position);

    ExpressionKind kind() const { return m_kind; }
    // 1-based position in the parsed text: the token, or the operator or function name.
    int position() const { return m_position; }

    double numberValue() const { return m_number; }
    bool booleanValue() const { return m_boolean; }
    // The text of a literal, a control or property name, or a number as written.
    const QString& text() const { return m_text; }
    const SelectorReference& selectorReference() const { return m_selector; }
    ExpressionOperator op() const { return m_operator; }
    ExpressionFunction function() const { return m_function; }
    int operandCount() const { return static_cast<int>(m_operands.size()); }
    // 0-based; binary nodes have a left (0) and a right (1) operand.
    const ExpressionNode& operand(int index) const;

    // Every node, parents before children, operands left to right (source order of references).
    void visit(const std::function<void(const ExpressionNode&)>& visitor) const;
    QStringList controlReferences() const;
    QList<SelectorReference> selectorReferences() const;

    // Canonical text that parses back into the same tree.
    QString toText(Parentheses style = Parentheses::Minimal) const;
    // A text literal as the grammar reads it: in double quotes, a quote inside doubled.
    static QString QuotedText(const QString& text);
    // "<<Selector:Property;Item>>", the parts left out that are empty.
    static QString SelectorReferenceText(const SelectorReference& reference);

    // The comparison that holds with its operands exchanged; any other operator as it is.
    static ExpressionOperator Mirrored(ExpressionOperator op);
    static int precedence(ExpressionOperator op);
    static QString operatorText(ExpressionOperator op);
    static QString functionName(ExpressionFunction function);
    static std::optional<ExpressionFunction> functionFromName(const QString& name);

private:
    ExpressionNode(ExpressionKind kind, int position) : m_kind(kind), m_position(position) {}
    static Ptr makeLeaf(ExpressionKind kind, const QString& text, int position);

    int bindingStrength() const;
    bool needsParentheses(const ExpressionNode& child, bool isRight, Parentheses style) const;
    QString operandText(int index, Parentheses style) const;

    ExpressionKind m_kind;
    int m_position;
    double m_number = 0.0;
    bool m_boolean = false;
    QString m_text;
    SelectorReference m_selector;
    ExpressionOperator m_operator = ExpressionOperator::Or;
    ExpressionFunction m_function = ExpressionFunction::Abs;
    std::vector<Ptr> m_operands;
};
