#include "model/CmDecisionItem.h"

#include "base/StringId.h"
#include "base/KvError.h"
#include "base/ResourceStrings.h"
#include "lang/OptionLines.h"
#include "model/OptionRules.h"
#include "model/DecisionDataConversion.h"
#include "model/CmDecisionManager.h"
#include "model/DecisionChange.h"
#include "model/MDecisionDataUtil.h"
#include "base/ProcedureBoundary.h"
#include "persist/DecisionRecord.h"
#include "persist/PropertyBag.h"

#include <limits>
#include <utility>

using ProcedureBoundary::run;

namespace {


constexpr int errTypeMismatch = 13;
constexpr int ControlIdOutOfRangeId = 33210;
constexpr int ControlNameInvalidId = 33211;
constexpr int errOverflow = 6;

// Each property is a step of its own: a failure is reported and the next property follows.
constexpr const char* readProcedure = "CmDecisionItem.IClassPersistable_ReadProperties";
constexpr const char* writeProcedure = "CmDecisionItem.IClassPersistable_WriteProperties";

QString fixedOption(int textId)
{
    return QLatin1Char('^') + LoadResString(textId).toUpper();
}

// The string table never changes while the program runs; a project of thousands of controls
// need not look the words up for each.
const QStringList& fixedBooleanOptions()
{
    static const QStringList options{fixedOption(StringId::TrueText), fixedOption(StringId::FalseText)};
    return options;
}

qint64 toWhole(const QVariant& value)
{
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    if (!ok)
        throw KvError(errTypeMismatch, QStringLiteral("CmDecisionItem"), QStringLiteral("Type mismatch"));
    return number;
}

qint16 toInt16(const QVariant& value)
{
    const qint64 number = toWhole(value);
    if (number < std::numeric_limits<qint16>::min() || number > std::numeric_limits<qint16>::max())
        throw KvError(errOverflow, QStringLiteral("CmDecisionItem"), QStringLiteral("Overflow"));
    return static_cast<qint16>(number);
}

QString numbered(const QString& base, int number)
{
    return base + QString::number(number);
}

void writeNumbered(PropertyBag& bag, const QString& countKey, const QString& base, const QStringList& lines)
{
    run(writeProcedure, [&] { bag.WriteProperty(countKey, static_cast<int>(lines.size()), 0); });
    for (int i = 0; i < lines.size(); ++i)
        run(writeProcedure, [&] { bag.WriteProperty(numbered(base, i + 1), lines.at(i)); });
}

// Appends lines base1 up to the count read from countKey.
void readNumbered(const PropertyBag& bag, const QString& countKey, const QString& base, QStringList& lines)
{
    int count = 0;
    run(readProcedure, [&] { count = bag.BoundedCount(countKey, {base}); });
    for (int i = 1; i <= count; ++i)
        run(readProcedure, [&] { lines.append(bag.ReadProperty(numbered(base, i)).toString()); });
}

// The default is written as held: empty, number or text. An empty one is not the empty
// text, which is the default left out of the bag.
QVariant readDefaultValue(const PropertyBag& bag)
{
    const QString key = QStringLiteral("Default");
    if (!bag.Contains(key))
        return QString();
    const QVariant value = bag.ReadProperty(key);
    if (!value.isValid() || value.isNull())
        return {};
    return value;
}

// A name as a message can show it on one line.
QString shownName(const QString& name)
{
    QString shown;
    for (const QChar c : name) {
        if (c == u'\t')
            shown += QLatin1String("\\t");
        else if (c == u'\n')
            shown += QLatin1String("\\n");
        else if (c == u'\r')
            shown += QLatin1String("\\r");
        else if (c.unicode() < 0x20)
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

// What a file may hold as a control's ID and name: the IDs a control can have and the names
// an author can type. A damaged file that breaks either is refused whole rather than cleaned:
// a cleaned name would no longer be the one every !GO and [[reference]] to it uses.
StorageResult identityRefusal(const QVariant& id, const QString& name)
{
    bool isNumber = false;
    const double number = id.toDouble(&isNumber);
    if (isNumber && !(number >= 0 && number <= std::numeric_limits<qint16>::max()))
        return StorageResult::failure(StorageErrorKind::Refused, LoadResString(ControlIdOutOfRangeId).arg(id.toString()));
    if (!name.isEmpty() && !MDecisionDataUtil::IsValidControlName(name))
        return StorageResult::failure(StorageErrorKind::Refused, LoadResString(ControlNameInvalidId).arg(shownName(name)));
    return StorageResult::success();
}

bool refusedIdentity(PropertyBag& bag)
{
    const StorageResult refusal = identityRefusal(bag.ReadProperty(QStringLiteral("intIdentifier")),
                                                  bag.ReadProperty(QStringLiteral("strIdentifier"), QString()).toString());
    if (refusal)
        return false;
    bag.Refuse(refusal);
    return true;
}

} // namespace

CmDecisionItem::CmDecisionItem() : m_booleanOptions(fixedBooleanOptions())
{
}

bool CmDecisionItem::Load(const QString& text)
{
    return MDecisionDataUtil::LoadDecision(*this, text, m_manager ? m_manager->prompt() : nullptr);
}

QString CmDecisionItem::Store() const
{
    const QString record = MDecisionDataUtil::StoreDecision(*this, m_manager);
    if (!record.isEmpty())
        m_dirty = false;
    return record;
}

bool CmDecisionItem::LoadEdited(const QString& text)
{
    const QString before = MDecisionDataUtil::StoreDecision(*this, m_manager);
    const qint16 number = m_intID;
    const QString name = m_strID;
    if (!Load(text))
        return false;
    // Held under its key: a record of another name or number would orphan it.
    m_intID = number;
    m_strID = name;
    const QString after = MDecisionDataUtil::StoreDecision(*this, m_manager);
    if (after != before)
        reportChange({DecisionChange::What::Record, 0, before, after});
    return true;
}

void CmDecisionItem::EditHeading(const QString& heading)
{
    if (heading == m_heading)
        return;
    const QString before = m_heading;
    m_heading = heading;
    reportChange({DecisionChange::What::Heading, 0, before, heading});
}

void CmDecisionItem::reportChange(const DecisionChange& change)
{
    if (m_manager)
        m_manager->reportChange(*this, change);
}

void CmDecisionItem::setGroup(const QStringList& group)
{
    m_group.removeIf([this](const QString& entry) { return entry.isEmpty() || namesThisDecision(entry); });
    // Given the held list, this keeps it as just cleaned.
    m_group = group;
}

QString CmDecisionItem::strGroup() const
{
    return m_group.join(QLatin1Char(','));
}

void CmDecisionItem::setStrGroup(const QString& text)
{
    const QStringList pieces = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& piece : pieces) {
        if (!namesThisDecision(piece))
            m_group.append(piece);
    }
}

void CmDecisionItem::setIntControl(qint16 code)
{
    run("CmDecisionItem.intControl", [&] {
        const qint16 before = m_intControl;
        switchOptions(m_intControl, code);
        m_intControl = code;
        if (before != code)
            reportChange({DecisionChange::What::ControlType, 0, before, code});
    });
}

QString CmDecisionItem::strControl() const
{
    return MDecisionDataUtil::ControlIntToStr(m_intControl);
}

void CmDecisionItem::setStrControl(const QString& typeName)
{
    setIntControl(MDecisionDataUtil::ControlStrToInt(typeName));
}

QStringList& CmDecisionItem::currentLines()
{
    return listOfKind(m_intControl);
}

const QStringList& CmDecisionItem::OptsAndActs() const
{
    return listOfKind(m_intControl);
}

void CmDecisionItem::setOptsAndActs(const QStringList& lines)
{
    run("CmDecisionItem.OptsAndActs", [&] {
        QStringList& current = currentLines();
        const QString before = MTreeViewUtil::OptsAndActsToString(current);
        current = lines;
        reportChange({DecisionChange::What::OptsAndActs, 0, before, MTreeViewUtil::OptsAndActsToString(lines)});
    });
}

void CmDecisionItem::setOptsAndActsAsRead(const QStringList& lines)
{
    currentLines() = lines;
    if (MDecisionDataUtil::GetDataType(m_intControl) == MDecisionDataUtil::ChoiceData)
        m_setAsideOptions.clear();
}

bool CmDecisionItem::RewriteReferences(const QString& heading, const QStringList& group, const QStringList& lines)
{
    QStringList& current = currentLines();
    if (heading == m_heading && group == m_group && lines == current)
        return false;
    m_heading = heading;
    m_group = group;
    current = lines;
    reportChange({DecisionChange::What::References, 0, QVariant(), QVariant()});
    return true;
}

QVariant CmDecisionItem::DefaultValue() const
{
    if (!m_defaultValue.isValid() && MDecisionDataUtil::GetDataType(m_intControl) != MDecisionDataUtil::NumericData)
        return QString();
    return m_defaultValue;
}

void CmDecisionItem::IClassPersistable_WriteProperties(PropertyBag& bag) const
{
    const auto write = [&bag](const QString& key, const QVariant& value, const QVariant& defaultValue) {
        run(writeProcedure, [&] { bag.WriteProperty(key, value, defaultValue); });
    };
    const QString noText;
    write(QStringLiteral("kvdHelp"), m_kvdHelpID, 0);
    write(QStringLiteral("kvwHelp"), m_kvwHelpID, noText);
    write(QStringLiteral("intIdentifier"), m_intID, 0);
    write(QStringLiteral("strIdentifier"), m_strID, noText);
    write(QStringLiteral("intControl"), m_intControl, 0);
    writeNumbered(bag, QStringLiteral("OptsAndActsCount"), QStringLiteral("OptsAndActs"), OptsAndActs());
    write(QStringLiteral("Caption"), m_caption, noText);
    write(QStringLiteral("Heading"), m_heading, noText);
    write(QStringLiteral("Picture"), m_picture, noText);
    writeNumbered(bag, QStringLiteral("IncludeCount"), QStringLiteral("Include"), m_group);
    write(QStringLiteral("Default"), m_defaultValue, noText);
    write(QStringLiteral("Min"), m_min, QStringLiteral("-32767"));
    write(QStringLiteral("Max"), m_max, QStringLiteral("32767"));
    write(QStringLiteral("Dirty"), m_dirty, false);
}

void CmDecisionItem::IClassPersistable_ReadProperties(PropertyBag& bag)
{
    const auto readText = [&bag](const QString& key, QString& field, const QString& defaultValue = QString()) {
        run(readProcedure, [&] { field = bag.ReadProperty(key, defaultValue).toString(); });
    };
    const auto readInt16 = [&bag](const QString& key, qint16& field) {
        run(readProcedure, [&] { field = toInt16(bag.ReadProperty(key, 0)); });
    };
    if (refusedIdentity(bag))
        return;
    readInt16(QStringLiteral("kvdHelp"), m_kvdHelpID);
    readText(QStringLiteral("kvwHelp"), m_kvwHelpID);
    readInt16(QStringLiteral("intIdentifier"), m_intID);
    readText(QStringLiteral("strIdentifier"), m_strID);
    // Stored as read: the lines that follow already belong to this interface.
    readInt16(QStringLiteral("intControl"), m_intControl);
    readOptsAndActs(bag);
    readText(QStringLiteral("Caption"), m_caption);
    readText(QStringLiteral("Heading"), m_heading);
    readText(QStringLiteral("Picture"), m_picture);
    readGroup(bag);
    run(readProcedure, [&] { m_defaultValue = readDefaultValue(bag); });
    readText(QStringLiteral("Min"), m_min, QStringLiteral("-32767"));
    readText(QStringLiteral("Max"), m_max, QStringLiteral("32767"));
    run(readProcedure, [&] { m_dirty = bag.ReadProperty(QStringLiteral("Dirty"), false).toBool(); });
}

void CmDecisionItem::WriteRecord(DecisionRecord& record) const
{
    record.intIdentifier = m_intID;
    record.strIdentifier = m_strID;
    record.intControl = m_intControl;
    record.caption = m_caption;
    record.heading = m_heading;
    record.picture = m_picture;
    record.optsAndActs = OptsAndActs();
    record.include = m_group;
    record.defaultValue = m_defaultValue;
    record.min = m_min;
    record.max = m_max;
    record.kvdHelp = m_kvdHelpID;
    record.kvwHelp = m_kvwHelpID;
    record.dirty = m_dirty;
}

StorageResult CmDecisionItem::ReadRecord(const DecisionRecord& record)
{
    if (StorageResult refusal = identityRefusal(QVariant::fromValue<qlonglong>(record.intIdentifier), record.strIdentifier);
        !refusal)
        return refusal;
    m_intID = static_cast<qint16>(record.intIdentifier);
    m_strID = record.strIdentifier;
    // Numbers out of range are reported and left at their defaults, as a bag read leaves them.
    run(readProcedure, [&] { m_kvdHelpID = toInt16(QVariant::fromValue<qlonglong>(record.kvdHelp)); });
    m_kvwHelpID = record.kvwHelp;
    run(readProcedure, [&] { m_intControl = toInt16(QVariant::fromValue<qlonglong>(record.intControl)); });
    setOptsAndActsAsRead(record.optsAndActs);
    m_caption = record.caption;
    m_heading = record.heading;
    m_picture = record.picture;
    m_group = record.include;
    m_defaultValue = record.defaultValue;
    m_min = record.min;
    m_max = record.max;
    m_dirty = record.dirty;
    return StorageResult::success();
}

void CmDecisionItem::readOptsAndActs(const PropertyBag& bag)
{
    // A read is no edit: the new list goes in without an undo record or a preview refresh.
    QStringList lines;
    readNumbered(bag, QStringLiteral("OptsAndActsCount"), QStringLiteral("OptsAndActs"), lines);
    setOptsAndActsAsRead(lines);
}

void CmDecisionItem::readGroup(const PropertyBag& bag)
{
    m_group = QStringList();
    readNumbered(bag, QStringLiteral("IncludeCount"), QStringLiteral("Include"), m_group);
}

QStringList& CmDecisionItem::listOfKind(qint16 code)
{
    return const_cast<QStringList&>(std::as_const(*this).listOfKind(code));
}

const QStringList& CmDecisionItem::listOfKind(qint16 code) const
{
    switch (MDecisionDataUtil::GetDataType(code)) {
    case MDecisionDataUtil::BooleanData:
        return m_booleanOptions;
    case MDecisionDataUtil::NumericData:
        return m_numericOptions;
    case MDecisionDataUtil::ChoiceData:
        break;
    }
    return m_choiceOptions;
}

void CmDecisionItem::switchOptions(qint16 oldCode, qint16 newCode)
{
    // The old kind's list first, then the other two in kind order.
    switch (MDecisionDataUtil::GetDataType(oldCode)) {
    case MDecisionDataUtil::BooleanData:
        MDecisionDataUtil::SwitchOptions(m_booleanOptions, m_choiceOptions, m_numericOptions, oldCode, newCode,
                                         m_setAsideOptions);
        break;
    case MDecisionDataUtil::NumericData:
        MDecisionDataUtil::SwitchOptions(m_numericOptions, m_choiceOptions, m_booleanOptions, oldCode, newCode,
                                         m_setAsideOptions);
        break;
    case MDecisionDataUtil::ChoiceData:
        MDecisionDataUtil::SwitchOptions(m_choiceOptions, m_booleanOptions, m_numericOptions, oldCode, newCode,
                                         m_setAsideOptions);
        break;
    }
}

bool CmDecisionItem::namesThisDecision(const QString& name) const
{
    return name == m_strID.toUpper() || name == QString::number(m_intID);
}
