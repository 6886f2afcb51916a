#include "model/RulesText.h"

#include "base/ResourceStrings.h"
#include "lang/BlockLine.h"
#include "model/OptionRules.h"
#include "lang/RecordFields.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/DecisionDataConversion.h"

#include <QHash>

#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace {

constexpr int LineMessageId = 30400;
constexpr int TooFewFieldsId = 30401;
constexpr int BadIdId = 30402;
constexpr int BadNameId = 30403;
constexpr int ReservedNameId = 30404;
constexpr int UnknownInterfaceId = 30405;
constexpr int BadHelpIdId = 30406;
constexpr int BadDisplayedId = 30407;
constexpr int UnclosedQuoteId = 30408;
constexpr int IdUsedOnLineId = 30409;
constexpr int NameUsedOnLineId = 30410;
constexpr int IdTakenId = 30411;
constexpr int NameTakenId = 30412;
constexpr int NotReadId = 30413;
constexpr int TextAfterQuoteId = 30414;

constexpr int RecordFieldCount = 7;
const QString BeginLine = QStringLiteral("BEGIN");

struct Problem {
    int textId;
    QStringList args;
};

QString textOf(const Problem& problem)
{
    const QString text = LoadResString(problem.textId);
    if (problem.args.size() == 2)
        return text.arg(problem.args.at(0), problem.args.at(1));
    return problem.args.isEmpty() ? text : text.arg(problem.args.first());
}

// Whole numbers only: a rules text is written by a program, not typed. The text must also be a
// number as the record reader sees one: toInt alone stops at a NUL ("15" then NULs reads as
// 15), where the reader finds no number, so a checked record would load with ID 0.
std::optional<int> wholeNumber(const QString& text, int lowest)
{
    if (!MDecisionDataUtil::IsDecimalNumber(text))
        return std::nullopt;
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < lowest || number > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return number;
}

int lineBreaksIn(const QString& text, qsizetype from, qsizetype to)
{
    int breaks = 0;
    for (qsizetype i = from; i < to; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\n') || (c == QLatin1Char('\r') && (i + 1 >= to || text.at(i + 1) != QLatin1Char('\n'))))
            ++breaks;
    }
    return breaks;
}

// Checks one record, and remembers its ID and name for the records that follow.
class RecordChecker {
public:
    explicit RecordChecker(const CmDecisionManager& decisions) : m_decisions(decisions) {}

    std::optional<Problem> check(const RecordFields::Record& record, int line)
    {
        if (record.unclosedQuote)
            return Problem{UnclosedQuoteId, {}};
        if (record.textAfterQuote)
            return Problem{TextAfterQuoteId, {}};
        const QStringList& fields = record.fields;
        if (fields.size() < RecordFieldCount)
            return Problem{TooFewFieldsId, {QString::number(fields.size())}};
        if (std::optional<Problem> problem = checkFields(fields))
            return problem;
        return checkUnique(*wholeNumber(fields.at(0), 1), fields.at(2), line);
    }

private:
    static std::optional<Problem> checkFields(const QStringList& fields)
    {
        if (!wholeNumber(fields.at(0), 1))
            return Problem{BadIdId, {fields.at(0)}};
        const QString& name = fields.at(2);
        if (!name.isEmpty() && !MDecisionDataUtil::IsValidControlName(name))
            return Problem{BadNameId, {name}};
        if (name.compare(BlockLine::FinishLink, Qt::CaseInsensitive) == 0)
            return Problem{ReservedNameId, {name}};
        if (!fields.at(4).isEmpty() && !wholeNumber(fields.at(4), 0))
            return Problem{BadHelpIdId, {fields.at(4)}};
        for (const QString& shown : fields.at(1).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            if (!wholeNumber(shown.trimmed(), 1))
                return Problem{BadDisplayedId, {shown}};
        }
        if (MDecisionDataUtil::ControlStrToInt(fields.at(6)) == MDecisionDataUtil::UnknownControl)
            return Problem{UnknownInterfaceId, {fields.at(6)}};
        return std::nullopt;
    }

    std::optional<Problem> checkUnique(int id, const QString& name, int line)
    {
        const QString key = CmDecisionManager::keyFor(name, static_cast<qint16>(id));
        if (m_lineOfId.contains(id))
            return Problem{IdUsedOnLineId, {QString::number(id), QString::number(m_lineOfId.value(id))}};
        if (m_lineOfKey.contains(key))
            return Problem{NameUsedOnLineId, {name, QString::number(m_lineOfKey.value(key))}};
        if (m_decisions.Exists(id))
            return Problem{IdTakenId, {QString::number(id)}};
        if (m_decisions.Exists(key))
            return Problem{NameTakenId, {name}};
        m_lineOfId.insert(id, line);
        m_lineOfKey.insert(key, line);
        return std::nullopt;
    }

    const CmDecisionManager& m_decisions;
    QHash<int, int> m_lineOfId;
    QHash<QString, int> m_lineOfKey;
};

RulesText::ReadResult failure(int line, const Problem& problem)
{
    return {false, line, LoadResString(LineMessageId).arg(QString::number(line), textOf(problem)), 0};
}

// Where the records begin: after a byte order mark and the BEGIN line.
qsizetype firstRecord(const QString& text, int& line)
{
    qsizetype pos = text.startsWith(QChar(QChar::ByteOrderMark)) ? 1 : 0;
    const qsizetype end = text.indexOf(QLatin1Char('\n'), pos);
    const QString first = text.mid(pos, end < 0 ? -1 : end - pos);
    if (first == BeginLine || first == BeginLine + QLatin1Char('\r')) {
        pos = end < 0 ? text.size() : end + 1;
        line = 2;
    }
    return pos;
}

} // namespace

RulesText::ReadResult RulesText::Read(const QString& text, CmDecisionManager& decisions)
{
    int line = 1;
    qsizetype pos = firstRecord(text, line);
    RecordChecker checker(decisions);
    std::vector<std::unique_ptr<CmDecisionItem>> read;
    while (pos < text.size()) {
        const qsizetype start = pos;
        const RecordFields::Record record = RecordFields::Read(text, pos);
        const QString recordText = text.mid(start, pos - start);
        const bool emptyLine = record.fields.size() == 1 && record.fields.first().isEmpty() && !record.unclosedQuote;
        if (!emptyLine) {
            if (const std::optional<Problem> problem = checker.check(record, line))
                return failure(line, *problem);
            auto decision = std::make_unique<CmDecisionItem>();
            if (!MDecisionDataUtil::LoadDecision(*decision, recordText))
                return failure(line, Problem{NotReadId, {}});
            read.push_back(std::move(decision));
        }
        line += lineBreaksIn(text, start, pos);
    }
    for (std::unique_ptr<CmDecisionItem>& decision : read)
        decisions.add(std::move(decision));
    return {true, 0, QString(), static_cast<int>(read.size())};
}

QStringList RulesText::Records(const CmDecisionManager& decisions)
{
    QStringList records;
    records.reserve(decisions.Count());
    for (int index = 1; index <= decisions.Count(); ++index)
        records.append(MDecisionDataUtil::StoreDecision(*decisions.ItemByIndex(index), &decisions));
    return records;
}
