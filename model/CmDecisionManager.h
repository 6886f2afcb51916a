#pragma once

#include "model/CmNameLookUp.h"
#include "model/ControlSelector.h"
#include "model/DecisionChange.h"
#include "model/DecisionDictionary.h"
#include "persist/IClassPersistable.h"

#include <QObject>
#include <QStringList>
#include <QVariant>

#include <memory>

class CmDecisionItem;
class IPrompt;

// Every decision of the open project, keyed by upper-cased name ("_" and the number for an
// unnamed one), found by name or by number, with the Control Selector kept in step and the
// current selection.
//
// A value that names a decision is numeric when it is a number variant or a text that spells a
// decimal number (" 12", "-3", "1.5e1"; rounded half to even); a number is taken through the
// name lookup. Anything else is a name. Control names begin with a letter, so a name is never
// mistaken for a number.
class CmDecisionManager final : public QObject, public IClassPersistable {
    Q_OBJECT

public:
    static constexpr int ClassId = 4;

    explicit CmDecisionManager(QObject* parent = nullptr);
    ~CmDecisionManager() override;
    CmDecisionManager(const CmDecisionManager&) = delete;
    CmDecisionManager& operator=(const CmDecisionManager&) = delete;

    // Refuses a number or key already held (the number is logged); a refused item is dropped.
    bool add(std::unique_ptr<CmDecisionItem> item);
    // Hands the removed decision back: a cut keeps it on the clipboard. Null when none is held.
    std::unique_ptr<CmDecisionItem> Remove(const QVariant& value);
    // Keeps the decision's position; an empty name makes the key "_" and the number.
    void Rename(const QVariant& oldValue, const QString& newName);
    bool Exists(const QVariant& value) const;
    // -1 shows no current entry.
    void ChangeSelector(const QVariant& value);
    void Clear();
    // A numeric value below 0 clears the selection.
    void SetSelectedDecision(const QVariant& value);
    QString GetKey(const QVariant& value) const;
    // A new empty collection: no decisions, no numbers, no selection, an empty selector.
    void Init();
    CmDecisionItem* Item(const QVariant& value) const;
    int Count() const { return static_cast<int>(m_decisions.count()); }

    CmDecisionItem* Selected() const { return m_selected; }
    void setSelected(CmDecisionItem* item);

    QStringList Keys() const { return m_decisions.keys(); }
    // Counted from 1; null outside 1 .. Count().
    CmDecisionItem* ItemByIndex(int index) const;
    qint16 LastIntID() const { return m_lastIntID; }

    // Set by the editing operations while they change several decisions at once.
    bool Changing() const { return m_changing; }
    void setChanging(bool changing) { m_changing = changing; }

    // True while the manager moves the Control Selector itself, so that the selector's change
    // handler does not select again.
    bool SetSelector() const { return m_setSelector; }
    void setSetSelector(bool setting) { m_setSelector = setting; }

    // Position from 1 of the selector entry showing the decision's name; 0 when none does.
    int GetCBIndex(const QVariant& value) const;
    void AddToDecisionSelector(const CmDecisionItem& item);

    ControlSelector& controlSelector() { return m_selector; }
    const ControlSelector& controlSelector() const { return m_selector; }
    const CmNameLookUp& nameLookUp() const { return m_nameLookUp; }

    // Who is told when a stored record cannot be read; may be null.
    IPrompt* prompt() const { return m_prompt; }
    void setPrompt(IPrompt* prompt) { m_prompt = prompt; }

    // Called by a held decision when an editor changed it.
    void reportChange(CmDecisionItem& item, const DecisionChange& change);

    int IClassPersistable_UCID() const override { return ClassId; }
    // Rebuilds the collection, the name lookup and the selector from the bag. The bag's class
    // lookup must create a CmDecisionItem for its class id.
    void IClassPersistable_ReadProperties(PropertyBag& bag) override;
    // The FinishLink pseudo decision is left out; its position stays as a gap.
    void IClassPersistable_WriteProperties(PropertyBag& bag) const override;

    // The key of a decision as held: its upper-cased name, or "_" and its number.
    static QString keyFor(const QString& name, qint16 number);

signals:
    // Any number of listeners follow the decisions: the windows, the undo history, the previews.
    void decisionAdded(CmDecisionItem* item);
    // Sent once the decision is detached, before it is handed back; it reports nothing after.
    void decisionRemoved(CmDecisionItem* item);
    void decisionRenamed(CmDecisionItem* item, const QString& oldName, const QString& newName);
    void decisionChanged(CmDecisionItem* item, const DecisionChange& change);
    // Every decision went at once (a new or opened project, or a read).
    void cleared();
    // The properties window, the previews, the diagram selection and the format toolbar follow.
    void selectedChanged(CmDecisionItem* item);
    // A decision was removed: the document has unsaved changes.
    void documentChanged();
    // While a project is read: percent of the stored positions done, sent when it moves.
    void loadProgress(int percent);

private:
    // Key to selector position, checked against the name the entry shows.
    int selectorPositionOf(const QString& key) const;
    // Moves the selector's current entry with the guard flag up.
    void showInSelector(int position);
    void insert(const QString& key, std::unique_ptr<CmDecisionItem> item);
    void reportTakenNumber(qint16 number) const;
    qint16 highestNumberBelow(qint16 number) const;
    bool isStored(qsizetype index) const;
    void writeEntries(PropertyBag& bag) const;
    void writeTable(PropertyBag& bag) const;
    void readEntries(PropertyBag& bag);
    void readTable(PropertyBag& bag);
    void readEntry(PropertyBag& bag, int position);

    // Remembers the upper-case key of each name the collection was given, so that looking a
    // control up by its name as written costs no copy. Upper-casing never changes, so nothing
    // here goes stale; names that read as numbers are left out, as they are looked up by number.
    void rememberKeyOf(const QString& name, const QString& key);

    CmNameLookUp m_nameLookUp;
    QHash<QString, QString> m_keyOfName;
    DecisionDictionary m_decisions;
    ControlSelector m_selector;
    CmDecisionItem* m_selected = nullptr;
    IPrompt* m_prompt = nullptr;
    qint16 m_lastIntID = 0;
    bool m_setSelector = false;
    bool m_changing = false;
};
