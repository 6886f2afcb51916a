#pragma once

#include "wizards/WizardTree.h"

#include <QString>
#include <QStringList>

#include <memory>

class CmDecisionManager;

// The action wizard: its bundled tree asks for the control, the answer (or the pre-actions), the
// kind of action with what it needs, and an optional condition; a finished run becomes the
// action lines written under that answer, as one undo step.
class ActionWizard {
public:
    struct NewAction {
        QString control;
        QString option; // an option's text, or the pre-actions' name
        QStringList lines;
        // Why nothing can be written; empty when the lines are ready.
        QString problem;
    };

    // The bundled tree with lists of the project's controls, their answers and the selectors
    // named, offering the current control first (the one selected; none: the first); null with
    // the reason when it cannot be read.
    static std::unique_ptr<WizardTree> tree(const CmDecisionManager& project, const QStringList& selectors,
                                            const QString& current, QString& problem);
    static NewAction read(const WizardTree::Answers& answers, const CmDecisionManager& project);
    // The text the decision takes its new actions in: the option, then each line, TAB-separated.
    static QString saveText(const NewAction& action);
    // False when the control or its answer is gone.
    static bool add(const NewAction& action, CmDecisionManager& project);

private:
    static QString actionLine(const WizardTree::Answers& answers, QString& problem);
    static QString conditionLine(const WizardTree::Answers& answers, QString& problem);
    static QString sortLine(const WizardTree::Answers& answers, QString& problem);
    // A value for !SET and !DEFAULT: a text in quotes, a number or an expression as typed.
    static QString valueText(const QString& value);
};
