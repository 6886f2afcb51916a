#pragma once

#include <QString>

// The text test of find and replace.
namespace FindText {

struct Options {
    bool wholeWord = false;
    bool matchCase = false;
};

// Index of the first match at or after from, or -1. With whole word a match must not touch
// an ASCII letter or digit on either side ("_" is no word character); a match inside a word
// is passed over for a later one.
qsizetype Find(const QString& text, const QString& search, const Options& options, qsizetype from = 0);
// Replaces every match, going on after each replacement, so a replacement holding the search
// text is not searched again. Returns the number replaced.
qint64 ReplaceAll(QString& text, const QString& search, const QString& replacement, const Options& options);

} // namespace FindText
