#include "vcs/ControlProperties.h"

#include "model/MDecisionDataUtil.h"
#include "persist/DecisionRecord.h"

#include <charconv>
#include <cmath>

namespace {

QString interfaceText(qint64 code)
{
    const bool known = code >= 0 && code < MDecisionDataUtil::ControlTypeCount;
    const QString name = known ? MDecisionDataUtil::ControlIntToStr(static_cast<qint16>(code)) : QString();
    // A code without a name (outside the table, or before the names are read) is kept as its number.
    return name.isEmpty() ? QString::number(code) : name;
}

qint64 interfaceCode(const QString& text)
{
    bool number = false;
    const qint64 code = text.toLongLong(&number);
    return number ? code : MDecisionDataUtil::ControlStrToInt(text);
}

bool isWholeNumberType(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

bool isNumberType(const QVariant& value)
{
    return isWholeNumberType(value) || value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float;
}

QVariant numberValue(const QString& text)
{
    bool whole = false;
    const qlonglong integer = text.toLongLong(&whole);
    if (whole)
        return QVariant(integer);
    const QByteArray bytes = text.toLatin1();
    double value = 0;
    const auto [end, error] = std::from_chars(bytes.constData(), bytes.constData() + bytes.size(), value);
    if (error == std::errc() && end == bytes.constData() + bytes.size())
        return QVariant(value);
    return QVariant(text.toDouble());
}

} // namespace

const QStringList& ControlProperties::Keys()
{
    static const QStringList keys{Interface, Caption, Header,  Picture, Shows,  DefaultText,
                                  DefaultNumber, Minimum, Maximum, HelpId, HelpUrl};
    return keys;
}

int ControlProperties::Order(const QString& key)
{
    return static_cast<int>(Keys().indexOf(key));
}

QString ControlProperties::NumberText(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    std::array<char, 32> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return error == std::errc() ? QString::fromLatin1(buffer.data(), end - buffer.data()) : QString::number(value, 'g', 17);
}

ControlData ControlProperties::FromRecord(const DecisionRecord& record)
{
    ControlData control;
    control.id = static_cast<qint16>(record.intIdentifier);
    control.name = record.strIdentifier;
    QList<TextProperty>& properties = control.properties;
    properties.reserve(6);
    const auto add = [&properties](const QString& key, const QString& value) {
        if (!value.isEmpty())
            properties.append({key, value});
    };
    // The interface is always shown: a reader should not have to know which one is the default.
    properties.append({Interface, interfaceText(record.intControl)});
    add(Caption, record.caption);
    add(Header, record.heading);
    add(Picture, record.picture);
    add(Shows, record.include.join(QLatin1Char(',')));
    const QVariant& value = record.defaultValue;
    if (value.isValid() && !value.isNull()) {
        if (isWholeNumberType(value))
            properties.append({DefaultNumber, QString::number(value.toLongLong())});
        else if (isNumberType(value))
            properties.append({DefaultNumber, NumberText(value.toDouble())});
        else
            properties.append({DefaultText, value.toString()});
    }
    add(Minimum, record.min);
    add(Maximum, record.max);
    if (record.kvdHelp != 0)
        properties.append({HelpId, QString::number(record.kvdHelp)});
    add(HelpUrl, record.kvwHelp);
    control.lines = record.optsAndActs;
    return control;
}

DecisionRecord ControlProperties::ToRecord(const ControlData& control)
{
    DecisionRecord record;
    record.intIdentifier = control.id;
    record.strIdentifier = control.name;
    record.optsAndActs = control.lines;
    for (const auto& [key, value] : control.properties) {
        if (key == Interface)
            record.intControl = interfaceCode(value);
        else if (key == Caption)
            record.caption = value;
        else if (key == Header)
            record.heading = value;
        else if (key == Picture)
            record.picture = value;
        else if (key == Shows)
            record.include = value.split(QLatin1Char(','));
        else if (key == DefaultText)
            record.defaultValue = value;
        else if (key == DefaultNumber)
            record.defaultValue = numberValue(value);
        else if (key == Minimum)
            record.min = value;
        else if (key == Maximum)
            record.max = value;
        else if (key == HelpId)
            record.kvdHelp = value.toLongLong();
        else if (key == HelpUrl)
            record.kvwHelp = value;
    }
    return record;
}
