#include "model/CmDecisionManager.h"
#include "model/DecisionChange.h"

#include "base/ErrorLog.h"
#include "base/MCommonUtil.h"
#include "base/KvError.h"
#include "model/CmDecisionItem.h"
#include "base/ProcedureBoundary.h"
#include "base/ResourceStrings.h"
#include "persist/DecisionRecord.h"
#include "persist/PropertyBag.h"
#include "persist/StorageDocument.h"
#include "persist/StorageText.h"

#include <QScopedValueRollback>

#include <cmath>
#include <functional>
#include <limits>
#include <optional>

using ProcedureBoundary::run;
using ProcedureBoundary::runOr;

namespace {

constexpr int errOverflow = 6;
constexpr int errSubscriptOutOfRange = 9;
constexpr int errTypeMismatch = 13;
constexpr int errKeyTaken = 457;
constexpr int errElementNotFound = 32811;

const QString errorSource = QStringLiteral("CmDecisionManager");
const QString finishLinkKey = QStringLiteral("FinishLink");
// Set in a project whose decisions are rows of its decision table rather than nested bags.
const QString DecisionTableKey = QStringLiteral("DecisionTable");
// The lowest control ID a file may hold; the highest is the name table's.
constexpr int LowestControlId = 1;

// Reports how much of a read is done, once for each percent.
class ProgressSteps {
public:
    ProgressSteps(CmDecisionManager& manager, int count) : m_manager(manager), m_count(count) {}

    void step(int done)
    {
        const int percent = static_cast<int>(static_cast<qint64>(done) * 100 / m_count);
        if (percent == m_shown)
            return;
        m_shown = percent;
        emit m_manager.loadProgress(percent);
    }

private:
    CmDecisionManager& m_manager;
    int m_count;
    int m_shown = -1;
};

KvError keyTaken()
{
    return KvError(errKeyTaken, errorSource,
                   QStringLiteral("This key is already associated with an element of this collection"));
}

KvError elementNotFound()
{
    return KvError(errElementNotFound, errorSource, QStringLiteral("Element not found"));
}

// A text names a decision by number when it is a number by the program's one rule; names such
// as "Inf" or "NaN" stay names. A number too large for a double is no decision's number either.
std::optional<double> numberInText(const QString& text)
{
    if (!MCommonUtil::IsNumeric(text))
        return std::nullopt;
    const double number = text.trimmed().toDouble();
    if (!std::isfinite(number))
        return std::nullopt;
    return number;
}

std::optional<double> numericValue(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Double:
        return value.toDouble();
    case QMetaType::QString:
        return numberInText(value.toString());
    default:
        return std::nullopt;
    }
}

// A decision number: the value rounded half to even.
int wholeNumber(double number)
{
    const double whole = std::nearbyint(number);
    if (!(whole >= std::numeric_limits<int>::min() && whole <= std::numeric_limits<int>::max()))
        throw KvError(errOverflow, errorSource, QStringLiteral("Overflow"));
    return static_cast<int>(whole);
}

QString numberedName(const char* base, int position)
{
    return QLatin1String(base) + QString::number(position);
}

// The read item, owned by the manager from here on.
std::unique_ptr<CmDecisionItem> ownedDecision(ClassInstance instance)
{
    auto* decision = dynamic_cast<CmDecisionItem*>(instance.owned.get());
    if (!decision)
        throw KvError(errTypeMismatch, errorSource, QStringLiteral("Type mismatch"));
    static_cast<void>(instance.owned.release());
    return std::unique_ptr<CmDecisionItem>(decision);
}

// Dropping one of two controls that clash, or one no run can reach, would lose it at the next
// save: the read stops instead, saying why.
StorageResult identityClash(const CmDecisionItem& decision, bool numberTaken, bool nameTaken)
{
    const auto refused = [](int textId, const QString& what) {
        return StorageResult::failure(StorageErrorKind::Refused, LoadResString(textId).arg(what));
    };
    if (decision.intID() < LowestControlId)
        return refused(TextControlIdOutOfRange, QString::number(decision.intID()));
    if (numberTaken)
        return refused(TextControlIdTwice, QString::number(decision.intID()));
    if (nameTaken)
        return refused(TextControlNameTwice, decision.strID());
    return StorageResult::success();
}

// A control that fails to read refuses the whole read: a partial one must never be saved.
void readStep(PropertyBag& bag, const std::function<void()>& step)
{
    try {
        step();
    } catch (const std::exception& error) {
        ReportError(error, QStringLiteral("CmDecisionManager.IClassPersistable_ReadProperties"));
        bag.Refuse(StorageResult::failure(StorageErrorKind::Refused,
                                          LoadResString(TextControlUnreadable).arg(QString::fromLocal8Bit(error.what()))));
    }
}

} // namespace

