#include "runtime/RuntimeControl.h"

#include "base/YesNoWords.h"
#include "base/ResourceStrings.h"

#include <QHash>

namespace {

// Field positions of a stored decision record (1-based in the record, 0-based here).
constexpr int IdField = 0;
constexpr int DisplayedField = 1;
constexpr int NameField = 2;
constexpr int PictureField = 3;
constexpr int HeaderField = 5;
constexpr int InterfaceField = 6;
constexpr int FirstTaggedField = 7;

// The string-table ids of the interface names, in type-code order.
constexpr int InterfaceNameIds[] = {1141, 1130, 1136, 1138, 1137, 1131, 1132, 1139,
                                    1142, 1143, 1140, 1144, 1133, 1135, 1134, 1145};

std::optional<double> number(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

QString unescapeHeader(QString text)
{
    text.replace(QLatin1String("\\\""), QLatin1String("\""));
    if (text.endsWith(QLatin1String("\\ ")))
        text.chop(1);
    return text;
}

bool isTrueOption(const QString& text)
{
    return YesNoWords::Recognise(text) == true;
}

} // namespace

bool NumericRange::contains(double value) const
{
    return (!low || value >= *low) && (!high || value <= *high);
}

std::optional<NumericRange> NumericRange::parse(const QString& text)
{
    const QString range = text.trimmed();
    if (range.size() < 2)
        return std::nullopt;
    if (range.startsWith(QLatin1Char('-'))) {
        // "-10" has no lower end; "-5-10" has a negative one.
        if (const auto high = number(range.mid(1)))
            return NumericRange{std::nullopt, high};
        const qsizetype dash = range.indexOf(QLatin1Char('-'), 1);
        const auto low = number(range.left(dash));
        const auto high = number(range.mid(dash + 1));
        if (dash < 0 || !low || !high)
            return std::nullopt;
        return NumericRange{low, high};
    }
    const qsizetype dash = range.indexOf(QLatin1Char('-'));
    if (dash < 0)
        return std::nullopt;
    const auto low = number(range.left(dash));
    if (!low)
        return std::nullopt;
    if (dash == range.size() - 1)
        return NumericRange{low, std::nullopt};
    const auto high = number(range.mid(dash + 1));
    if (!high)
        return std::nullopt;
    return NumericRange{low, high};
}

QString RuntimeControl::displayName() const
{
    return name.isEmpty() ? QStringLiteral("_%1").arg(id) : name;
}

QString RuntimeControl::captionOrName() const
{
    return caption.isEmpty() ? displayName() : caption;
}

bool RuntimeControl::isNumeric() const
{
    return type == RuntimeInterface::NumBox || type == RuntimeInterface::RealNumBox
           || type == RuntimeInterface::NumSlide;
}

bool RuntimeControl::isBoolean() const
{
    return type == RuntimeInterface::Check || type == RuntimeInterface::Command;
}

bool RuntimeControl::isSelectorList() const
{
    return type == RuntimeInterface::DList || type == RuntimeInterface::DCombo;
}

bool RuntimeControl::needsChoice() const
{
    switch (type) {
    case RuntimeInterface::Radio:
    case RuntimeInterface::List:
    case RuntimeInterface::Combo:
    case RuntimeInterface::Slide:
        return true;
    default:
        return false;
    }
}

bool RuntimeControl::takesAnswer() const
{
    return type != RuntimeInterface::Info && type != RuntimeInterface::Done;
}

bool RuntimeControl::needsOptions() const
{
    switch (type) {
    case RuntimeInterface::Radio:
    case RuntimeInterface::List:
    case RuntimeInterface::MultiList:
    case RuntimeInterface::Combo:
    case RuntimeInterface::Slide:
        return true;
    default:
        return false;
    }
}

NumericRange RuntimeControl::limits() const
{
    NumericRange span;
    bool first = true;
    for (const RuntimeOption& option : options) {
        const auto range = NumericRange::parse(option.text);
        if (!range)
            continue;
        if (first) {
            span = *range;
            first = false;
            continue;
        }
        span.low = range->low && span.low ? std::optional(std::min(*span.low, *range->low)) : std::nullopt;
        span.high = range->high && span.high ? std::optional(std::max(*span.high, *range->high)) : std::nullopt;
    }
    return span;
}

RuntimeInterface RuntimeControl::interfaceFromName(const QString& name)
{
    static const QHash<QString, RuntimeInterface> byName = [] {
        QHash<QString, RuntimeInterface> names;
        for (int code = 0; code < int(std::size(InterfaceNameIds)); ++code)
            names.insert(LoadResString(InterfaceNameIds[code]).toCaseFolded(), static_cast<RuntimeInterface>(code));
        return names;
    }();
    return byName.value(name.trimmed().toCaseFolded(), RuntimeInterface::Unknown);
}

std::optional<RuntimeControl> RuntimeControl::fromFields(const QStringList& fields)
{
    const auto field = [&fields](int index) { return index < fields.size() ? fields.at(index) : QString(); };
    bool ok = false;
    RuntimeControl control;
    control.id = field(IdField).trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    for (const QString& displayed : field(DisplayedField).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const int id = displayed.trimmed().toInt(&ok);
        if (ok)
            control.displayedIds.append(id);
    }
    control.name = field(NameField).trimmed();
    control.picture = field(PictureField);
    control.header = unescapeHeader(field(HeaderField));
    control.interfaceName = field(InterfaceField).trimmed();
    control.type = interfaceFromName(control.interfaceName);

    qsizetype current = -1;
    for (qsizetype i = FirstTaggedField; i < fields.size(); ++i) {
        const QString& line = fields.at(i);
        if (line.isEmpty())
            continue;
        switch (line.at(0).unicode()) {
        case '$':
            control.caption = line.mid(1);
            break;
        case '&':
            control.defaultValue = line.mid(1);
            break;
        case '^':
            control.options.append(RuntimeOption{line.mid(1), {}});
            current = control.options.size() - 1;
            break;
        case '!':
            (current >= 0 ? control.options[current].actions : control.preActions).append(line);
            break;
        default:
            break; // help lines and anything else are not run
        }
    }
    if (control.isBoolean()) {
        // The runtime form of the two fixed answers is True and False.
        for (RuntimeOption& option : control.options)
            option.text = isTrueOption(option.text) ? QStringLiteral("True") : QStringLiteral("False");
    }
    return control;
}
