#include "vcs/ProjectText.h"

#include "journeys/JourneyText.h"
#include "vcs/ControlProperties.h"
#include "vcs/ProjectTextFormat.h"
#include "vcs/TextEscape.h"

#include <QSet>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

using namespace ProjectTextFormat;

// The text written into one buffer of about its final size: appending many short values to a
// QString costs a call and a copy check each.
class TextBuffer {
public:
    explicit TextBuffer(qsizetype size)
    {
        m_text.resize(size);
        m_at = m_text.data();
        m_end = m_at + size;
    }
    TextBuffer& operator+=(QStringView piece)
    {
        ensure(piece.size());
        m_at = std::copy_n(piece.data(), piece.size(), m_at);
        return *this;
    }
    TextBuffer& operator+=(QLatin1String piece)
    {
        ensure(piece.size());
        for (const char c : piece)
            *m_at++ = QLatin1Char(c);
        return *this;
    }
    TextBuffer& operator+=(QChar c)
    {
        ensure(1);
        *m_at++ = c;
        return *this;
    }
    // Escaped as TextEscape writes a value.
    void addEscaped(const QString& value) { *this += TextEscape::escaped(value); }
    QString take()
    {
        m_text.truncate(m_at - m_text.constData());
        return std::move(m_text);
    }

private:
    void ensure(qsizetype count)
    {
        if (m_end - m_at >= count)
            return;
        const qsizetype used = m_at - m_text.constData();
        m_text.resize(std::max(used + count, m_text.size() * 2));
        m_at = m_text.data() + used;
        m_end = m_text.data() + m_text.size();
    }

    QString m_text;
    QChar* m_at = nullptr;
    QChar* m_end = nullptr;
};

// One number of a layout line, as NumberText writes it.
char* placeNumber(double value, char* at, char* end)
{
    if (std::isfinite(value)) {
        const auto [last, error] = std::to_chars(at, end, value);
        if (error == std::errc())
            return last;
    }
    const QByteArray text = ControlProperties::NumberText(value).toLatin1();
    return std::copy_n(text.constData(), std::min<qsizetype>(text.size(), end - at), at);
}

// The reader: one block at a time, each line checked against what its block may hold.
class Reader {
public:
    Reader(const QString& text, ProjectData& project) : m_text(text), m_project(project) {}

    std::optional<QString> read()
    {
        const QStringList lines = m_text.split(QLatin1Char('\n'));
        if (lines.isEmpty() || lines.first() != ProjectText::FirstLine)
            return failure(1, QStringLiteral("the first line is not \"%1\"").arg(ProjectText::FirstLine));
        for (qsizetype i = 1; i < lines.size(); ++i) {
            m_line = i + 1;
            const QString& line = lines.at(i);
            if (line.isEmpty()) {
                if (std::optional<QString> ended = endBlock())
                    return ended;
                continue;
            }
            std::optional<QString> problem = line.startsWith(PropertyIndent) ? inBlock(line) : startBlock(line);
            if (problem)
                return problem;
        }
        return endBlock();
    }

private:
    enum class Block { None, Project, Control, Selector, External, Picture, Layout, Journey };

    std::optional<QString> failure(qsizetype line, const QString& reason) const
    {
        return QStringLiteral("line %1: %2").arg(line).arg(reason);
    }
    std::optional<QString> failure(const QString& reason) const { return failure(m_line, reason); }

    static std::optional<QString> after(const QString& line, const QString& keyword)
    {
        if (line == keyword)
            return QString();
        if (line.startsWith(keyword) && line.size() > keyword.size() && line.at(keyword.size()) == QLatin1Char(' '))
            return TextEscape::unescaped(line.mid(keyword.size() + 1));
        return std::nullopt;
    }

