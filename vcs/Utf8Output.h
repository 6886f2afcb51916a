#pragma once

#include <QByteArray>
#include <QLatin1String>
#include <QString>
#include <QStringEncoder>

class QIODevice;

// Text written to a device as UTF-8 a block at a time, so a large text is never held whole.
// ASCII, most of any project, is copied a character at a time; the rest goes through one
// encoder that keeps no state between pieces, which gives the same bytes as encoding the whole
// text at once because every piece written ends before an ASCII character.
class Utf8Output {
public:
    explicit Utf8Output(QIODevice& device);
    Utf8Output(const Utf8Output&) = delete;
    Utf8Output& operator=(const Utf8Output&) = delete;

    Utf8Output& operator+=(QStringView piece);
    // ASCII only, as keys and numbers are.
    Utf8Output& operator+=(QLatin1String piece);
    Utf8Output& operator+=(QChar c);
    // Escaped as TextEscape writes a value.
    void addEscaped(const QString& value);
    // Writes what is still held. False when the device refused a write, then and at every
    // call after; error() says why.
    bool flush();
    QString error() const { return m_error; }

private:
    // Room for count more bytes, writing out what is held when there is not.
    char* room(qsizetype count);

    QIODevice& m_device;
    QByteArray m_bytes;
    qsizetype m_used = 0;
    QStringEncoder m_encoder;
    QString m_error;
};
