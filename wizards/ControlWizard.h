#pragma once

#include "wizards/WizardTree.h"

#include <QPointF>
#include <QString>
#include <QStringList>

#include <memory>

class CcDecisionTree;
class CcUndo;
class CmDecisionItem;
class CmDecisionManager;

// The control wizard: its bundled tree asks for the name, caption, page header, kind of answer
// and the answers; a finished run becomes one new control, added as one undo step.
class ControlWizard {
public:
    struct NewControl {
        qint16 type = 0;
        QString name; // empty: the next free name
        QString caption;
        QString header;
        QStringList lines;
        // Answers the kind of control cannot hold (a numeric control's answers must be ranges).
        QStringList refused;
    };

    // Null with the reason when the bundled tree cannot be read.
    static std::unique_ptr<WizardTree> tree(QString& problem);
    static NewControl read(const WizardTree::Answers& answers);
    // Why the control cannot be added to decisions; empty when it can.
    static QString problem(const NewControl& control, const CmDecisionManager& decisions);
    // Adds the control at point and selects it; null when the diagram refused it.
    static CmDecisionItem* add(const NewControl& control, CcDecisionTree& tree, CcUndo& undo, QPointF point);

private:
    static qint16 typeOf(const QString& answer);
    static bool takesOwnOptions(qint16 type);
};
