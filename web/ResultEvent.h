#pragma once

#include <QString>

// One thing a web run did, as the results keep it.
struct ResultEvent {
    enum class Kind { Page, End };

    Kind kind = Kind::Page;
    QString run;
    QString tree;
    QString version;
    QString page;   // the page reached (Page) or the page the run ended on (End)
    qint64 at = 0;  // milliseconds since the epoch
    // Page: the values left on the page before, as JSON; End: how it ended and the items left.
    QString values;
};
