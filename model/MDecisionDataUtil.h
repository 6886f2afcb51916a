#pragma once

#include <QString>

// The input-interface types of a decision: codes, names and the kind of data they collect.
namespace MDecisionDataUtil {

// Codes as kept in intControl and written to the project and desktop tree files.
enum ControlType : qint16 {
    Radio = 0,
    Check = 1,
    List = 2,
    MultiList = 3,
    dList = 4,
    Combo = 5,
    dCombo = 6,
    NumBox = 7,
    RealNumBox = 8,
    Slide = 9,
    NumSlide = 10,
    StringBox = 11,
    Command = 12,
    Info = 13,
    Done = 14,
    TextArea = 15,
};

inline constexpr qint16 ControlTypeCount = 16;
// What ControlStrToInt answers for a name that is no type.
inline constexpr qint16 UnknownControl = ControlTypeCount;

// Which of a decision's three option lists a type uses.
enum DataKind : int {
    ChoiceData = 0,
    BooleanData = 1,
    NumericData = 2,
};

// Type name to code, without regard to case; UnknownControl when no type has that name.
qint16 ControlStrToInt(const QString& name);
// Code to type name as read at start-up; empty for a code outside the table.
QString ControlIntToStr(qint16 code);
// Type-name string id (1130 to 1145) to code; 0 (Radio) for any other id.
qint16 CtlResIDToKvdCtl(int resId);
// Code to type-name string id; 0 for a code outside the table.
int CtlKvdCtlToResID(qint16 code);
// The data kind of a code; ChoiceData for a code outside the table.
DataKind GetDataType(qint16 code);
// The caption shown to the user for a code ("Check Box"); empty for a code outside the table.
QString ControlDisplayName(qint16 code);

} // namespace MDecisionDataUtil
