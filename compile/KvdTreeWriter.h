#pragma once

#include "base/StorageResult.h"
#include "persist/StorageNode.h"

#include <QString>
#include <QStringList>

#include <optional>

class CmDecisionItem;
class KvwNotation;
class NewIntIdTable;
class StorageDocument;

// The desktop tree file (.kvd): a storage document like the project, holding
//   \DecisionTreeData\Basic\RulesFile   "BEGIN", then one stored decision record per control in
//                                       decision order, every line ending CR LF;
//   \Databases\<name>                   each internal selector's table, as the project holds it;
//   \Databases\External\<name>          external selectors' settings, the password line empty;
//   \CallingApp                         the calling-application key, for file type 3 only;
// and the project's pictures and document properties; no DevFile and no CustomBlock node.
// In the records the controls are numbered 1, 2, 3, ... in record order: field 1, the displayed
// controls, numeric !GO targets and every numeric [[N]] (in actions and the page header) use the
// new numbers; references by name stay names. Check and Command comparisons read "=TRUE" or
// "=FALSE" (see KvwNotation::ConvertBooleanControlRef).
class KvdTreeWriter {
public:
    static const QString CallingAppNode;

    // The notation must be set to the desktop runtime.
    KvdTreeWriter(const NewIntIdTable& numbers, const KvwNotation& notation);

    QString RulesText() const;
    // One control's record in the rules text.
    QString Record(const CmDecisionItem& decision) const;
    // An option-and-action line in the rules text's form (before the record's own conversions).
    QString ConvertLine(const QString& line) const;

    // Fills target (an open, empty document) with the project's nodes, pictures and properties,
    // less the development data and the diagram, then writes the rules text and the calling
    // application key (none: the node is left out).
    StorageResult WriteInto(StorageDocument& target, const StorageDocument& project,
                            const std::optional<QString>& callingAppKey) const;

    // 20 characters: the document name without its extension, letters and digits only
    // ("mvcUnknown" when nothing is left), cut or padded with "_" to 15; "-"; and the four
    // upper-case hexadecimal digits of the CRC-16 of the whole name in UTF-8, so that two
    // documents whose names share their first letters still differ.
    static QString CreateCallingAppKey(const QString& documentName);

private:
    const NewIntIdTable& m_numbers;
    const KvwNotation& m_notation;
};
