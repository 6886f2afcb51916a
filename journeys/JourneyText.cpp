#include "journeys/JourneyText.h"

#include "base/ResourceStrings.h"

#include <QSet>

namespace JourneyText {
namespace {

constexpr int LineId = 33010;
constexpr int NoJourneyId = 33011;
constexpr int NameTwiceId = 33012;
constexpr int UnknownLineId = 33013;
constexpr int ValueFormId = 33014;
constexpr int ItemFormId = 33015;
constexpr int EndFormId = 33016;
constexpr int GivenTwiceId = 33017;

const QString JourneyKey = QStringLiteral("journey:");
const QString StartKey = QStringLiteral("start:");
const QString FinishOnKey = QStringLiteral("finish:");
const QString PathKey = QStringLiteral("expect path:");
const QString ValueKey = QStringLiteral("expect value:");
const QString HoldsKey = QStringLiteral("expect holds:");
const QString LacksKey = QStringLiteral("expect lacks:");
const QString EndKey = QStringLiteral("expect end:");
const QString PathSeparator = QStringLiteral(" > ");

const QLatin1String EndWords[] = {QLatin1String("done"), QLatin1String("finished"), QLatin1String("open")};

QString endWord(Journey::End end)
{
    return EndWords[static_cast<int>(end)];
}

// The text after the key when the line starts with it (without regard to case).
std::optional<QString> after(const QString& line, const QString& key)
{
    if (!line.startsWith(key, Qt::CaseInsensitive))
        return std::nullopt;
    return line.mid(key.size()).trimmed();
}

// "NAME <separator> REST" split at the first separator; nothing when either side is empty.
std::optional<std::pair<QString, QString>> split(const QString& text, QChar separator)
{
    const qsizetype at = text.indexOf(separator);
    if (at <= 0)
        return std::nullopt;
    const QString name = text.left(at).trimmed();
    const QString rest = text.mid(at + 1).trimmed();
    if (name.isEmpty())
        return std::nullopt;
    return std::pair{name, rest};
}

class Reader {
public:
    explicit Reader(QList<Journey>& journeys) : m_journeys(journeys) {}

    // The reason the line is refused, without its number.
    std::optional<QString> line(const QString& raw)
    {
        const QString text = raw.trimmed();
        if (text.isEmpty() || text.startsWith(QLatin1Char('#')))
            return std::nullopt;
        if (const auto name = after(text, JourneyKey))
            return begin(*name);
        if (m_journeys.isEmpty())
            return LoadResString(NoJourneyId);
        return directive(text);
    }

private:
    std::optional<QString> begin(const QString& name)
    {
        if (name.isEmpty())
            return LoadResString(NoJourneyId);
        if (m_names.contains(name.toCaseFolded()))
            return LoadResString(NameTwiceId).arg(name);
        m_names.insert(name.toCaseFolded());
        m_journeys.append(Journey{});
        m_journeys.last().name = name;
        return std::nullopt;
    }

    static std::optional<QString> once(QString& field, const QString& value, const QString& key)
    {
        if (!field.isEmpty())
            return LoadResString(GivenTwiceId).arg(key);
        field = value;
        return std::nullopt;
    }

    std::optional<QString> directive(const QString& text)
    {
        Journey& journey = m_journeys.last();
        if (const auto start = after(text, StartKey))
            return once(journey.start, *start, StartKey);
        if (const auto control = after(text, FinishOnKey))
            return once(journey.finishOn, *control, FinishOnKey);
        if (const auto path = after(text, PathKey)) {
            if (!journey.path.isEmpty())
                return LoadResString(GivenTwiceId).arg(PathKey);
            for (const QString& page : path->split(PathSeparator.trimmed())) {
                const QString name = page.trimmed();
                journey.path.append(name == DefaultDonePage ? QString() : name);
            }
            return std::nullopt;
        }
        if (const auto value = after(text, ValueKey)) {
            const auto parts = split(*value, QLatin1Char('='));
            if (!parts)
                return LoadResString(ValueFormId);
            journey.values.append({parts->first, unescaped(parts->second)});
            return std::nullopt;
        }
        for (const bool held : {true, false}) {
            if (const auto item = after(text, held ? HoldsKey : LacksKey)) {
                const auto parts = split(*item, QLatin1Char(':'));
                if (!parts || parts->second.isEmpty())
                    return LoadResString(ItemFormId);
                journey.items.append({parts->first, parts->second, held});
                return std::nullopt;
            }
        }
        if (const auto end = after(text, EndKey))
            return readEnd(*end, journey);
        return answer(text, journey);
    }

