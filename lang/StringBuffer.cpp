#include "lang/StringBuffer.h"

StringBuffer StringBuffer::Trim() const
{
    // Blanks are spaces only; a TAB inside a stored record is data.
    qsizetype first = 0;
    qsizetype last = m_text.size();
    while (first < last && m_text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && m_text.at(last - 1) == QLatin1Char(' '))
        --last;
    return StringBuffer(m_text.mid(first, last - first));
}

StringBuffer& StringBuffer::Append(const QString& text)
{
    m_text += text;
    return *this;
}

StringBuffer& StringBuffer::Append(double number)
{
    m_text += QString::number(number, 'g', 15);
    return *this;
}

StringBuffer& StringBuffer::Delete(int start, int count)
{
    if (start < 1 || count <= 0 || start > Length())
        return *this;
    m_text.remove(start - 1, count);
    return *this;
}

StringBuffer StringBuffer::UpperCase() const
{
    return StringBuffer(m_text.toUpper());
}

int StringBuffer::Find(const QString& text, int start) const
{
    if (start < 1)
        start = 1;
    if (start > Length() + 1)
        return 0;
    return static_cast<int>(m_text.indexOf(text, start - 1)) + 1;
}

int StringBuffer::CharCodeAt(int position) const
{
    if (position < 1 || position > Length())
        return 0;
    return m_text.at(position - 1).unicode();
}

StringBuffer StringBuffer::Left(int count) const
{
    return StringBuffer(m_text.left(qMax(0, count)));
}

StringBuffer StringBuffer::Mid(int start) const
{
    if (start < 1)
        start = 1;
    return StringBuffer(m_text.mid(start - 1));
}

StringBuffer StringBuffer::Mid(int start, int count) const
{
    if (start < 1) {
        count += start - 1;
        start = 1;
    }
    if (count <= 0)
        return StringBuffer();
    return StringBuffer(m_text.mid(start - 1, count));
}
