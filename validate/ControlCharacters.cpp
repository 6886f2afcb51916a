#include "validate/ControlCharacters.h"

#include "base/ResourceStrings.h"
#include "model/CmDecisionItem.h"
#include "validate/ControlLocation.h"
#include "validate/IValidationLog.h"

#include <QStringList>

namespace ControlCharacters {

namespace {

constexpr int FoundId = 33228;
constexpr int CaptionLabelId = 8006;
constexpr int PageHeaderLabelId = 32750;
constexpr int OptionsLabelId = 11004;
constexpr int DefaultValueLabelId = 8009;
constexpr int PictureLabelId = 8005;
constexpr int HelpLabelId = 8014;
constexpr int MinimumLabelId = 8007;
constexpr int MaximumLabelId = 8008;

void report(const CmDecisionItem& decision, int labelId, QChar found, IValidationLog& log)
{
    const QString code = QString::number(found.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    log.AppendToLog(true, LoadResString(FoundId).arg(QStringLiteral("U+") + code),
                    ControlLocation::Of(decision, labelId));
}

void checkField(const CmDecisionItem& decision, int labelId, const QString& text, IValidationLog& log)
{
    if (const std::optional<qsizetype> found = FindIn(text))
        report(decision, labelId, text.at(*found), log);
}

// As the lines joined by line ends, which pass, without joining them.
void checkLines(const CmDecisionItem& decision, int labelId, const QStringList& lines, IValidationLog& log)
{
    for (const QString& line : lines) {
        if (const std::optional<qsizetype> found = FindIn(line)) {
            report(decision, labelId, line.at(*found), log);
            return;
        }
    }
}

} // namespace

std::optional<qsizetype> FindIn(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            return i;
    }
    return std::nullopt;
}

void Check(const CmDecisionItem& decision, IValidationLog& log)
{
    checkField(decision, CaptionLabelId, decision.Caption(), log);
    checkField(decision, PageHeaderLabelId, decision.Heading(), log);
    checkLines(decision, OptionsLabelId, decision.OptsAndActs(), log);
    checkField(decision, DefaultValueLabelId, decision.DefaultValue().toString(), log);
    checkField(decision, PictureLabelId, decision.Picture(), log);
    checkField(decision, HelpLabelId, decision.kvwHelpID(), log);
    checkField(decision, MinimumLabelId, decision.Min(), log);
    checkField(decision, MaximumLabelId, decision.Max(), log);
}

} // namespace ControlCharacters