CmDecisionManager::CmDecisionManager(QObject* parent) : QObject(parent)
{
    // selectedChanged may reach a view through a queued connection.
    qRegisterMetaType<CmDecisionItem*>();
}

CmDecisionManager::~CmDecisionManager() = default;

QString CmDecisionManager::keyFor(const QString& name, qint16 number)
{
    return name.isEmpty() ? QLatin1Char('_') + QString::number(number) : name.toUpper();
}

bool CmDecisionManager::add(std::unique_ptr<CmDecisionItem> item)
{
    if (!item)
        return false;
    return runOr("CmDecisionManager.add", false, [&] {
        const qint16 number = item->intID();
        if (!m_nameLookUp.Index(number).isEmpty()) {
            reportTakenNumber(number);
            return false;
        }
        const QString key = keyFor(item->strID(), number);
        if (m_decisions.contains(key))
            throw keyTaken();
        m_nameLookUp.setIndex(number, key);
        rememberKeyOf(item->strID(), key);
        insert(key, std::move(item));
        return true;
    });
}

void CmDecisionManager::insert(const QString& key, std::unique_ptr<CmDecisionItem> item)
{
    item->setManager(this);
    CmDecisionItem& added = *item;
    m_decisions.insert(key, std::move(item));
    AddToDecisionSelector(added);
    if (added.intID() > m_lastIntID)
        m_lastIntID = added.intID();
    emit decisionAdded(&added);
}

void CmDecisionManager::reportTakenNumber(qint16 number) const
{
    AppendErrorLog(QStringLiteral("CmDecisionManager: error intID:"));
    AppendErrorLog(QString::number(number));
    AppendErrorLog(QStringLiteral(" already exists"));
    AppendErrorLog(QStringLiteral("\r\n"));
}

std::unique_ptr<CmDecisionItem> CmDecisionManager::Remove(const QVariant& value)
{
    return runOr("CmDecisionManager.Remove", std::unique_ptr<CmDecisionItem>(), [&] {
        const QString key = GetKey(value);
        CmDecisionItem* item = m_decisions.find(key);
        if (!item)
            throw elementNotFound();
        m_selector.removeAt(selectorPositionOf(key));
        if (item == m_selected)
            setSelected(nullptr);
        const qint16 number = item->intID();
        const bool heldLast = number == m_lastIntID;
        std::unique_ptr<CmDecisionItem> removed = m_decisions.take(key);
        removed->setManager(nullptr);
        m_nameLookUp.Remove(number);
        if (heldLast)
            m_lastIntID = highestNumberBelow(number);
        emit decisionRemoved(removed.get());
        emit documentChanged();
        return removed;
    });
}

qint16 CmDecisionManager::highestNumberBelow(qint16 number) const
{
    // The name lookup has an entry for exactly the numbers held, so the next one down is the
    // highest left; that keeps removing from the top linear in the gap, not in the collection.
    for (int candidate = number - 1; candidate > 0; --candidate) {
        if (!m_nameLookUp.Index(candidate).isEmpty())
            return static_cast<qint16>(candidate);
    }
    return 0;
}

void CmDecisionManager::Rename(const QVariant& oldValue, const QString& newName)
{
    run("CmDecisionManager.Rename", [&] {
        const QString oldKey = GetKey(oldValue);
        CmDecisionItem* item = m_decisions.find(oldKey);
        if (!item)
            throw elementNotFound();
        const QString newKey = keyFor(newName, item->intID());
        if (newKey != oldKey && m_decisions.contains(newKey))
            throw keyTaken();
        m_selector.replaceAt(selectorPositionOf(oldKey), newName);
        m_nameLookUp.setIndex(item->intID(), newKey);
        rememberKeyOf(newName, newKey);
        m_decisions.rename(oldKey, newKey);
        const QString oldName = item->strID();
        item->setStrID(newName);
        emit decisionRenamed(item, oldName, newName);
    });
}

bool CmDecisionManager::Exists(const QVariant& value) const
{
    return m_decisions.contains(GetKey(value));
}

void CmDecisionManager::ChangeSelector(const QVariant& value)
{
    run("CmDecisionManager.ChangeSelector", [&] {
        const std::optional<double> number = numericValue(value);
        showInSelector(number == -1.0 ? 0 : GetCBIndex(value));
    });
}

