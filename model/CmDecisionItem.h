#pragma once

#include "base/StorageResult.h"
#include "persist/IClassPersistable.h"

#include <QString>
#include <QStringList>
#include <QVariant>

class CmDecisionManager;
struct DecisionChange;
struct DecisionRecord;

// One decision (control): one page of a wizard asking one question through one input
// interface. It keeps an option list per data kind so that changing the interface and back
// finds the earlier lines again.
class CmDecisionItem final : public IClassPersistable {
public:
    static constexpr int ClassId = 5;

    CmDecisionItem();
    // Editors hold references to its lists and the undo history refers to it: no copies.
    CmDecisionItem(const CmDecisionItem&) = delete;
    CmDecisionItem& operator=(const CmDecisionItem&) = delete;
    ~CmDecisionItem() override = default;

    // Replaces what one stored record carries; false when it could not be read, the decision
    // then unchanged.
    bool Load(const QString& text);
    // An editor's replacement of the whole decision (the properties dialog, Clear): Load that
    // reports the records before and after. The name and number stay as held.
    bool LoadEdited(const QString& text);
    // The decision as one stored record, displayed controls numbered through its manager.
    // Storing clears Dirty: the record now holds every change.
    QString Store() const;

    // The manager that holds the decision, which tells every listener of its changes. Null for
    // a decision held by nobody (being read, cut to the clipboard, kept by an undo record): its
    // changes reach no one.
    CmDecisionManager* manager() const { return m_manager; }
    void setManager(CmDecisionManager* manager) { m_manager = manager; }
    // Tells the manager's listeners, if a manager holds the decision.
    void reportChange(const DecisionChange& change);

    const QString& Picture() const { return m_picture; }
    void setPicture(const QString& picture) { m_picture = picture; }

    // The names of the other controls shown on the same page.
    const QStringList& Group() const { return m_group; }
    // Cleans the held list of empty and self entries, then holds the given one. Given the
    // held list itself, that cleans it.
    void setGroup(const QStringList& group);

    // Group joined with "," and no blanks.
    QString strGroup() const;
    // Appends the non-empty pieces that do not name this decision to Group.
    void setStrGroup(const QString& text);

    qint16 intControl() const { return m_intControl; }
    void setIntControl(qint16 code);

    QString strControl() const;
    void setStrControl(const QString& typeName);

    const QString& Caption() const { return m_caption; }
    void setCaption(const QString& caption) { m_caption = caption; }

    const QString& Heading() const { return m_heading; }
    void setHeading(const QString& heading) { m_heading = heading; }
    // The header editor's save: sets the header and reports the change.
    void EditHeading(const QString& heading);

    qint16 kvdHelpID() const { return m_kvdHelpID; }
    void setKvdHelpID(qint16 helpId) { m_kvdHelpID = helpId; }

    const QString& kvwHelpID() const { return m_kvwHelpID; }
    void setKvwHelpID(const QString& helpId) { m_kvwHelpID = helpId; }

    qint16 intID() const { return m_intID; }
    void setIntID(qint16 id) { m_intID = id; }

    const QString& strID() const { return m_strID; }
    void setStrID(const QString& name) { m_strID = name; }

    // The option list of the current data kind.
    const QStringList& OptsAndActs() const;
    // Records the change for undo, replaces the current kind's list, refreshes the previews.
    void setOptsAndActs(const QStringList& lines);
    // Replaces the current kind's list by lines read from a record or a project: no edit, so no
    // undo record. Option groups set aside by an earlier change of interface belonged to the
    // lines replaced and are dropped with them.
    void setOptsAndActsAsRead(const QStringList& lines);

    // A rename's rewrite of the references this decision holds: its header, displayed controls
    // and the current kind's lines. Reports References when anything changed; the rename is the
    // undo step, so no undo record is made here. Lines set aside by a change of interface stay.
    // Whether anything changed.
    bool RewriteReferences(const QString& heading, const QStringList& group, const QStringList& lines);

    // The empty text in place of an empty default, except for the numeric interfaces, which
    // tell "no default" apart from a value.
    QVariant DefaultValue() const;
    void setDefaultValue(const QVariant& value) { m_defaultValue = value; }

    const QString& Min() const { return m_min; }
    void setMin(const QString& min) { m_min = min; }

    const QString& Max() const { return m_max; }
    void setMax(const QString& max) { m_max = max; }

    bool Dirty() const { return m_dirty; }
    void setDirty(bool dirty) { m_dirty = dirty; }

    int IClassPersistable_UCID() const override { return ClassId; }
    // Only the current kind's option list is read and written.
    void IClassPersistable_ReadProperties(PropertyBag& bag) override;
    void IClassPersistable_WriteProperties(PropertyBag& bag) const override;
    // The same properties as one row of a project's decision table.
    void WriteRecord(DecisionRecord& record) const;
    // Refuses an ID or a name no control can have, as a bag read does.
    StorageResult ReadRecord(const DecisionRecord& record);

private:
    QStringList& currentLines();
    QStringList& listOfKind(qint16 code);
    const QStringList& listOfKind(qint16 code) const;
    // Where the lines get adapted to a new interface; each kind keeps its own lines until then.
    void switchOptions(qint16 oldCode, qint16 newCode);
    bool namesThisDecision(const QString& name) const;
    void readOptsAndActs(const PropertyBag& bag);
    void readGroup(const PropertyBag& bag);

    // Whether the stored record lags behind; storing, a const operation, clears it.
    mutable bool m_dirty = false;
    qint16 m_kvdHelpID = 0;
    QString m_kvwHelpID;
    qint16 m_intID = 0;
    QString m_strID;
    QStringList m_choiceOptions;
    QStringList m_booleanOptions;
    QStringList m_numericOptions;
    // The choice list's option groups while its interface answers without options.
    QStringList m_setAsideOptions;
    qint16 m_intControl = 0;
    QString m_caption;
    QString m_heading;
    QString m_picture;
    QStringList m_group;
    QVariant m_defaultValue;
    QString m_min;
    QString m_max;

    CmDecisionManager* m_manager = nullptr;
};
