#pragma once

#include <QString>

class PropertyTable;
struct PropertyValue;

// Writes a property table as {"class": id, "props": {name: value | nested bag}}, the names
// in written order.
class BagJsonWriter {
public:
    static QString write(const PropertyTable& table);

private:
    static void writeTable(const PropertyTable& table, QString& out);
    static void writeValue(const PropertyValue& value, QString& out);
    static void writeString(const QString& text, QString& out);
    static void appendEscaped(QChar c, QString& out);
};