void CmDecisionManager::showInSelector(int position)
{
    const QScopedValueRollback<bool> guard(m_setSelector, true);
    m_selector.setCurrentIndex(position);
}

void CmDecisionManager::Clear()
{
    Init();
}

void CmDecisionManager::SetSelectedDecision(const QVariant& value)
{
    const std::optional<double> number = numericValue(value);
    if (number && *number < 0) {
        setSelected(nullptr);
        return;
    }
    CmDecisionItem* item = Item(value);
    if (item && item == m_selected)
        return;
    setSelected(item);
}

void CmDecisionManager::rememberKeyOf(const QString& name, const QString& key)
{
    if (!name.isEmpty() && !numberInText(name))
        m_keyOfName.insert(name, key);
}

QString CmDecisionManager::GetKey(const QVariant& value) const
{
    if (value.typeId() == QMetaType::QString) {
        const auto known = m_keyOfName.constFind(value.toString());
        if (known != m_keyOfName.cend())
            return known.value();
    }
    return runOr("CmDecisionManager.GetKey", QString(), [&] {
        const std::optional<double> number = numericValue(value);
        if (!number)
            return value.toString().toUpper();
        const int whole = wholeNumber(*number);
        const QString key = m_nameLookUp.Index(whole);
        return key.isEmpty() ? QLatin1Char('_') + QString::number(whole) : key.toUpper();
    });
}

void CmDecisionManager::Init()
{
    // The views let go of the selection before the decision behind it goes.
    if (m_selected)
        setSelected(nullptr);
    m_nameLookUp.Clear();
    m_keyOfName.clear();
    m_decisions.clear();
    m_selector.clear();
    m_lastIntID = 0;
    emit cleared();
}

CmDecisionItem* CmDecisionManager::Item(const QVariant& value) const
{
    return m_decisions.find(GetKey(value));
}

void CmDecisionManager::setSelected(CmDecisionItem* item)
{
    m_selected = item;
    run("CmDecisionManager.Selected(Set)", [&] {
        emit selectedChanged(item);
        // By key, not by value: a held key is never to be read as a number.
        showInSelector(item ? selectorPositionOf(keyFor(item->strID(), item->intID())) : 0);
    });
}

CmDecisionItem* CmDecisionManager::ItemByIndex(int index) const
{
    if (m_decisions.isEmpty())
        return nullptr;
    return runOr("CmDecisionManager.ItemByIndex", static_cast<CmDecisionItem*>(nullptr), [&] {
        if (index < 1 || index > Count())
            throw KvError(errSubscriptOutOfRange, errorSource, QStringLiteral("Subscript out of range"));
        return m_decisions.at(index - 1);
    });
}

int CmDecisionManager::GetCBIndex(const QVariant& value) const
{
    return selectorPositionOf(GetKey(value));
}

int CmDecisionManager::selectorPositionOf(const QString& key) const
{
    // The selector lists the decisions in dictionary order, so the position is the dictionary's;
    // the entry must still show the decision's name to count as listed.
    const qsizetype index = m_decisions.indexOf(key);
    if (index < 0)
        return 0;
    const int position = static_cast<int>(index) + 1;
    const bool listed = position <= m_selector.count() && m_selector.entry(position) == m_decisions.at(index)->strID();
    return listed ? position : 0;
}

void CmDecisionManager::AddToDecisionSelector(const CmDecisionItem& item)
{
    m_selector.append(item.strID());
}

void CmDecisionManager::reportChange(CmDecisionItem& item, const DecisionChange& change)
{
    emit decisionChanged(&item, change);
}

void CmDecisionManager::IClassPersistable_WriteProperties(PropertyBag& bag) const
{
    const char* procedure = "CmDecisionManager.IClassPersistable_WriteProperties";
    // Always written, so that an empty project says so.
    run(procedure, [&] { bag.WriteProperty(QStringLiteral("Count"), Count(), QVariant()); });
    if (bag.Document())
        run(procedure, [&] { writeTable(bag); });
    else
        writeEntries(bag);
    run(procedure, [&] { bag.WriteProperty(QStringLiteral("SetSelector"), m_setSelector, false); });
}

// Older projects carry this pseudo decision; it is dropped, its number left unused.
bool CmDecisionManager::isStored(qsizetype index) const
{
    return m_decisions.keyAt(index).compare(finishLinkKey, Qt::CaseInsensitive) != 0;
}

