#include "model/DecisionDataConversion.h"

#include "base/StringId.h"
#include "base/ErrorLog.h"
#include "base/IPrompt.h"
#include "base/ResourceStrings.h"
#include "lang/MCompileUtil.h"
#include "lang/BlockLine.h"
#include "model/OptionRules.h"
#include "lang/RecordFields.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/DecisionValues.h"
#include "base/ProcedureBoundary.h"

#include <QLocale>
#include <QSet>

#include <algorithm>
#include <optional>

namespace {

using namespace MDecisionDataUtil;
using DecisionValues::Answer;

constexpr int CorruptControlsId = 12011;
constexpr int ProgramTitleId = 30000;

constexpr QChar Tab = QLatin1Char('\t');
constexpr QChar Quote = QLatin1Char('"');
constexpr QChar Backslash = QLatin1Char('\\');
constexpr QChar Blank = QLatin1Char(' ');
constexpr QChar Dash = QLatin1Char('-');
constexpr QChar DefaultMarker = QLatin1Char('&');
constexpr QChar CaptionMarker = QLatin1Char('$');

// Fields by their 1-based position.
enum Field : int { IdField = 1, GroupField, NameField, PictureField, HelpField, HeaderField, InterfaceField };
static_assert(HeaderField == RecordFields::HeaderField);

struct RangeEnds {
    QString low;
    QString high;
};

// An option range, split at its first dash as the range rule reads it.
RangeEnds splitOptionRange(const QString& range)
{
    const qsizetype dash = range.indexOf(Dash);
    return RangeEnds{range.left(dash).trimmed(), range.mid(dash + 1).trimmed()};
}

bool isLimit(const QString& text)
{
    return text.trimmed().isEmpty() || IsDecimalNumber(text);
}

// The closing "min-max" field. Both limits are numbers or empty, so the dash between them is
// the one with a limit on either side: a sign or an exponent's dash leaves a piece that is no
// number. There is at most one such dash; the limits keep their text as written.
std::optional<RangeEnds> splitLimits(const QString& range)
{
    for (qsizetype dash = range.indexOf(Dash); dash >= 0; dash = range.indexOf(Dash, dash + 1)) {
        RangeEnds ends{range.left(dash), range.mid(dash + 1)};
        if (isLimit(ends.low) && isLimit(ends.high))
            return ends;
    }
    return std::nullopt;
}

QString rangeOption(const RangeEnds& ends)
{
    return BlockLine::OptionMarker + ends.low + Dash + ends.high;
}

QString storedOption(const QString& line, qint16 type)
{
    if (GetDataType(type) == BooleanData) {
        switch (DecisionValues::AnswerOf(BlockLine::Body(line))) {
        case Answer::Yes: return BlockLine::OptionMarker + LoadResString(StringId::TrueText);
        case Answer::No: return BlockLine::OptionMarker + LoadResString(StringId::FalseText);
        case Answer::Other: break;
        }
    }
    if (IsNumericInterface(type) && IsValidRange(line))
        return rangeOption(splitOptionRange(BlockLine::Body(line)));
    return line;
}

// The keyword is written in capitals, its orders as the runtimes' descending flags.
QString storedSort(const QString& line)
{
    const QString argument = BlockLine::ActionArgument(line);
    const QString keyword = BlockLine::MarkedKeyword(BlockLine::Sort);
    return argument.isEmpty() ? keyword : keyword + Blank + MCompileUtil::ConvertSortExpr(argument);
}

QString storedLine(const QString& line, qint16 type)
{
    if (BlockLine::IsOption(line))
        return storedOption(line, type);
    if (BlockLine::IsKeyword(line, BlockLine::Sort))
        return storedSort(line);
    return line;
}

// An entry that names no held decision can only be kept when it is a number already.
QString displayedField(const CmDecisionItem& decision, const CmDecisionManager* decisions)
{
    QStringList numbers;
    for (const QString& entry : decision.Group()) {
        bool isNumber = false;
        const short number = entry.trimmed().toShort(&isNumber);
        if (const CmDecisionItem* shown = decisions ? decisions->Item(entry) : nullptr)
            numbers.append(QString::number(shown->intID()));
        else if (isNumber)
            numbers.append(QString::number(number));
    }
    return numbers.isEmpty() ? QString() : Quote + numbers.join(QLatin1Char(',')) + Quote;
}

// A header ending in a backslash, blanks after it or not, gets one blank more: the closing
// quote must not follow a backslash, and the reader takes exactly that one blank away.
bool endsInBackslash(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == Blank)
        --end;
    return end > 0 && text.at(end - 1) == Backslash;
}

