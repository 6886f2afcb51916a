#pragma once

#include <QString>

// One value of the per-user settings store. Sections are key paths below the program's key,
// separated by "\"; every value is text, empty when absent.
class CRegistry {
public:
    CRegistry() = default;
    CRegistry(QString section, QString key) : m_section(std::move(section)), m_key(std::move(key)) {}

    const QString& Section() const { return m_section; }
    void setSection(const QString& section) { m_section = section; }
    const QString& Key() const { return m_key; }
    void setKey(const QString& key) { m_key = key; }

    QString Value() const;
    void setValue(const QString& value) const;
    bool KeyExists() const;

    // Shorthand for one value.
    static QString Read(const QString& section, const QString& key);
    static void Write(const QString& section, const QString& key, const QString& value);

private:
    QString settingsPath() const;

    QString m_section;
    QString m_key;
};
