#pragma once

#include "vcs/ProjectData.h"
#include "vcs/ProjectText.h"

#include <QLatin1String>
#include <QString>

#include <array>

// How the text form lays a project out, written into any output that takes QStringView,
// QLatin1String and QChar pieces and escaped values (addEscaped): the QString ProjectText::Write
// returns, or the UTF-8 bytes ProjectTextWriter streams. One layout, so the two never differ.
namespace ProjectTextFormat {

inline const QString ProjectKey = QStringLiteral("project");
inline const QString ControlKey = QStringLiteral("control");
inline const QString SelectorKey = QStringLiteral("selector");
inline const QString ExternalKey = QStringLiteral("external selector");
inline const QString PictureKey = QStringLiteral("picture");
inline const QString LayoutKey = QStringLiteral("layout");
inline const QString JourneyKey = QStringLiteral("journey");
inline const QString Sha256Key = QStringLiteral("sha256");
inline const QString SizeKey = QStringLiteral("size");
inline constexpr QLatin1String PropertyIndent("  ");
inline constexpr QLatin1String LineIndent("    ");

// A whole number in decimal digits, without a QString of its own.
template <typename Out>
void number(Out& out, qint64 value)
{
    std::array<char, 24> digits{};
    qsizetype at = digits.size();
    const bool negative = value < 0;
    quint64 rest = negative ? 0 - static_cast<quint64>(value) : static_cast<quint64>(value);
    do {
        digits[static_cast<size_t>(--at)] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (negative)
        digits[static_cast<size_t>(--at)] = '-';
    out += QLatin1String(digits.data() + at, digits.size() - at);
}

template <typename Out>
void property(Out& out, QStringView key, const QString& value)
{
    out += PropertyIndent;
    out += key;
    out += QLatin1Char(':');
    if (!value.isEmpty()) {
        out += QLatin1Char(' ');
        out.addEscaped(value);
    }
    out += QLatin1Char('\n');
}

template <typename Out>
void heading(Out& out, const QString& keyword, const QString& name)
{
    out += keyword;
    if (!name.isEmpty()) {
        out += QLatin1Char(' ');
        out.addEscaped(name);
    }
    out += QLatin1Char('\n');
}

// The first line and the project block.
template <typename Out>
void head(Out& out, const QList<TextProperty>& settings)
{
    out += ProjectText::FirstLine;
    out += QLatin1Char('\n');
    out += ProjectKey;
    out += QLatin1Char('\n');
    for (const auto& [key, value] : settings)
        property(out, key, value);
    out += QLatin1Char('\n');
}

template <typename Out>
void control(Out& out, const ControlData& control)
{
    out += ControlKey;
    out += QLatin1Char(' ');
    number(out, control.id);
    if (!control.name.isEmpty()) {
        out += QLatin1Char(' ');
        out.addEscaped(control.name);
    }
    out += QLatin1Char('\n');
    for (const auto& [key, value] : control.properties)
        property(out, key, value);
    for (const QString& line : control.lines) {
        out += LineIndent;
        out.addEscaped(line);
        out += QLatin1Char('\n');
    }
    out += QLatin1Char('\n');
}

// Every block after the controls: selectors, external selectors, pictures, layout, journeys.
template <typename Out>
void tail(Out& out, const ProjectData& project)
{
    for (const SelectorData& selector : project.selectors) {
        heading(out, SelectorKey, selector.name);
        for (const QStringList& row : selector.rows) {
            out += PropertyIndent;
            out += ProjectText::RowText(row);
            out += QLatin1Char('\n');
        }
        out += QLatin1Char('\n');
    }
    for (const ExternalSelectorData& external : project.externalSelectors) {
        heading(out, ExternalKey, external.name);
        for (const QString& line : external.shownLines()) {
            out += PropertyIndent;
            out.addEscaped(line);
            out += QLatin1Char('\n');
        }
        out += QLatin1Char('\n');
    }
    for (const PictureData& picture : project.pictures) {
        heading(out, PictureKey, picture.name);
        property(out, Sha256Key, picture.sha256);
        property(out, SizeKey, QString::number(picture.size));
        out += QLatin1Char('\n');
    }
    if (!project.layout.empty()) {
        out += LayoutKey;
        out += QLatin1Char('\n');
        std::array<char, ProjectText::PlaceTextCapacity> place{};
        for (const auto& [id, rectangle] : project.layout) {
            out += PropertyIndent;
            number(out, id);
            out += QLatin1String(": ");
            out += ProjectText::PlaceText(rectangle, place);
            out += QLatin1Char('\n');
        }
        out += QLatin1Char('\n');
    }
    for (const Journey& journey : project.journeys) {
        heading(out, JourneyKey, journey.name);
        for (const QString& line : ProjectText::JourneyLines(journey)) {
            out += PropertyIndent;
            out += line;
            out += QLatin1Char('\n');
        }
        out += QLatin1Char('\n');
    }
}

} // namespace ProjectTextFormat
