#include "runtime/RuntimeValue.h"

#include "base/YesNoWords.h"
#include "base/ResourceStrings.h"

#include <cmath>

RuntimeValue RuntimeValue::number(double value)
{
    RuntimeValue result;
    result.m_kind = Kind::Number;
    result.m_number = value;
    return result;
}

RuntimeValue RuntimeValue::text(const QString& value)
{
    RuntimeValue result;
    result.m_text = value;
    return result;
}

RuntimeValue RuntimeValue::boolean(bool value)
{
    RuntimeValue result;
    result.m_kind = Kind::Boolean;
    result.m_boolean = value;
    return result;
}

RuntimeValue RuntimeValue::choices(const QStringList& values)
{
    RuntimeValue result = text(values.join(QLatin1Char('|')));
    result.m_choices = values;
    return result;
}

RuntimeValue RuntimeValue::guess(const QString& value)
{
    bool ok = false;
    const double asNumber = value.trimmed().toDouble(&ok);
    if (ok)
        return number(asNumber);
    RuntimeValue result = text(value);
    result.m_plainText = true;
    result.m_folded = value.toCaseFolded();
    return result;
}

std::optional<bool> RuntimeValue::booleanWord(const QString& word)
{
    return YesNoWords::Recognise(word);
}

std::optional<double> RuntimeValue::toNumber() const
{
    switch (m_kind) {
    case Kind::Number:
        return m_number;
    case Kind::Boolean:
        return m_boolean ? 1.0 : 0.0;
    case Kind::Text:
        break;
    }
    if (m_plainText)
        return std::nullopt;
    bool ok = false;
    const double value = m_text.trimmed().toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

std::optional<bool> RuntimeValue::toBoolean() const
{
    switch (m_kind) {
    case Kind::Boolean:
        return m_boolean;
    case Kind::Number:
        return m_number != 0.0;
    case Kind::Text:
        break;
    }
    return booleanWord(m_text);
}

QString RuntimeValue::toText() const
{
    switch (m_kind) {
    case Kind::Boolean:
        return m_boolean ? QStringLiteral("True") : QStringLiteral("False");
    case Kind::Number:
        return QString::number(m_number, 'g', 15);
    case Kind::Text:
        break;
    }
    return m_text;
}

bool RuntimeValue::equals(const RuntimeValue& other) const
{
    if (m_kind == Kind::Boolean || other.m_kind == Kind::Boolean) {
        const auto left = toBoolean();
        const auto right = other.toBoolean();
        if (left && right)
            return *left == *right;
    }
    if (!m_choices.isEmpty() || !other.m_choices.isEmpty()) {
        const RuntimeValue& list = m_choices.isEmpty() ? other : *this;
        const QString single = (m_choices.isEmpty() ? *this : other).toText();
        for (const QString& choice : list.m_choices)
            if (choice.compare(single, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    }
    return compare(other) == 0;
}

int RuntimeValue::compare(const RuntimeValue& other) const
{
    if (m_kind == Kind::Number && other.m_kind == Kind::Number)
        return (m_number > other.m_number) - (m_number < other.m_number);
    if (m_plainText && other.m_plainText)
        return m_folded.compare(other.m_folded);
    const auto left = toNumber();
    const auto right = other.toNumber();
    if (left && right && m_kind != Kind::Boolean && other.m_kind != Kind::Boolean)
        return (*left > *right) - (*left < *right);
    return toText().compare(other.toText(), Qt::CaseInsensitive);
}
