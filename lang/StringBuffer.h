#pragma once

#include <QString>

#include <concepts>

// A text with 1-based positions. Operations that give "a new buffer" leave this one alone.
class StringBuffer {
public:
    StringBuffer() = default;
    StringBuffer(QString text) : m_text(std::move(text)) {} // NOLINT: a buffer reads as its text

    StringBuffer Trim() const;
    StringBuffer& Append(const QString& text);
    // Any integer type; a single overload for qint64 would make int and qsizetype ambiguous with double.
    template <std::integral Integer>
        requires(!std::same_as<Integer, bool> && !std::same_as<Integer, char>)
    StringBuffer& Append(Integer number)
    {
        return Append(QString::number(number));
    }
    StringBuffer& Append(double number);
    // Removes count characters from start; out-of-range parts are ignored.
    StringBuffer& Delete(int start, int count);
    StringBuffer UpperCase() const;
    // First position at or after start where text occurs, 0 when none.
    int Find(const QString& text, int start = 1) const;
    const QString& Value() const { return m_text; }
    void setValue(const QString& text) { m_text = text; }
    // The UTF-16 code at a position, 0 outside the text.
    int CharCodeAt(int position) const;
    int Length() const { return static_cast<int>(m_text.size()); }
    StringBuffer Left(int count) const;
    // From start to the end, or count characters from start.
    StringBuffer Mid(int start) const;
    StringBuffer Mid(int start, int count) const;
    void Clear() { m_text.clear(); }
    bool IsEmpty() const { return m_text.isEmpty(); }

    operator const QString&() const { return m_text; } // NOLINT: the default property
    bool operator==(const StringBuffer& other) const = default;
    // Without it, comparing with a QString is ambiguous between the two conversions.
    bool operator==(const QString& text) const { return m_text == text; }

private:
    QString m_text;
};
