#include "lang/BlockLine.h"

#include "base/StartUpTables.h"

namespace {

constexpr QChar blank = QLatin1Char(' ');

// The blank that ends the keyword: the first one after the marker, even right after it.
qsizetype keywordEnd(const QString& line)
{
    return line.indexOf(blank, 1);
}

// An action line's keyword, read in place: lines are tested for keywords all the time.
QStringView keywordOf(const QString& line)
{
    const qsizetype end = keywordEnd(line);
    return QStringView(line).mid(1, end < 0 ? -1 : end - 1).trimmed();
}

} // namespace

BlockLine::Kind BlockLine::KindOf(const QString& line)
{
    if (line.isEmpty())
        return Kind::Ignored;
    const QChar first = line.front();
    if (first == OptionMarker)
        return Kind::Option;
    if (first == ActionMarker)
        return Kind::Action;
    if (first == HelpMarker)
        return Kind::Help;
    return Kind::Ignored;
}

bool BlockLine::IsOption(const QString& line)
{
    return line.startsWith(OptionMarker);
}

QStringList BlockLine::OptionTexts(const QStringList& lines)
{
    QStringList texts;
    for (const QString& line : lines) {
        if (IsOption(line))
            texts.append(Body(line));
    }
    return texts;
}

bool BlockLine::IsAction(const QString& line)
{
    return line.startsWith(ActionMarker);
}

QString BlockLine::KeywordText(Keyword keyword)
{
    return StartUpTables::Keywords().value(keyword - StartUpTables::FirstKeywordId);
}

QString BlockLine::MarkedKeyword(Keyword keyword)
{
    return ActionMarker + KeywordText(keyword);
}

QString BlockLine::ActionKeyword(const QString& line)
{
    return IsAction(line) ? keywordOf(line).toString() : QString();
}

QString BlockLine::ActionArgument(const QString& line)
{
    if (!IsAction(line))
        return QString();
    const qsizetype end = keywordEnd(line);
    return end < 0 ? QString() : line.mid(end + 1);
}

bool BlockLine::IsKeywordAsWritten(const QString& line, Keyword keyword)
{
    return IsAction(line) && keywordOf(line) == KeywordText(keyword);
}

bool BlockLine::IsKeyword(const QString& line, Keyword keyword)
{
    return IsAction(line) && keywordOf(line).compare(KeywordText(keyword), Qt::CaseInsensitive) == 0;
}

QString BlockLine::Body(const QString& line)
{
    return line.mid(1);
}

QString BlockLine::WithMarker(QChar marker, const QString& text)
{
    return text.startsWith(marker) ? text : marker + text;
}
