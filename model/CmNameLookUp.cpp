#include "model/CmNameLookUp.h"

#include "base/KvError.h"
#include "base/ProcedureBoundary.h"
#include "persist/PropertyBag.h"

#include <algorithm>

namespace {

constexpr int errSubscriptOutOfRange = 9;

const QString countName = QStringLiteral("Count");

QString keyName(int number)
{
    return QStringLiteral("Key") + QString::number(number);
}

} // namespace

CmNameLookUp::CmNameLookUp()
{
    Clear();
}

void CmNameLookUp::Clear()
{
    m_keys.assign(InitialRoom + 1, QString());
    m_count = 0;
}

void CmNameLookUp::Remove(int number)
{
    if (holds(number))
        m_keys[static_cast<std::size_t>(number)].clear();
}

QString CmNameLookUp::Index(int number) const
{
    return holds(number) ? m_keys[static_cast<std::size_t>(number)] : QString();
}

void CmNameLookUp::setIndex(int number, const QString& key)
{
    if (number < 0)
        throw KvError(errSubscriptOutOfRange, QStringLiteral("CmNameLookUp"), QStringLiteral("Subscript out of range"));
    makeRoomFor(number);
    m_keys[static_cast<std::size_t>(number)] = key;
    m_count = std::max(m_count, number);
}

void CmNameLookUp::makeRoomFor(int number)
{
    if (number > Room())
        m_keys.resize(static_cast<std::size_t>(number) + GrowthRoom + 1);
}

void CmNameLookUp::IClassPersistable_WriteProperties(PropertyBag& bag) const
{
    const char* procedure = "CmNameLookUp.IClassPersistable_WriteProperties";
    ProcedureBoundary::run(procedure, [&] { bag.WriteProperty(countName, m_count, 0); });
    for (int number = 0; number <= m_count; ++number)
        ProcedureBoundary::run(procedure, [&] { bag.WriteProperty(keyName(number), Index(number), QString()); });
}

void CmNameLookUp::IClassPersistable_ReadProperties(PropertyBag& bag)
{
    const char* procedure = "CmNameLookUp.IClassPersistable_ReadProperties";
    int count = 0;
    // The numbers are control IDs: a count beyond the highest ID is no table to make.
    ProcedureBoundary::run(procedure, [&] {
        count = std::clamp(bag.ReadProperty(countName, 0).toInt(), 0, static_cast<int>(MaxNumber));
    });
    m_keys.assign(static_cast<std::size_t>(count) + GrowthRoom + 1, QString());
    m_count = count;
    for (int number = 1; number <= count; ++number) {
        ProcedureBoundary::run(procedure, [&] {
            m_keys[static_cast<std::size_t>(number)] = bag.ReadProperty(keyName(number), QString()).toString();
        });
    }
}
