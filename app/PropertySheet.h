#pragma once

#include "model/IDecisionPropertyOwner.h"

#include <QString>
#include <QStringList>

#include <vector>

class CcUndo;
class CmDecisionItem;
class CmDecisionManager;

// What the properties window shows and writes for one control: its rows in order, the editor
// each wants, the choices of the lists, and the checks made before a value is written. Every
// write goes through the decision's named properties, and one write is one step of the undo
// history however many records it makes (a rename changes every reference too).
class PropertySheet {
public:
    enum class Editor {
        Fixed,     // shown, never written here
        Text,
        Interface, // one of the sixteen interface names
        Controls,  // a "," list of control names
        Picture,   // empty or one of the project's pictures
        Size,      // one of the three size words
    };
    struct Row {
        int labelId;
        Editor editor;
    };
    struct Outcome {
        bool accepted = false;
        // Why the value was refused; empty when accepted, or when whoever refused it said so.
        QString message;
    };

    // undo may be null: nothing is grouped then. The ID, name, top, left and size go to the
    // owners given.
    PropertySheet(CmDecisionManager& decisions, CcUndo* undo, const PropertyOwners& owners);

    static const std::vector<Row>& Rows();
    static Editor EditorOf(int labelId);
    // The list of a combo editor: the interface names, the size words, or no picture and then
    // the project's pictures. Empty for the other editors.
    static QStringList Choices(Editor editor, const QStringList& pictures);

    QString Value(const CmDecisionItem& decision, int labelId) const;
    // Every control the decision may display, in decision order: all numbered above zero
    // but itself.
    QStringList DisplayableNames(const CmDecisionItem& decision) const;
    // The value the control already has is accepted without a write.
    Outcome Apply(CmDecisionItem& decision, int labelId, const QString& value);

private:
    QString numberRefusal(const CmDecisionItem& decision, int labelId, const QString& value) const;
    // The names as written back ("," and no blanks, each once); the refusal names the first
    // name that is no control the decision may display.
    QString displayedRefusal(const CmDecisionItem& decision, const QString& value, QString& written) const;

    CmDecisionManager& m_decisions;
    CcUndo* m_undo;
    PropertyOwners m_owners;
};
