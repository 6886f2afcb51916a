#pragma once

#include "selectors/CcCriteriaList.h"
#include "views/QtSelectorDialogs.h"

#include <QPointer>

class CmDocument;
class CView;
class IPrompt;
class ISelectorExplorer;
class CcEdit;
class QMdiArea;

// The selector commands with their windows, for the main window to hold: the editors open in
// the document area, the dialogs over the main window.
class SelectorWorkspace {
public:
    SelectorWorkspace(QMdiArea& area, CmDocument& document, IPrompt& prompt, ISelectorExplorer& explorer,
                      CView* view);
    ~SelectorWorkspace();
    SelectorWorkspace(const SelectorWorkspace&) = delete;
    SelectorWorkspace& operator=(const SelectorWorkspace&) = delete;

    CcCriteriaList& Commands() { return m_commands; }
    QtSelectorDialogs& Dialogs() { return m_dialogs; }

    // Runs the selector command of a tool id (the 900s, import and export of the File menu, and
    // the edit commands while a selector has the focus); false for any other id.
    bool RunTool(int id);
    // Whether the tool's command has something to work on now.
    bool ToolAllowed(int id) const;

private:
    const ISelectorExplorer& m_explorer;
    CcCriteriaList m_commands;
    QtSelectorDialogs m_dialogs;
    // The edit commands that record the selectors' edits, told when the selectors go.
    QPointer<CcEdit> m_edit;
};
