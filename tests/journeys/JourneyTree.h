#pragma once

#include "journeys/Journey.h"
#include "journeys/JourneyText.h"
#include "tests/runtime/RuntimeFixture.h"

// A car chooser for the journey tests: who rides, a budget (a high one paints the car red), a
// colour, a done page; the eight cars of the runtime fixture.
namespace JourneyTree {

inline CompiledTree cars()
{
    using RuntimeFixture::record;
    return RuntimeFixture::tree(
        {record(1, "Riders", "Radio",
                {"!EARLYFINISH On", "^Family", "!KILL Cars: Seats < 4", "!GO Budget", "^Sporty", "!KILL Cars: Seats > 2",
                 "!GO Budget"}),
         record(2, "Budget", "NumBox",
                {"&30000", "^0-25000", "!KILL Cars: Price > 25000", "!GO Colour", "^25001-100000",
                 "!IF [[Budget]] > 50000", "!SET [[Colour]] = \"Red\"", "!ENDIF", "!GO Colour"}),
         record(3, "Colour", "Combo", {"^Red", "!KILL Cars: Colour <> \"Red\"", "!GO Finish", "^Any", "!GO Finish"}),
         record(4, "Finish", "Done", {})},
        QStringLiteral("Cars"), RuntimeFixture::cars());
}

// The one journey of the text (a failure of the test when it is not one).
inline Journey journey(const QString& text)
{
    QList<Journey> journeys;
    const std::optional<QString> refused = JourneyText::read(text, journeys);
    return refused || journeys.size() != 1 ? Journey{} : journeys.first();
}

// A family on a small budget that ends with the Mini.
inline QString familyText()
{
    return QStringLiteral("journey: Family\n"
                          "Riders=Family\n"
                          "Budget=20000\n"
                          "Colour=Any\n"
                          "expect path: Riders > Budget > Colour > Finish\n"
                          "expect value: Budget = 20000\n"
                          "expect holds: Cars: Mini\n"
                          "expect lacks: Cars: Van\n"
                          "expect end: done\n");
}

} // namespace JourneyTree