void CmDecisionManager::writeEntries(PropertyBag& bag) const
{
    const char* procedure = "CmDecisionManager.IClassPersistable_WriteProperties";
    for (qsizetype index = 0; index < m_decisions.count(); ++index) {
        if (!isStored(index))
            continue;
        const int position = static_cast<int>(index) + 1;
        run(procedure, [&] { bag.WriteProperty(numberedName("Key", position), m_decisions.keyAt(index)); });
        run(procedure, [&] { bag.WriteObject(numberedName("Decision", position), *m_decisions.at(index)); });
    }
}

void CmDecisionManager::writeTable(PropertyBag& bag) const
{
    std::vector<DecisionRecord> records;
    records.reserve(static_cast<size_t>(m_decisions.count()));
    for (qsizetype index = 0; index < m_decisions.count(); ++index) {
        if (!isStored(index))
            continue;
        DecisionRecord& record = records.emplace_back();
        record.position = index + 1;
        m_decisions.at(index)->WriteRecord(record);
    }
    bag.WriteProperty(DecisionTableKey, true, false);
    if (StorageResult written = bag.Document()->decisions().replaceAll(records); !written)
        bag.Refuse(written);
}

void CmDecisionManager::IClassPersistable_ReadProperties(PropertyBag& bag)
{
    const char* procedure = "CmDecisionManager.IClassPersistable_ReadProperties";
    Init();
    bool inTable = false;
    run(procedure, [&] { inTable = bag.ReadProperty(DecisionTableKey, false).toBool(); });
    if (inTable)
        readStep(bag, [&] { readTable(bag); });
    else
        readEntries(bag);
    // A flag that denies a filled table would open the project empty, and the next save would
    // throw its controls away.
    if (!inTable && !bag.Refused() && bag.Document()) {
        std::vector<DecisionRecord> rows;
        if (bag.Document()->decisions().readAll(rows) && !rows.empty())
            bag.Refuse(StorageResult::failure(StorageErrorKind::Refused,
                                              LoadResString(TextDecisionTableDenied).arg(rows.size())));
    }
    run(procedure, [&] { m_setSelector = bag.ReadProperty(QStringLiteral("SetSelector"), false).toBool(); });
}

void CmDecisionManager::readEntries(PropertyBag& bag)
{
    const char* procedure = "CmDecisionManager.IClassPersistable_ReadProperties";
    int count = 0;
    run(procedure, [&] { count = bag.BoundedCount(QStringLiteral("Count"), {u"Decision"}); });
    ProgressSteps progress(*this, count);
    // A refused decision refuses the whole read: nothing after it is looked at.
    for (int position = 1; position <= count && !bag.Refused(); ++position) {
        readStep(bag, [&] { readEntry(bag, position); });
        progress.step(position);
    }
}

void CmDecisionManager::readTable(PropertyBag& bag)
{
    const StorageDocument* document = bag.Document();
    if (!document) {
        bag.Refuse(StorageResult::failure(StorageErrorKind::Refused, LoadResString(TextDecisionsApart)));
        return;
    }
    std::vector<DecisionRecord> records;
    if (StorageResult read = document->decisions().readAll(records); !read) {
        bag.Refuse(read);
        return;
    }
    const int count = static_cast<int>(records.size());
    m_decisions.reserve(m_decisions.count() + count);
    m_keyOfName.reserve(m_keyOfName.size() + count);
    ProgressSteps progress(*this, count);
    for (int i = 0; i < count && !bag.Refused(); ++i) {
        readStep(bag, [&] {
            auto decision = std::make_unique<CmDecisionItem>();
            StorageResult refusal = decision->ReadRecord(records[static_cast<size_t>(i)]);
            const qint16 number = decision->intID();
            if (refusal)
                refusal = identityClash(*decision, !m_nameLookUp.Index(number).isEmpty(),
                                        m_decisions.contains(keyFor(decision->strID(), number)));
            if (refusal)
                add(std::move(decision));
            else
                bag.Refuse(refusal);
        });
        progress.step(i + 1);
    }
}

void CmDecisionManager::readEntry(PropertyBag& bag, int position)
{
    // A gap (no decision at this position) adds nothing. The key is the decision's own: held
    // keys always are, whatever the stored text says.
    ClassInstance instance = bag.ReadObject(numberedName("Decision", position));
    if (!instance || bag.Refused())
        return;
    std::unique_ptr<CmDecisionItem> decision = ownedDecision(std::move(instance));
    const qint16 number = decision->intID();
    const StorageResult clash = identityClash(*decision, !m_nameLookUp.Index(number).isEmpty(),
                                              m_decisions.contains(keyFor(decision->strID(), number)));
    if (clash)
        add(std::move(decision));
    else
        bag.Refuse(clash);
}
