#pragma once

#include "persist/PropertyValue.h"

#include <QString>
#include <QStringView>

class PropertyTable;

// Reads the text BagJsonWriter writes (any JSON of that shape): a bag object with "class"
// and "props", whose values are null, true, false, numbers, strings or nested bags.
class BagJsonReader {
public:
    // Fills the table; gives what is wrong with the text, empty when nothing.
    static QString read(QStringView text, PropertyTable& table);

private:
    explicit BagJsonReader(QStringView text) : m_text(text) {}

    bool readBag(PropertyTable& table, int depth);
    bool readProps(PropertyTable& table, int depth);
    bool readValue(PropertyValue& value, int depth);
    bool readString(QString& out);
    bool readEscape(QString& out);
    bool readNumber(PropertyValue& value);
    bool readWord(QLatin1String word);
    bool take(QChar expected);
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_text.at(m_pos); }
    void skipSpace();
    bool fail();
    bool failNotBag();

    QStringView m_text;
    qsizetype m_pos = 0;
    QString m_problem;
};