    static std::optional<QString> readEnd(const QString& word, Journey& journey)
    {
        if (journey.end)
            return LoadResString(GivenTwiceId).arg(EndKey);
        for (const Journey::End end : {Journey::End::Done, Journey::End::Finished, Journey::End::Open}) {
            if (word.compare(endWord(end), Qt::CaseInsensitive) == 0) {
                journey.end = end;
                return std::nullopt;
            }
        }
        return LoadResString(EndFormId);
    }

    static std::optional<QString> answer(const QString& text, Journey& journey)
    {
        if (text.compare(QLatin1String("BACK"), Qt::CaseInsensitive) == 0) {
            journey.answers.append(Journey::Answer{});
            return std::nullopt;
        }
        if (text.compare(QLatin1String("FINISH"), Qt::CaseInsensitive) == 0) {
            journey.finishWhenOut = true;
            return std::nullopt;
        }
        const auto parts = split(text, QLatin1Char('='));
        if (!parts)
            return LoadResString(UnknownLineId);
        journey.answers.append({parts->first, unescaped(parts->second)});
        return std::nullopt;
    }

    QList<Journey>& m_journeys;
    QSet<QString> m_names;
};

void writeOne(const Journey& journey, QStringList& lines)
{
    lines.append(JourneyKey + QLatin1Char(' ') + journey.name);
    if (!journey.start.isEmpty())
        lines.append(StartKey + QLatin1Char(' ') + journey.start);
    for (const Journey::Answer& answer : journey.answers)
        lines.append(answer.control.isEmpty() ? QStringLiteral("BACK") : answer.control + QLatin1Char('=') + escaped(answer.value));
    if (journey.finishWhenOut)
        lines.append(QStringLiteral("FINISH"));
    if (!journey.finishOn.isEmpty())
        lines.append(FinishOnKey + QLatin1Char(' ') + journey.finishOn);
    if (!journey.path.isEmpty()) {
        QStringList pages;
        for (const QString& page : journey.path)
            pages.append(page.isEmpty() ? DefaultDonePage : page);
        lines.append(PathKey + QLatin1Char(' ') + pages.join(PathSeparator));
    }
    for (const Journey::Value& value : journey.values)
        lines.append(ValueKey + QLatin1Char(' ') + value.control + QLatin1String(" = ") + escaped(value.value));
    for (const Journey::Item& item : journey.items)
        lines.append((item.held ? HoldsKey : LacksKey) + QLatin1Char(' ') + item.selector + QLatin1String(": ") + item.item);
    if (journey.end)
        lines.append(EndKey + QLatin1Char(' ') + endWord(*journey.end));
}

} // namespace

QString write(const QList<Journey>& journeys)
{
    QStringList lines;
    for (const Journey& journey : journeys) {
        if (!lines.isEmpty())
            lines.append(QString());
        writeOne(journey, lines);
    }
    return lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

std::optional<QString> read(const QString& text, QList<Journey>& journeys)
{
    QList<Journey> read;
    Reader reader(read);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const std::optional<QString> refused = reader.line(lines.at(i)))
            return LoadResString(LineId).arg(i + 1).arg(*refused);
    }
    journeys = std::move(read);
    return std::nullopt;
}

QString escaped(const QString& value)
{
    QString text;
    text.reserve(value.size());
    for (const QChar c : value) {
        if (c == QLatin1Char('\\'))
            text += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            text += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            text += QLatin1String("\\r");
        else
            text += c;
    }
    return text;
}

QString unescaped(const QString& value)
{
    QString text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        const QChar next = i + 1 < value.size() ? value.at(i + 1) : QChar();
        if (c == QLatin1Char('\\') && (next == QLatin1Char('\\') || next == QLatin1Char('n') || next == QLatin1Char('r'))) {
            text += next == QLatin1Char('n') ? QChar(QLatin1Char('\n')) : next == QLatin1Char('r') ? QChar(QLatin1Char('\r')) : next;
            ++i;
        } else {
            text += c;
        }
    }
    return text;
}

} // namespace JourneyText
