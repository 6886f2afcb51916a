#include "spelling/ProjectSpelling.h"

#include "base/ResourceStrings.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/DecisionProperties.h"
#include "spelling/SpellChecker.h"

namespace {

constexpr int CaptionNameId = 33732;
constexpr int HeaderNameId = 33733;
constexpr int OptionNameId = 33734;
constexpr int HelpNameId = 33735;

using Field = SpellingFinding::Field;

// Option and help lines keep their first character out of the check.
bool checkedLine(const QString& line, Field& field)
{
    if (line.startsWith(QLatin1Char('^')))
        field = Field::Option;
    else if (line.startsWith(QLatin1Char('?')))
        field = Field::Help;
    else
        return false;
    return true;
}

QString nameOf(const CmDecisionItem& decision)
{
    return decision.strID().isEmpty() ? QLatin1Char('_') + QString::number(decision.intID()) : decision.strID();
}

} // namespace

namespace ProjectSpelling {

QList<Place> PlacesOf(const CmDecisionItem& decision)
{
    QList<Place> places{{Field::Caption, -1}, {Field::Heading, -1}};
    const QStringList& lines = decision.OptsAndActs();
    for (int i = 0; i < lines.size(); ++i) {
        Field field = Field::Option;
        if (checkedLine(lines.at(i), field))
            places.append({field, i});
    }
    return places;
}

QString TextAt(const CmDecisionItem& decision, const Place& place)
{
    switch (place.field) {
    case Field::Caption: return decision.Caption();
    case Field::Heading: return decision.Heading();
    case Field::Option:
    case Field::Help: {
        const QString line = decision.OptsAndActs().value(place.line);
        // The marker stays in place as a blank, so positions stay those of the line.
        return line.isEmpty() ? line : QLatin1Char(' ') + line.mid(1);
    }
    }
    return {};
}

QList<SpellingFinding> Check(const CmDecisionItem& decision, const SpellChecker& checker)
{
    QList<SpellingFinding> findings;
    for (const Place& place : PlacesOf(decision)) {
        const QString text = TextAt(decision, place);
        for (const SpellChecker::Span& span : checker.UnknownWords(text))
            findings.append({decision.intID(), place.field, place.line, span.start, text.mid(span.start, span.length)});
    }
    return findings;
}

QList<SpellingFinding> CheckAll(const CmDecisionManager& decisions, const SpellChecker& checker)
{
    QList<SpellingFinding> findings;
    for (int i = 1; i <= decisions.Count(); ++i) {
        if (const CmDecisionItem* decision = decisions.ItemByIndex(i))
            findings.append(Check(*decision, checker));
    }
    return findings;
}

QString Location(const CmDecisionManager& decisions, const SpellingFinding& finding)
{
    const CmDecisionItem* decision = decisions.Item(int{finding.control});
    const QString name = decision ? nameOf(*decision) : QLatin1Char('_') + QString::number(finding.control);
    int id = CaptionNameId;
    switch (finding.field) {
    case Field::Caption: id = CaptionNameId; break;
    case Field::Heading: id = HeaderNameId; break;
    case Field::Option: id = OptionNameId; break;
    case Field::Help: id = HelpNameId; break;
    }
    return name + QLatin1Char('.') + LoadResString(id);
}

bool Replace(CmDecisionManager& decisions, const SpellingFinding& finding, const QString& replacement)
{
    CmDecisionItem* decision = decisions.Item(int{finding.control});
    if (!decision)
        return false;
    const QString text = TextAt(*decision, {finding.field, finding.line});
    if (text.mid(finding.start, finding.word.size()) != finding.word)
        return false;
    switch (finding.field) {
    case Field::Caption: {
        QString caption = decision->Caption();
        caption.replace(finding.start, finding.word.size(), replacement);
        return MDecisionDataUtil::SetProperty(*decision, MDecisionDataUtil::CaptionLabel, caption);
    }
    case Field::Heading: {
        QString heading = decision->Heading();
        heading.replace(finding.start, finding.word.size(), replacement);
        decision->EditHeading(heading);
        return true;
    }
    case Field::Option:
    case Field::Help: {
        QStringList lines = decision->OptsAndActs();
        lines[finding.line].replace(finding.start, finding.word.size(), replacement);
        decision->setOptsAndActs(lines);
        return true;
    }
    }
    return false;
}

} // namespace ProjectSpelling