    std::optional<QString> startBlock(const QString& line)
    {
        if (m_block != Block::None)
            return failure(QStringLiteral("a block begins before the one above ended with a blank line"));
        if (line == ProjectKey) {
            if (m_projectSeen)
                return failure(QStringLiteral("a second project block"));
            m_projectSeen = true;
            m_block = Block::Project;
            return std::nullopt;
        }
        if (line == LayoutKey) {
            m_block = Block::Layout;
            return std::nullopt;
        }
        if (const auto rest = after(line, ExternalKey)) {
            m_block = Block::External;
            m_project.externalSelectors.push_back({*rest, {}});
            return std::nullopt;
        }
        if (const auto rest = after(line, ControlKey))
            return startControl(*rest);
        if (const auto rest = after(line, SelectorKey)) {
            m_block = Block::Selector;
            m_project.selectors.push_back({*rest, {}});
            return std::nullopt;
        }
        if (const auto rest = after(line, PictureKey)) {
            m_block = Block::Picture;
            m_project.pictures.push_back({});
            m_project.pictures.back().name = *rest;
            return std::nullopt;
        }
        if (const auto rest = after(line, JourneyKey)) {
            m_block = Block::Journey;
            m_journeyText = JourneyKey + QLatin1String(": ") + *rest + QLatin1Char('\n');
            return std::nullopt;
        }
        return failure(QStringLiteral("\"%1\" begins no block").arg(line));
    }

    std::optional<QString> startControl(const QString& rest)
    {
        const qsizetype blank = rest.indexOf(QLatin1Char(' '));
        bool number = false;
        const int id = rest.left(blank < 0 ? rest.size() : blank).toInt(&number);
        if (!number || id < 0 || id > 32767)
            return failure(QStringLiteral("a control needs its number from 0 to 32767"));
        if (m_ids.contains(id))
            return failure(QStringLiteral("control %1 is there twice").arg(id));
        m_ids.insert(id);
        ControlData control;
        control.id = static_cast<qint16>(id);
        control.name = blank < 0 ? QString() : rest.mid(blank + 1);
        m_project.controls.push_back(std::move(control));
        m_block = Block::Control;
        return std::nullopt;
    }

    // "key: value" or "key:" after the indent.
    static std::optional<TextProperty> property(const QString& line)
    {
        const qsizetype colon = line.indexOf(QLatin1Char(':'), PropertyIndent.size());
        if (colon < 0)
            return std::nullopt;
        const QString key = line.mid(PropertyIndent.size(), colon - PropertyIndent.size());
        if (colon + 1 == line.size())
            return TextProperty{key, QString()};
        if (line.at(colon + 1) != QLatin1Char(' '))
            return std::nullopt;
        return TextProperty{key, TextEscape::unescaped(line.mid(colon + 2))};
    }

    std::optional<QString> inBlock(const QString& line)
    {
        switch (m_block) {
        case Block::None:
            return failure(QStringLiteral("an indented line outside any block"));
        case Block::Project: {
            const auto setting = property(line);
            if (!setting)
                return failure(QStringLiteral("a setting is \"key: value\""));
            m_project.settings.append(*setting);
            return std::nullopt;
        }
        case Block::Control:
            return controlLine(line);
        case Block::Selector: {
            SelectorText::Rows rows;
            const QString row = TextEscape::unescaped(line.mid(PropertyIndent.size()));
            if (!SelectorText::Read(row, rows) || rows.size() > 1)
                return failure(QStringLiteral("a selector row is one line of comma-separated cells"));
            m_project.selectors.back().rows.append(rows.isEmpty() ? QStringList{QString()} : rows.first());
            return std::nullopt;
        }
        case Block::External:
            m_project.externalSelectors.back().lines.append(TextEscape::unescaped(line.mid(PropertyIndent.size())));
            return std::nullopt;
        case Block::Picture:
            return pictureLine(line);
        case Block::Layout:
            return layoutLine(line);
        case Block::Journey:
            m_journeyText += line.mid(PropertyIndent.size()) + QLatin1Char('\n');
            return std::nullopt;
        }
        return std::nullopt;
    }

    std::optional<QString> controlLine(const QString& line)
    {
        ControlData& control = m_project.controls.back();
        if (line.startsWith(LineIndent)) {
            control.lines.append(TextEscape::unescaped(line.mid(LineIndent.size())));
            return std::nullopt;
        }
        if (!control.lines.isEmpty())
            return failure(QStringLiteral("a property after the option and action lines"));
        const auto value = property(line);
        if (!value || ControlProperties::Order(value->first) < 0)
            return failure(QStringLiteral("\"%1\" is no property of a control").arg(line.trimmed()));
        if (!control.properties.isEmpty()
            && ControlProperties::Order(control.properties.last().first) >= ControlProperties::Order(value->first))
            return failure(QStringLiteral("the property \"%1\" is out of its order").arg(value->first));
        control.properties.append(*value);
        return std::nullopt;
    }

