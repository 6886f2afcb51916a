#include "vcs/Utf8Output.h"

#include "vcs/TextEscape.h"

#include <QIODevice>

#include <algorithm>
#include <utility>

namespace {
// Large enough that a write costs little per byte, small enough to stay in the cache.
constexpr qsizetype BlockSize = 256 * 1024;
// The most bytes one UTF-16 unit becomes (a surrogate pair's two units become four).
constexpr qsizetype MaxBytesPerUnit = 3;
} // namespace

Utf8Output::Utf8Output(QIODevice& device)
    : m_device(device), m_bytes(BlockSize, Qt::Uninitialized),
      m_encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless)
{
}

char* Utf8Output::room(qsizetype count)
{
    if (m_bytes.size() - m_used < count) {
        flush();
        if (m_bytes.size() < count)
            m_bytes.resize(count);
    }
    return m_bytes.data() + m_used;
}

Utf8Output& Utf8Output::operator+=(QStringView piece)
{
    const qsizetype size = piece.size();
    char* const out = room(size * MaxBytesPerUnit);
    const char16_t* const units = piece.utf16();
    qsizetype i = 0;
    for (; i < size && units[i] < 0x80; ++i)
        out[i] = static_cast<char>(units[i]);
    char* const end = i == size ? out + size : m_encoder.appendToBuffer(out + i, piece.sliced(i));
    m_used = end - m_bytes.constData();
    return *this;
}

Utf8Output& Utf8Output::operator+=(QLatin1String piece)
{
    char* const out = room(piece.size());
    std::copy_n(piece.data(), piece.size(), out);
    m_used += piece.size();
    return *this;
}

Utf8Output& Utf8Output::operator+=(QChar c)
{
    if (c.unicode() >= 0x80)
        return *this += QStringView(&c, 1);
    *room(1) = static_cast<char>(c.unicode());
    ++m_used;
    return *this;
}

void Utf8Output::addEscaped(const QString& value)
{
    // Copied while looking for anything to escape or encode; most values have neither.
    const qsizetype size = value.size();
    char* const out = room(size);
    const auto* const units = reinterpret_cast<const char16_t*>(value.utf16());
    qsizetype i = 0;
    for (; i < size; ++i) {
        const char16_t unit = units[i];
        if (unit >= 0x80 || unit == u'\\' || unit == u'\n' || unit == u'\r')
            break;
        out[i] = static_cast<char>(unit);
    }
    if (i == size)
        m_used += size;
    else
        *this += TextEscape::escaped(value);
}

bool Utf8Output::flush()
{
    // After a refused write the rest is dropped: the buffer is emptied all the same.
    const qsizetype used = std::exchange(m_used, 0);
    if (m_error.isEmpty() && used > 0 && m_device.write(m_bytes.constData(), used) != used) {
        m_error = m_device.errorString();
        if (m_error.isEmpty())
            m_error = QStringLiteral("the text could not be written");
    }
    return m_error.isEmpty();
}
