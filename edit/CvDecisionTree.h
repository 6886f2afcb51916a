#pragma once

#include "edit/CanvasModel.h"

#include <QObject>
#include <QPointF>
#include <QString>

#include <memory>

class CmDecisionItem;
class CmDecisionManager;
class IEditRecorder;
class IPrompt;

// The link preferences of the Add Link tab: they preset the link dialog, and each answered
// dialog leaves its answer as the preferences for the next link.
struct LinkPreferences {
    bool LinkAlways = true;
    QString LinkOption;
    QString LinkExpr;
};

// What the author answered in the link dialog; empty texts where the check box was not set.
struct LinkAnswer {
    bool Cancelled = true;
    QString LinkOption;
    QString LinkExpr;
};

// The link dialog as the diagram sees it: shown for the source control, answered modally.
class ILinkDialog {
public:
    virtual ~ILinkDialog() = default;
    virtual LinkAnswer AskLink(const CmDecisionItem& source, const LinkPreferences& preferences) = 0;

protected:
    ILinkDialog() = default;
    ILinkDialog(const ILinkDialog&) = default;
    ILinkDialog& operator=(const ILinkDialog&) = default;
};

// The decision-tree view without its window: the canvas, the handlers of its delete, move and
// link-complete events, the interface type that new controls get and the link preferences.
// The diagram window draws its canvas and forwards the author's gestures here.
class CvDecisionTree final : public QObject {
    Q_OBJECT

public:
    CvDecisionTree(CmDecisionManager& decisions, IPrompt& prompt, QObject* parent = nullptr);
    ~CvDecisionTree() override;

    CanvasModel& Canvas() { return m_canvas; }
    const CanvasModel& Canvas() const { return m_canvas; }
    CmDecisionManager& decisions() const { return m_decisions; }

    // An entity at (x, y) captioned name; key 0 takes the canvas's next free key.
    CanvasEntity* AddEntity(QPointF point, int flag, const QString& name, qint16 key = 0);

    // May be null: nothing is recorded then.
    IEditRecorder* recorder() const { return m_recorder; }
    void setRecorder(IEditRecorder* recorder) { m_recorder = recorder; }
    void setLinkDialog(ILinkDialog* dialog) { m_linkDialog = dialog; }

    LinkPreferences& Preferences() { return m_preferences; }

    // The interface type code a new control gets.
    qint16 CurrentCTL() const { return m_currentCtl; }
    void setCurrentCTL(qint16 code) { m_currentCtl = code; }
    // The interface-type tool chosen on the toolbar (its resource id).
    void setControlTool(int toolId);

    bool DiagramOpen() const { return m_diagramOpen; }
    void setDiagramOpen(bool open) { m_diagramOpen = open; }

    // The canvas's delete event: the first control stays; otherwise the control is removed
    // and recorded for undo. False when refused.
    bool mCustomBlk_Delete(qint16 key);
    // The canvas's link-complete event: asks the link dialog and writes the go line.
    void mCustomBlk_LinkComplete(qint16 source, qint16 destination);

    // The control the last delete took out of the manager, for a cut to keep.
    std::unique_ptr<CmDecisionItem> TakeLastRemoved();

    void Refresh() { emit refreshRequested(); }

signals:
    // The diagram changed: the document has unsaved changes.
    void diagramChanged();
    void refreshRequested();
    // The links shown are to be derived again on the next tick of the redraw timer.
    void linkRedrawRequested();

private:
    void onEntityMoved(qint16 key, const QString& oldPoints);

    CmDecisionManager& m_decisions;
    IPrompt& m_prompt;
    CanvasModel m_canvas;
    IEditRecorder* m_recorder = nullptr;
    ILinkDialog* m_linkDialog = nullptr;
    LinkPreferences m_preferences;
    qint16 m_currentCtl = 0;
    bool m_diagramOpen = false;
    std::unique_ptr<CmDecisionItem> m_lastRemoved;
};
