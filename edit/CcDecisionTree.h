#pragma once

#include <QObject>
#include <QPointF>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

class CmDecisionItem;
class CmDecisionManager;
class CvDecisionTree;
class IPrompt;

// Every structural change to the tree: selecting, adding, removing, cutting, copying and
// pasting a control, renaming one with every reference to it, and zooming the diagram.
class CcDecisionTree final : public QObject {
    Q_OBJECT

public:
    CcDecisionTree(CvDecisionTree& view, IPrompt& prompt, QObject* parent = nullptr);
    ~CcDecisionTree() override;

    CvDecisionTree& View() const { return m_view; }

    // Asked by Rename; true while a test of the tree runs.
    void setTestRunning(std::function<bool()> running) { m_testRunning = std::move(running); }

    void SelectDecision(const QVariant& keyOrName);
    void DeSelectDecision();
    // A new control at (x, y) named name, or the next free "Control" name when it is empty.
    CmDecisionItem* AddNew(QPointF point, int flag, const QString& name = QString());
    // The control for an entity the author drew with the add-control tool.
    CmDecisionItem* AddToModel(qint16 entityKey);
    // Puts a whole control (a pasted copy, one restored by undo) on the canvas and into the tree.
    CmDecisionItem* add(QPointF point, int flag, std::unique_ptr<CmDecisionItem> item);
    void Remove(const QVariant& key);
    // Deletes every selected control, in the tree's order, as one step of the undo history.
    // The first control cannot go: that is said once, before anything is deleted.
    void RemoveSelection();
    void RestoreView();
    void ZoomExtents();
    void Zoom100();
    void Zoom75();
    void Zoom50();
    void Zoom25();
    void CopyEntity();
    void CutEntity();
    void PasteEntity();
    void Clear();
    // False when refused (a message told why) or nothing changed.
    bool Rename(const QString& oldName, const QString& newName, qint16 key);

    const CmDecisionItem* clipboard() const { return m_clipboard.get(); }

    // "Control" and the first free number from the count of controls on.
    QString GetNextDecisionName() const;
    // The name with its numeric tail one higher: Control3 gives Control4, Price gives Price1.
    static QString GetNextID(const QString& name);
    // At least one character, an ASCII letter first, then ASCII letters, digits and "_".
    static bool IsValidName(const QString& name);

signals:
    // Paste has something to paste from now on (tool 205).
    void pasteAvailable();
    // The tree changed: the document has unsaved changes.
    void diagramChanged();

private:
    void markChanged();
    void showMessage(const QString& text, int titleId = 0);
    void recordAdded(const CmDecisionItem& item);
    void ZoomToPercent(int percent);
    void updateReferences(const QString& oldName, const QString& newName);

    CvDecisionTree& m_view;
    IPrompt& m_prompt;
    std::unique_ptr<CmDecisionItem> m_clipboard;
    std::function<bool()> m_testRunning;
};
