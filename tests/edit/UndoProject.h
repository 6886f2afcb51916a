#pragma once

#include "common/ScriptedPrompt.h"
#include "selectors/SelectorFakes.h"

#include "edit/CcDecisionTree.h"
#include "edit/CcUndo.h"
#include "edit/CvDecisionTree.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "selectors/CcCriteriaList.h"

#include <QString>

// A project with a tree, its diagram and selectors, whose edits go to one undo history.
struct UndoProject {
    CmDocument document;
    ScriptedPrompt prompt;
    FakeExplorer explorer;
    ScriptedSelectorDialogs dialogs;
    CmDecisionManager decisions;
    CvDecisionTree view{decisions, prompt};
    CcDecisionTree tree{view, prompt};
    CcCriteriaList selectors{document, prompt, explorer, &dialogs};
    CcUndo undo{decisions};

    UndoProject();

    // Controls 1..count named Control1.., placed in a row, with a line or two each; not
    // recorded.
    void addControls(int count);
    // A selector "S" with an open editor holding a small table; not recorded.
    CvCriteriaList* addSelector(const QString& name = QStringLiteral("S"));
    CvCriteriaList* editor(const QString& name = QStringLiteral("S")) const;

    // Every control's stored record and place, every selector's table: the whole state that
    // undo must give back.
    QString snapshot();
};
