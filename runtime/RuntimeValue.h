#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// A value while an expression is evaluated: a number, a text or true/false. A multi-selection
// is a text that also keeps its choices, so that "=" can ask whether one of them was chosen.
class RuntimeValue {
public:
    enum class Kind { Number, Text, Boolean };

    RuntimeValue() = default;
    static RuntimeValue number(double value);
    static RuntimeValue text(const QString& value);
    static RuntimeValue boolean(bool value);
    static RuntimeValue choices(const QStringList& values);
    // A number when the text is one, else a text: how table cells and typed values are read.
    static RuntimeValue guess(const QString& value);

    Kind kind() const { return m_kind; }
    const QStringList& choiceList() const { return m_choices; }

    // A number stays one; true/false is 1/0; a text only when it is a number.
    std::optional<double> toNumber() const;
    // true/false; a number is true when not 0; the texts True, Checked and Pushed and their
    // opposites, without regard to case.
    std::optional<bool> toBoolean() const;
    QString toText() const;

    bool equals(const RuntimeValue& other) const;
    // Negative, zero or positive: numbers by value, anything else as text without regard to case.
    int compare(const RuntimeValue& other) const;

    static std::optional<bool> booleanWord(const QString& word);

private:
    Kind m_kind = Kind::Text;
    // A text known not to be a number (a table cell read once) skips the number check.
    bool m_plainText = false;
    bool m_boolean = false;
    double m_number = 0.0;
    QString m_text;
    QString m_folded; // of a plain text, compared as is
    QStringList m_choices;
};
