#pragma once

#include <QSettings>
#include <QString>

// One value of the per-user settings store. Sections are key paths below the program's key,
// separated by "\"; every value is text, empty when absent.
class CRegistry {
public:
    CRegistry() = default;
    CRegistry(QString section, QString key) : m_section(std::move(section)), m_key(std::move(key)) {}

    // The store that holds the program's key; the current user's unless set otherwise.
    QSettings::Scope RootKey() const { return m_rootKey; }
    void setRootKey(QSettings::Scope rootKey) { m_rootKey = rootKey; }
    const QString& Section() const { return m_section; }
    void setSection(const QString& section) { m_section = section; }
    const QString& Key() const { return m_key; }
    void setKey(const QString& key) { m_key = key; }

    // Reading creates nothing; an absent value reads as empty text.
    QString Value() const;
    // Stores the text and writes the store through; throws KvError when it cannot be written.
    void setValue(const QString& value) const;
    // Whether the value is present; with an empty Key, whether the section holds anything.
    bool KeyExists() const;

    // Shorthand for one value of the current user's store.
    static QString Read(const QString& section, const QString& key);
    static void Write(const QString& section, const QString& key, const QString& value);

private:
    QString groupPath() const;
    QString settingsPath() const;

    QSettings::Scope m_rootKey = QSettings::UserScope;
    QString m_section;
    QString m_key;
};