// Quotes are written with a backslash before them. Backslashes that stand right before a quote
// in the header are written doubled, so that they come back as they were; a header without a
// backslash before a quote is written as AddQuoteEscapes writes it, which the runtimes read.
QString headerField(const QString& heading)
{
    QString field;
    field.reserve(heading.size() + 2);
    qsizetype backslashes = 0;
    for (const QChar c : heading) {
        if (c == Quote)
            field += QString(backslashes + 1, Backslash);
        backslashes = c == Backslash ? backslashes + 1 : 0;
        field += c;
    }
    if (endsInBackslash(heading))
        field += Blank;
    return Quote + field + Quote;
}

QString closingField(const CmDecisionItem& decision)
{
    const qint16 type = decision.intControl();
    if (type == Check)
        return CaptionMarker + decision.Caption();
    if (IsNumericInterface(type) && !HasOptions(decision))
        return BlockLine::OptionMarker + decision.Min() + Dash + decision.Max();
    return QString();
}

QStringList storedFields(const CmDecisionItem& decision, const CmDecisionManager* decisions)
{
    const qint16 type = decision.intControl();
    QStringList fields{QString::number(decision.intID()),
                       displayedField(decision, decisions),
                       RecordFields::Quoted(decision.strID()),
                       RecordFields::Quoted(decision.Picture()),
                       decision.kvdHelpID() ? QString::number(decision.kvdHelpID()) : QString(),
                       headerField(decision.Heading()),
                       decision.strControl()};
    const QString defaultValue = decision.DefaultValue().toString();
    if (!defaultValue.isEmpty())
        fields.append(RecordFields::Quoted(DefaultMarker + defaultValue));
    if (!decision.Caption().isEmpty() && type != Check)
        fields.append(RecordFields::Quoted(CaptionMarker + decision.Caption()));
    for (const QString& line : decision.OptsAndActs())
        fields.append(RecordFields::Quoted(storedLine(line, type)));
    const QString closing = closingField(decision);
    if (!closing.isEmpty())
        fields.append(RecordFields::Quoted(closing));
    return fields;
}

// ---- Reading ----

// What a record carries, read in full before the decision is touched.
struct RecordContent {
    std::optional<qint16> id;
    QStringList group;
    QString name;
    QString picture;
    std::optional<qint16> helpId;
    QString heading;
    qint16 type = 0;
    QVariant defaultValue;
    QString caption;
    QStringList lines;
    std::optional<RangeEnds> fullRange;
};

// The inverse of headerField: a run of backslashes before a quote is halved (an odd run loses
// the one that escapes the quote), and the blank after a closing backslash goes.
QString headerText(const QString& field)
{
    QString text;
    text.reserve(field.size());
    qsizetype backslashes = 0;
    for (const QChar c : field) {
        if (c == Backslash) {
            ++backslashes;
            continue;
        }
        text += QString(c == Quote ? backslashes / 2 : backslashes, Backslash);
        backslashes = 0;
        text += c;
    }
    text += QString(backslashes, Backslash);
    if (text.endsWith(Blank) && endsInBackslash(text))
        text.chop(1);
    return text;
}

QStringList displayedIds(const QString& field)
{
    QStringList ids;
    for (const QString& piece : field.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (const std::optional<qint16> id = DecisionValues::Int16Of(piece))
            ids.append(QString::number(*id));
    }
    return ids;
}

// An empty help field means none; text that is no number leaves the help id as it was.
std::optional<qint16> helpIdOf(const QString& field)
{
    return field.trimmed().isEmpty() ? std::optional<qint16>(0) : DecisionValues::Int16Of(field);
}