    std::optional<QString> pictureLine(const QString& line)
    {
        const auto value = property(line);
        PictureData& picture = m_project.pictures.back();
        if (value && value->first == Sha256Key)
            picture.sha256 = value->second;
        else if (value && value->first == SizeKey)
            picture.size = value->second.toLongLong();
        else
            return failure(QStringLiteral("a picture has its sha256 and its size"));
        return std::nullopt;
    }

    std::optional<QString> layoutLine(const QString& line)
    {
        const auto value = property(line);
        bool number = false;
        const int id = value ? value->first.toInt(&number) : 0;
        const QStringList fields = value ? value->second.split(QLatin1Char(' ')) : QStringList();
        std::array<double, 4> numbers{};
        bool read = number && id > 0 && id <= 32767 && fields.size() == 4;
        for (qsizetype i = 0; read && i < 4; ++i)
            numbers[static_cast<size_t>(i)] = fields.at(i).toDouble(&read);
        if (!read)
            return failure(QStringLiteral("a layout line is \"ID: X Y WIDTH HEIGHT\""));
        m_project.layout.insert_or_assign(static_cast<qint16>(id), QRectF(numbers[0], numbers[1], numbers[2], numbers[3]));
        return std::nullopt;
    }

    std::optional<QString> endBlock()
    {
        if (m_block == Block::Journey) {
            QList<Journey> journeys;
            if (const std::optional<QString> problem = JourneyText::read(m_journeyText, journeys))
                return failure(*problem);
            m_project.journeys.append(journeys);
        }
        m_block = Block::None;
        return std::nullopt;
    }

    const QString& m_text;
    ProjectData& m_project;
    Block m_block = Block::None;
    qsizetype m_line = 1;
    bool m_projectSeen = false;
    QSet<int> m_ids;
    QString m_journeyText;
};

} // namespace

QLatin1String ProjectText::PlaceText(const QRectF& place, std::array<char, PlaceTextCapacity>& buffer)
{
    char* const end = buffer.data() + buffer.size();
    char* at = buffer.data();
    const std::array<double, 4> numbers{place.x(), place.y(), place.width(), place.height()};
    for (size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0 && at < end)
            *at++ = ' ';
        at = placeNumber(numbers[i], at, end);
    }
    return QLatin1String(buffer.data(), at - buffer.data());
}

QString ProjectText::PlaceText(const QRectF& place)
{
    std::array<char, PlaceTextCapacity> buffer{};
    return PlaceText(place, buffer);
}

QString ProjectText::RowText(const QStringList& row)
{
    QString line = SelectorText::Write({row});
    if (line.endsWith(QLatin1String("\r\n")))
        line.chop(2);
    return TextEscape::escaped(line);
}

QStringList ProjectText::JourneyLines(const Journey& journey)
{
    QStringList lines = JourneyText::write({journey}).split(QLatin1Char('\n'));
    lines.removeFirst();
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString ProjectText::Write(const ProjectData& project)
{
    // About the size the text will have: a larger buffer costs the pages it touches, a smaller
    // one copies the text as it grows.
    qsizetype size = 4096;
    for (const ControlData& item : project.controls) {
        size += 32 + item.name.size();
        for (const auto& [key, value] : item.properties)
            size += 8 + key.size() + value.size();
        for (const QString& line : item.lines)
            size += 8 + line.size();
    }
    for (const SelectorData& selector : project.selectors) {
        for (const QStringList& row : selector.rows) {
            for (const QString& cell : row)
                size += 4 + cell.size();
        }
    }
    TextBuffer text(size + static_cast<qsizetype>(project.layout.size()) * 40);
    head(text, project.settings);
    for (const ControlData& item : project.controls)
        control(text, item);
    tail(text, project);
    return text.take();
}

std::optional<QString> ProjectText::Read(const QString& text, ProjectData& project)
{
    project = ProjectData();
    return Reader(text, project).read();
}
