#include "model/MDecisionDataUtil.h"

#include "base/ResourceStrings.h"
#include "base/StartUpTables.h"

#include <QHash>

#include <array>

namespace {

using namespace MDecisionDataUtil;

struct ControlTypeRow {
    ControlType code;
    int nameId;
    int displayId;
    DataKind kind;
};

// Indexed by code.
constexpr std::array<ControlTypeRow, ControlTypeCount> controlTypes{{
    {Radio, 1141, 1041, ChoiceData},
    {Check, 1130, 1030, BooleanData},
    {List, 1136, 1037, ChoiceData},
    {MultiList, 1138, 1036, ChoiceData},
    {dList, 1137, 1038, ChoiceData},
    {Combo, 1131, 1031, ChoiceData},
    {dCombo, 1132, 1032, ChoiceData},
    {NumBox, 1139, 1039, NumericData},
    {RealNumBox, 1142, 1042, NumericData},
    {Slide, 1143, 1043, ChoiceData},
    {NumSlide, 1140, 1040, NumericData},
    {StringBox, 1144, 1044, ChoiceData},
    {Command, 1133, 1033, BooleanData},
    {Info, 1135, 1035, ChoiceData},
    {Done, 1134, 1034, ChoiceData},
    {TextArea, 1145, 1045, ChoiceData},
}};

constexpr int firstNameId = 1130;

// Type-name id minus firstNameId to code.
constexpr std::array<qint16, ControlTypeCount> codeByNameId = [] {
    std::array<qint16, ControlTypeCount> codes{};
    for (const ControlTypeRow& row : controlTypes)
        codes.at(static_cast<std::size_t>(row.nameId - firstNameId)) = row.code;
    return codes;
}();

static_assert([] {
    for (std::size_t i = 0; i < controlTypes.size(); ++i) {
        if (controlTypes.at(i).code != static_cast<qint16>(i))
            return false;
    }
    return true;
}(), "the type table is indexed by code");

const ControlTypeRow* rowOf(qint16 code)
{
    if (code < 0 || code >= ControlTypeCount)
        return nullptr;
    return &controlTypes.at(static_cast<std::size_t>(code));
}

// The start-up name table keyed both ways, built on first use: the table never changes after.
struct NameIndex {
    QHash<QString, qint16> codeByFoldedName;
    std::array<QString, ControlTypeCount> nameByCode;
};

NameIndex buildNameIndex()
{
    NameIndex index;
    const QStringList& names = StartUpTables::InterfaceNames();
    const QList<int>& ids = StartUpTables::InterfaceNameIds();
    for (qsizetype i = 0; i < names.size() && i < ids.size(); ++i) {
        const qint16 code = CtlResIDToKvdCtl(ids.at(i));
        if (CtlKvdCtlToResID(code) != ids.at(i))
            continue;
        index.codeByFoldedName.insert(names.at(i).toCaseFolded(), code);
        index.nameByCode.at(static_cast<std::size_t>(code)) = names.at(i);
    }
    return index;
}

const NameIndex& nameIndex()
{
    static const NameIndex index = buildNameIndex();
    return index;
}

} // namespace

qint16 MDecisionDataUtil::ControlStrToInt(const QString& name)
{
    return nameIndex().codeByFoldedName.value(name.toCaseFolded(), UnknownControl);
}

QString MDecisionDataUtil::ControlIntToStr(qint16 code)
{
    if (!rowOf(code))
        return {};
    return nameIndex().nameByCode.at(static_cast<std::size_t>(code));
}

qint16 MDecisionDataUtil::CtlResIDToKvdCtl(int resId)
{
    const int offset = resId - firstNameId;
    if (offset < 0 || offset >= ControlTypeCount)
        return Radio;
    return codeByNameId.at(static_cast<std::size_t>(offset));
}

int MDecisionDataUtil::CtlKvdCtlToResID(qint16 code)
{
    const ControlTypeRow* row = rowOf(code);
    return row ? row->nameId : 0;
}

MDecisionDataUtil::DataKind MDecisionDataUtil::GetDataType(qint16 code)
{
    const ControlTypeRow* row = rowOf(code);
    return row ? row->kind : ChoiceData;
}

QString MDecisionDataUtil::ControlDisplayName(qint16 code)
{
    const ControlTypeRow* row = rowOf(code);
    return row ? LoadResString(row->displayId) : QString();
}
