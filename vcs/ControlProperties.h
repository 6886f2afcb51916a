#pragma once

#include "vcs/ProjectData.h"

struct DecisionRecord;

// The properties of a control in the text form: one key a property, written in this order and
// only when it differs from a new control's. A default value keeps its kind: "default" holds a
// text, "default number" a number.
namespace ControlProperties {

inline const QString Interface = QStringLiteral("interface");
inline const QString Caption = QStringLiteral("caption");
inline const QString Header = QStringLiteral("header");
inline const QString Picture = QStringLiteral("picture");
inline const QString Shows = QStringLiteral("shows");
inline const QString DefaultText = QStringLiteral("default");
inline const QString DefaultNumber = QStringLiteral("default number");
inline const QString Minimum = QStringLiteral("minimum");
inline const QString Maximum = QStringLiteral("maximum");
inline const QString HelpId = QStringLiteral("help id");
inline const QString HelpUrl = QStringLiteral("help url");
// The option, action and help lines, as the diff and the merge name them.
inline const QString Lines = QStringLiteral("options and actions");
inline const QString Name = QStringLiteral("name");

// Every key in its written order.
const QStringList& Keys();
// Position of the key in Keys(); -1 for no key of a control.
int Order(const QString& key);

ControlData FromRecord(const DecisionRecord& record);
// The record a project stores for the control.
DecisionRecord ToRecord(const ControlData& control);

// A number as the text form writes it: the shortest text that reads back to the same value.
QString NumberText(double value);

} // namespace ControlProperties
