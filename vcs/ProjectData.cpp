#include "vcs/ProjectData.h"

#include "vcs/ControlProperties.h"

#include <QCryptographicHash>
#include <QHash>

const QString* ControlData::value(const QString& key) const
{
    for (const auto& property : properties) {
        if (property.first == key)
            return &property.second;
    }
    return nullptr;
}

void ControlData::setValue(const QString& key, const std::optional<QString>& value)
{
    const int order = ControlProperties::Order(key);
    qsizetype at = 0;
    for (; at < properties.size(); ++at) {
        if (properties.at(at).first == key) {
            if (value)
                properties[at].second = *value;
            else
                properties.removeAt(at);
            return;
        }
        if (ControlProperties::Order(properties.at(at).first) > order)
            break;
    }
    if (value)
        properties.insert(at, {key, *value});
}

QString ControlData::label() const
{
    return name.isEmpty() ? QString::number(id) : name;
}

PictureData PictureData::fromBytes(const QString& name, const QByteArray& bytes)
{
    PictureData picture;
    picture.name = name;
    picture.bytes = bytes;
    picture.size = bytes.size();
    picture.sha256 = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    return picture;
}

const ControlData* ProjectData::control(qint16 id) const
{
    for (const ControlData& control : controls) {
        if (control.id == id)
            return &control;
    }
    return nullptr;
}

ControlData* ProjectData::control(qint16 id)
{
    return const_cast<ControlData*>(std::as_const(*this).control(id));
}

const QString* ProjectData::setting(const QString& key) const
{
    for (const auto& property : settings) {
        if (property.first == key)
            return &property.second;
    }
    return nullptr;
}

std::vector<SelectorData::Row> SelectorData::itemRows() const
{
    std::vector<Row> items;
    QHash<QString, int> seen;
    for (qsizetype i = 1; i < rows.size(); ++i) {
        const QString first = rows.at(i).value(0);
        const int count = ++seen[first];
        items.push_back({count == 1 ? first : first + QStringLiteral(" (%1)").arg(count), rows.at(i)});
    }
    return items;
}

QStringList ExternalSelectorData::shownLines() const
{
    // The record's lines: table, database, server, port, driver, driver location, user, password.
    constexpr qsizetype PasswordLine = 7;
    QStringList shown = lines;
    if (shown.size() > PasswordLine && !shown.at(PasswordLine).isEmpty()
        && !shown.at(PasswordLine).startsWith(QLatin1String("env:")))
        shown[PasswordLine] = QStringLiteral("(password withheld)");
    return shown;
}