QString loadedOption(const QString& line, qint16 type)
{
    if (GetDataType(type) != BooleanData)
        return line;
    const QStringList answers = FixedOptions(type);
    switch (DecisionValues::AnswerOf(BlockLine::Body(line))) {
    case Answer::Yes: return BlockLine::OptionMarker + answers.value(0);
    case Answer::No: return BlockLine::OptionMarker + answers.value(1);
    case Answer::Other: break;
    }
    return line;
}

QString loadedLine(const QString& line, qint16 type)
{
    if (BlockLine::IsOption(line))
        return loadedOption(line, type);
    if (BlockLine::IsKeyword(line, BlockLine::Sort)) {
        const QString argument = BlockLine::ActionArgument(line);
        return line.left(line.size() - argument.size()) + MCompileUtil::RestoreSortExpr(argument);
    }
    return line;
}

// A numeric interface without options stores its full range as the record's last field. A
// record whose only option is its last field reads the same way; the runtimes treat both alike.
void takeClosingRange(RecordContent& content, bool lastFieldIsLine)
{
    if (!IsNumericInterface(content.type) || !lastFieldIsLine)
        return;
    const auto options = std::count_if(content.lines.cbegin(), content.lines.cend(), BlockLine::IsOption);
    if (options != 1 || !BlockLine::IsOption(content.lines.last()))
        return;
    const std::optional<RangeEnds> ends = splitLimits(BlockLine::Body(content.lines.last()));
    if (!ends)
        return;
    content.fullRange = ends;
    content.lines.removeLast();
}

// The limits a numeric interface's range options give: from the lowest low end to the highest
// high end, an open end staying open, as the runtime reads them. None without a range option.
std::optional<RangeEnds> optionSpan(const CmDecisionItem& decision)
{
    if (!IsNumericInterface(decision.intControl()))
        return std::nullopt;
    const auto number = [](const QString& text) { return QLocale::c().toDouble(text.trimmed()); };
    std::optional<RangeEnds> span;
    for (const QString& line : decision.OptsAndActs()) {
        if (!BlockLine::IsOption(line))
            continue;
        const std::optional<RangeEnds> read = splitLimits(BlockLine::Body(line).trimmed());
        if (!read || (read->low.trimmed().isEmpty() && read->high.trimmed().isEmpty()))
            continue;
        const RangeEnds ends{read->low.trimmed(), read->high.trimmed()};
        if (!span) {
            span = ends;
            continue;
        }
        if (span->low.isEmpty() || ends.low.isEmpty())
            span->low.clear();
        else if (number(ends.low) < number(span->low))
            span->low = ends.low;
        if (span->high.isEmpty() || ends.high.isEmpty())
            span->high.clear();
        else if (number(ends.high) > number(span->high))
            span->high = ends.high;
    }
    return span;
}

void readLaterFields(const QStringList& fields, RecordContent& content)
{
    bool lastFieldIsLine = false;
    QString defaultText;
    for (qsizetype i = InterfaceField; i < fields.size(); ++i) {
        const QString& field = fields.at(i);
        if (field.isEmpty())
            continue;
        lastFieldIsLine = false;
        if (field.front() == CaptionMarker) {
            content.caption = field.mid(1);
        } else if (field.front() == DefaultMarker) {
            defaultText = field.mid(1);
        } else {
            content.lines.append(loadedLine(field, content.type));
            lastFieldIsLine = true;
        }
    }
    content.defaultValue = DecisionValues::DefaultFromText(defaultText);
    takeClosingRange(content, lastFieldIsLine);
}

RecordContent readRecord(const QString& text)
{
    qsizetype pos = 0;
    const QStringList fields = RecordFields::Read(text, pos).fields;
    const auto field = [&fields](int position) { return fields.value(position - 1); };
    RecordContent content;
    content.id = DecisionValues::Int16Of(field(IdField));
    content.group = displayedIds(field(GroupField));
    content.name = field(NameField);
    content.picture = field(PictureField);
    content.helpId = helpIdOf(field(HelpField));
    content.heading = headerText(field(HeaderField));
    content.type = ControlStrToInt(field(InterfaceField));
    readLaterFields(fields, content);
    return content;
}

