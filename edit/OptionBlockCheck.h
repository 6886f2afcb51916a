#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class CmDecisionManager;
class ISelectorCatalog;

// The check the options editor shows beside the lines as the author types: what the block
// will do with each line (left out, removed by the interface's option rules), whether each
// action has the form its keyword needs, whether the !IF blocks are closed, whether each
// expression reads, and, when decisions and selectors are given, whether what the line names
// exists. It only reports; the lines stay as written.
namespace OptionBlockCheck {

struct Finding {
    // 0-based: the position in the list, or the line of the text.
    int line = 0;
    bool isError = false;
    QString message;

    bool operator==(const Finding&) const = default;
};

// What names are checked against; either may be null, and that check is skipped.
struct Names {
    const CmDecisionManager* decisions = nullptr;
    const ISelectorCatalog* selectors = nullptr;
};

// The lines of a block, for a control of the given interface type.
QList<Finding> CheckLines(const QStringList& lines, qint16 type, const Names& names = {});
// The advanced editor's text: indentation is allowed, anything else before the marker and a
// line without one are reported as left out; help before the first option too.
QList<Finding> CheckText(const QString& text, qint16 type, const Names& names = {});

} // namespace OptionBlockCheck
