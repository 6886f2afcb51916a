#pragma once

#include <QString>
#include <exception>

// A run-time failure inside a procedure. Procedures catch it at their boundary and hand it
// to ReportError together with their own name.
class KvError : public std::exception {
public:
    KvError(int number, QString source, QString description);

    int number() const { return m_number; }
    const QString& source() const { return m_source; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_source;
    QString m_description;
    QByteArray m_what;
};
