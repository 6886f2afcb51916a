#pragma once

#include <QList>
#include <QString>

class CmDecisionItem;
class CmDecisionManager;
class SpellChecker;

// Where an unknown word stands in the project: a control's caption, page header (as stored, its
// tags left out of the check), or one of its option or help lines (the text after "^" or "?").
struct SpellingFinding {
    enum class Field { Caption, Heading, Option, Help };

    qint16 control = 0;
    Field field = Field::Caption;
    // The line of the options and actions; -1 for the caption and the header.
    int line = -1;
    // In the field's text as stored (an option line with its "^").
    int start = 0;
    QString word;

    bool operator==(const SpellingFinding&) const = default;
};

namespace ProjectSpelling {

// The texts of a control that are checked, in the order they are checked: the caption, the
// header, then each option and help line.
struct Place {
    SpellingFinding::Field field;
    int line;
};
QList<Place> PlacesOf(const CmDecisionItem& decision);
QString TextAt(const CmDecisionItem& decision, const Place& place);

QList<SpellingFinding> Check(const CmDecisionItem& decision, const SpellChecker& checker);
// Every control in decision order.
QList<SpellingFinding> CheckAll(const CmDecisionManager& decisions, const SpellChecker& checker);

// "Name.Caption", "Name.Header", "Name.Option", "Name.Help".
QString Location(const CmDecisionManager& decisions, const SpellingFinding& finding);

// Puts the replacement in the word's place through the control's editing operations (one undo
// step); false when the text there no longer holds the word.
bool Replace(CmDecisionManager& decisions, const SpellingFinding& finding, const QString& replacement);

} // namespace ProjectSpelling