void apply(const RecordContent& content, CmDecisionItem& decision)
{
    if (content.id)
        decision.setIntID(*content.id);
    decision.setGroup(content.group);
    decision.setStrID(content.name);
    decision.setPicture(content.picture);
    if (content.helpId)
        decision.setKvdHelpID(*content.helpId);
    decision.setHeading(content.heading);
    decision.setIntControl(content.type);
    decision.setOptsAndActsAsRead(content.lines);
    ValidOptions(decision);
    decision.setDefaultValue(content.defaultValue);
    decision.setCaption(content.caption);
    const std::optional<RangeEnds> limits = content.fullRange ? content.fullRange : optionSpan(decision);
    if (limits) {
        decision.setMin(limits->low);
        decision.setMax(limits->high);
    }
}

} // namespace

QString MDecisionDataUtil::AddQuoteEscapes(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == Quote && (i == 0 || text.at(i - 1) != Backslash))
            escaped += Backslash;
        escaped += text.at(i);
    }
    return escaped;
}

QString MDecisionDataUtil::StoreDecision(const CmDecisionItem& decision, const CmDecisionManager* decisions)
{
    return ProcedureBoundary::runOr("MDecisionDataUtil.StoreDecision", QString(), [&] {
        return storedFields(decision, decisions).join(Tab) + Tab;
    });
}

bool MDecisionDataUtil::LoadDecision(CmDecisionItem& decision, const QString& text, IPrompt* tell)
{
    const bool read = ProcedureBoundary::runOr("MDecisionDataUtil.LoadDecision", false, [&] {
        apply(readRecord(text), decision);
        return true;
    });
    if (!read && tell) {
        tell->MessageBox(LoadResString(CorruptControlsId), LoadResString(ProgramTitleId), PromptButtons::Ok,
                         PromptIcon::Critical);
    }
    return read;
}

QString MDecisionDataUtil::GetDefault(const CmDecisionItem& decision)
{
    return ProcedureBoundary::runOr("MDecisionDataUtil.GetDefault", QString(), [&] {
        const QString value = decision.DefaultValue().toString();
        if (GetDataType(decision.intControl()) == BooleanData) {
            if (value.isEmpty())
                return QString();
            const bool yes = DecisionValues::AnswerOf(value) == Answer::Yes;
            return LoadResString(yes ? StringId::TrueText : StringId::FalseText).toUpper();
        }
        if (IsNumericInterface(decision.intControl()) && !IsDecimalNumber(value))
            return QString();
        return value;
    });
}

QString MDecisionDataUtil::GetDecisionName(const QString& id, const CmDecisionManager& decisions)
{
    return ProcedureBoundary::runOr("MDecisionDataUtil.GetDecisionName", QString(), [&] {
        const CmDecisionItem* item = IsDecimalNumber(id) ? decisions.Item(id) : nullptr;
        return item ? item->strID() : QString();
    });
}

QString MDecisionDataUtil::GetDecisionName(qint16 id, const CmDecisionManager& decisions)
{
    return ProcedureBoundary::runOr("MDecisionDataUtil.GetDecisionName", QString(), [&] {
        const QVariant number(static_cast<int>(id));
        return decisions.Item(number) ? decisions.GetKey(number) : QString();
    });
}

QStringList MDecisionDataUtil::GetNotIncluded(const CmDecisionItem& decision, const CmDecisionManager& decisions)
{
    return ProcedureBoundary::runOr("MDecisionDataUtil.GetNotIncluded", QStringList(), [&] {
        QSet<qint16> shown;
        for (const QString& entry : decision.Group()) {
            if (const CmDecisionItem* item = decisions.Item(entry))
                shown.insert(item->intID());
        }
        QStringList names;
        for (int index = 1; index <= decisions.Count(); ++index) {
            const CmDecisionItem* item = decisions.ItemByIndex(index);
            if (item == &decision || item->intID() <= 0 || shown.contains(item->intID()))
                continue;
            names.append(item->strID().isEmpty() ? CmDecisionManager::keyFor(item->strID(), item->intID())
                                                 : item->strID());
        }
        return names;
    });
}
