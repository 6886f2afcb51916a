#include "edit/CcUndo.h"

#include "base/KvError.h"
#include "base/ProcedureBoundary.h"
#include "edit/CcDecisionTree.h"
#include "edit/CvDecisionTree.h"
#include "edit/RenameReferences.h"
#include "lang/OptionLines.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "model/DecisionChange.h"
#include "model/DecisionProperties.h"
#include "model/MDecisionDataUtil.h"
#include "model/PictureLibrary.h"
#include "selectors/CcCriteriaList.h"
#include "selectors/ExternalSelectorSettings.h"
#include "selectors/ISelectorExplorer.h"
#include "selectors/SelectorStore.h"

#include <QScopedValueRollback>

namespace {

using MDecisionDataUtil::ControlNameLabel;
using MDecisionDataUtil::InputInterfaceLabel;

QVariant labelled(int labelId, const QString& text)
{
    return QVariantList{labelId, text};
}

QString positionOf(const CanvasEntity* entity)
{
    return entity ? QStringLiteral("%1,%2,1").arg(entity->centre.x()).arg(entity->centre.y()) : QString();
}

bool isSelectorKind(qint16 kind)
{
    return kind >= SelectorUndoRecord::Created && kind <= SelectorUndoRecord::PropertyRenamed;
}

} // namespace

CcUndo::CcUndo(CmDecisionManager& decisions, QObject* parent) : QObject(parent), m_decisions(decisions)
{
    connect(&decisions, &CmDecisionManager::decisionChanged, this, &CcUndo::onDecisionChanged);
    connect(&decisions, &CmDecisionManager::decisionRenamed, this, &CcUndo::onDecisionRenamed);
    connect(&decisions, &CmDecisionManager::cleared, this, &CcUndo::onOpened);
}

CcUndo::~CcUndo()
{
    setTree(nullptr);
    setSelectors(nullptr, nullptr);
}

void CcUndo::setTree(CcDecisionTree* tree)
{
    if (CcDecisionTree* previous = m_tree.data(); previous && previous->View().recorder() == this)
        previous->View().setRecorder(nullptr);
    m_tree = tree;
    if (tree)
        tree->View().setRecorder(this);
}

void CcUndo::setDocument(CmDocument* document)
{
    if (m_document)
        disconnect(m_document.data(), nullptr, this, nullptr);
    m_document = document;
    if (!document)
        return;
    connect(document, &CmDocument::opened, this, &CcUndo::onOpened);
    // A save ends what undo can reach back to.
    // A save ends the history; the timed working copy, which the author never asked for, does not.
    connect(document, &CmDocument::saved, this, &CcUndo::Clear);
}

void CcUndo::setSelectors(CcCriteriaList* selectors, ISelectorExplorer* explorer)
{
    if (m_selectors)
        m_selectors->setUndoRecorder(nullptr);
    m_selectors = selectors;
    m_explorer = explorer;
    if (selectors)
        selectors->setUndoRecorder(this);
}

void CcUndo::onOpened()
{
    Clear();
}

void CcUndo::AddCommand(qint16 kind, const QVariant& key, const QVariant& data, const QVariant& oldValue,
                        const QVariant& newValue)
{
    ProcedureBoundary::run("CcUndo.AddCommand", [&] {
        CcUndoItem item;
        item.Kind = kind;
        item.Key = key;
        item.Data = data;
        item.OldValue = oldValue;
        item.NewValue = newValue;
        record(std::move(item));
    });
}

void CcUndo::AddCommand(const SelectorUndoRecord& selector)
{
    ProcedureBoundary::run("CcUndo.AddCommand", [&] {
        CcUndoItem item;
        item.Kind = static_cast<qint16>(selector.kind);
        item.Key = selector.selector;
        item.OldValue = selector.oldText;
        item.NewValue = selector.newText;
        item.Selector = selector;
        // The grid records its own unchanged edits away; a selector command always counts.
        if (selector.kind == SelectorUndoRecord::Renamed && selector.oldText == selector.newText)
            return;
        record(std::move(item));
    });
}

void CcUndo::record(CcUndoItem item)
{
    if (m_enabled || m_changing)
        return;
    if (!item.IsGroup() && !CcUndoItem::AlwaysRecorded(item.Kind) && !isSelectorKind(item.Kind) &&
        item.OldValue == item.NewValue)
        return;
    if (m_groupDepth > 0) {
        m_group.Parts.push_back(std::move(item));
        return;
    }
    const qint16 undoBefore = m_undoCount;
    const qint16 redoBefore = m_redoCount;
    const qint16 kind = item.Kind;
    m_redo.clear();
    push(m_undo, std::move(item));
    emit commandRecorded(kind);
    // A long replacement records thousands: the menus follow the counts, not each record.
    if (m_undoCount != undoBefore || m_redoCount != redoBefore)
        emit countsChanged();
}

void CcUndo::beginGroup()
{
    if (m_groupDepth++ == 0)
        m_group = CcUndoItem();
}

void CcUndo::endGroup()
{
    if (--m_groupDepth > 0 || m_group.Parts.empty())
        return;
    CcUndoItem group = std::move(m_group);
    m_group = CcUndoItem();
    if (group.Parts.size() == 1) {
        record(std::move(group.Parts.front()));
        return;
    }
    group.Kind = group.Parts.front().Kind;
    record(std::move(group));
}

void CcUndo::push(std::deque<CcUndoItem>& stack, CcUndoItem item)
{
    if (stack.size() >= Depth)
        stack.pop_front();
    stack.push_back(std::move(item));
    m_undoCount = static_cast<qint16>(m_undo.size());
    m_redoCount = static_cast<qint16>(m_redo.size());
}

void CcUndo::UndoCommand()
{
    ProcedureBoundary::run("CcUndo.UndoCommand", [&] {
        if (m_undo.empty())
            return;
        const CcUndoItem item = std::move(m_undo.back());
        m_undo.pop_back();
        m_undoCount = static_cast<qint16>(m_undo.size());
        push(m_redo, ExecuteCommand(item));
        markChanged();
        emit countsChanged();
    });
}

void CcUndo::RedoCommand()
{
    ProcedureBoundary::run("CcUndo.RedoCommand", [&] {
        if (m_redo.empty())
            return;
        const CcUndoItem item = std::move(m_redo.back());
        m_redo.pop_back();
        m_redoCount = static_cast<qint16>(m_redo.size());
        push(m_undo, ExecuteCommand(item));
        markChanged();
        emit countsChanged();
    });
}

void CcUndo::markChanged()
{
    // Whatever the command touched (a selector grid, a picture, the diagram), undoing or redoing
    // it is a change of the project.
    if (m_document)
        m_document->MarkChanged();
}

void CcUndo::Clear()
{
    ProcedureBoundary::run("CcUndo.Clear", [&] {
        const bool had = !m_undo.empty() || !m_redo.empty();
        m_undo.clear();
        m_redo.clear();
        m_undoCount = 0;
        m_redoCount = 0;
        if (had)
            emit countsChanged();
    });
}

std::optional<qint16> CcUndo::NextUndoKind() const
{
    return m_undo.empty() ? std::nullopt : std::optional<qint16>(m_undo.back().Kind);
}

std::optional<qint16> CcUndo::NextRedoKind() const
{
    return m_redo.empty() ? std::nullopt : std::optional<qint16>(m_redo.back().Kind);
}

void CcUndo::onDecisionChanged(CmDecisionItem* item, const DecisionChange& change)
{
    if (!item)
        return;
    switch (change.what) {
    case DecisionChange::What::Property:
        // The interface arrives as its own change, below.
        if (change.property != InputInterfaceLabel)
            AddCommand(Property, item->intID(), QVariant(), change.oldValue, change.newValue);
        return;
    case DecisionChange::What::ControlType:
        AddCommand(Property, item->intID(), QVariant(),
                   labelled(InputInterfaceLabel,
                            MDecisionDataUtil::ControlIntToStr(static_cast<qint16>(change.oldValue.toInt()))),
                   labelled(InputInterfaceLabel,
                            MDecisionDataUtil::ControlIntToStr(static_cast<qint16>(change.newValue.toInt()))));
        return;
    case DecisionChange::What::OptsAndActs:
        AddCommand(OptsAndActs, item->intID(), QVariant(), change.oldValue, change.newValue);
        return;
    case DecisionChange::What::Heading:
        AddCommand(PageHeader, 0, item->intID(), change.oldValue, change.newValue);
        return;
    case DecisionChange::What::Record:
        AddCommand(ControlData, item->intID(), QVariant(), change.oldValue, change.newValue);
        return;
    case DecisionChange::What::References:
        return;
    }
}

void CcUndo::onDecisionRenamed(CmDecisionItem* item, const QString& oldName, const QString& newName)
{
    if (item)
        AddCommand(Property, item->intID(), QVariant(), labelled(ControlNameLabel, oldName),
                   labelled(ControlNameLabel, newName));
}

CcUndoItem CcUndo::ExecuteCommand(const CcUndoItem& item)
{
    return ProcedureBoundary::runOr("CcUndo.ExecuteCommand", item.Copy(), [&] {
        const QScopedValueRollback<bool> changing(m_changing, true);
        if (item.IsGroup())
            return executeGroup(item);
        CcUndoItem counter = item.Copy();
        switch (item.Kind) {
        case ControlData:
        case PageHeader:
        case OptsAndActs:
        case Property: executeControlChange(item); break;
        case ControlAdded:
        case ControlDeleted: counter = executeAddRemove(item); break;
        case ControlMoved: executeMove(item); break;
        case PictureAdded:
        case PictureRemoved:
        case PictureChanged: executePicture(item); break;
        default:
            if (isSelectorKind(item.Kind))
                counter = executeSelector(item);
            break;
        }
        return counter;
    });
}

// The parts are changed back last first; the counter group holds their counters in that order,
// so that executing it changes them again first first.
CcUndoItem CcUndo::executeGroup(const CcUndoItem& group)
{
    CcUndoItem counter;
    counter.Parts.reserve(group.Parts.size());
    for (auto part = group.Parts.crbegin(); part != group.Parts.crend(); ++part)
        counter.Parts.push_back(ExecuteCommand(*part));
    counter.Kind = counter.Parts.front().Kind;
    return counter;
}

void CcUndo::select(CmDecisionItem* item)
{
    if (!item)
        return;
    if (m_tree)
        m_tree->SelectDecision(item->intID());
    else
        m_decisions.setSelected(item);
    emit controlRestored(item);
}

void CcUndo::executeControlChange(const CcUndoItem& item)
{
    // The page header keeps its control in Data, as its editor hands it.
    const QVariant key = item.Kind == PageHeader ? item.Data : item.Key;
    CmDecisionItem* decision = m_decisions.Item(key.toInt());
    if (!decision)
        return;
    switch (item.Kind) {
    case ControlData: decision->LoadEdited(item.OldValue.toString()); break;
    case PageHeader: decision->EditHeading(item.OldValue.toString()); break;
    case OptsAndActs: decision->setOptsAndActs(MTreeViewUtil::OptsAndActsToCol(item.OldValue.toString())); break;
    default: {
        const QVariantList old = item.OldValue.toList();
        const int label = old.value(0).toInt();
        const QString text = old.value(1).toString();
        if (label == ControlNameLabel)
            executeRename(*decision, text);
        else
            MDecisionDataUtil::SetProperty(*decision, label, text);
        break;
    }
    }
    select(decision);
}

void CcUndo::executeRename(CmDecisionItem& item, const QString& name)
{
    const QString current = item.strID();
    if (m_tree) {
        m_tree->Rename(current, name, item.intID());
        return;
    }
    m_decisions.Rename(item.intID(), name);
    RenameReferences::UpdateAll(m_decisions, current, name);
}

CcUndoItem CcUndo::executeAddRemove(const CcUndoItem& item)
{
    CcUndoItem counter = item.Copy();
    const qint16 key = static_cast<qint16>(item.Key.toInt());
    if (item.Kind == ControlAdded) {
        // Kept as it is now, for a redo to put back.
        CmDecisionItem* decision = m_decisions.Item(int{key});
        if (!decision)
            return counter;
        counter.Data = decision->Store();
        counter.OldValue = QVariant();
        counter.NewValue = m_tree ? positionOf(m_tree->View().Canvas().Entity(key)) : QString();
        if (m_tree)
            m_tree->Remove(int{key});
        else
            m_decisions.Remove(int{key});
        return counter;
    }
    auto restored = std::make_unique<CmDecisionItem>();
    if (!restored->Load(item.Data.toString()))
        return counter;
    const QStringList place = item.NewValue.toString().split(QLatin1Char(','));
    const QPointF point(place.value(0).toDouble(), place.value(1).toDouble());
    const int flag = place.value(2, QStringLiteral("1")).toInt();
    CmDecisionItem* added = nullptr;
    if (m_tree) {
        added = m_tree->add(point, flag, std::move(restored));
    } else {
        added = restored.get();
        if (!m_decisions.add(std::move(restored)))
            added = nullptr;
    }
    if (added) {
        counter.Data = added->Store();
        const CanvasEntity* entity = m_tree ? m_tree->View().Canvas().Entity(added->intID()) : nullptr;
        counter.NewValue = entity ? MCanvasPoints::GetPtsData(entity->points()) : QString();
        select(added);
    }
    return counter;
}

void CcUndo::executeMove(const CcUndoItem& item)
{
    if (!m_tree)
        return;
    const QList<double> points = MCanvasPoints::ParsePtsData(item.OldValue.toString());
    if (points.size() < 4)
        return;
    const QPointF centre((points.at(0) + points.at(2)) / 2, (points.at(1) + points.at(3)) / 2);
    m_tree->View().Canvas().MoveEntity(static_cast<qint16>(item.Key.toInt()), centre);
}

void CcUndo::executePicture(const CcUndoItem& item)
{
    if (!m_document)
        return;
    PictureLibrary pictures(*m_document, m_decisions);
    const auto check = [](const StorageResult& result) {
        if (!result)
            throw KvError(0, QStringLiteral("CcUndo.ExecuteCommand"), result.message);
    };
    const QString name = item.Key.toString();
    if (item.Kind == PictureAdded) {
        check(pictures.Remove(name));
        emit pictureRemoved(name);
        return;
    }
    if (item.Kind == PictureChanged && item.OldValue.typeId() == QMetaType::QString) {
        // A rename: the picture goes back to its old name and the controls that followed it too.
        const QString current = item.NewValue.toString();
        const QString previous = item.OldValue.toString();
        check(pictures.Rename(current, previous));
        QList<qint16> followed;
        for (const QVariant& number : item.Data.toList())
            followed.append(static_cast<qint16>(number.toInt()));
        pictures.PointAt(followed, previous);
        emit pictureRenamed(current, previous);
        return;
    }
    check(pictures.Put(name, item.OldValue.toByteArray()));
    if (item.Kind == PictureRemoved)
        emit pictureAdded(name);
}

QString CcUndo::storedSelectorText(const QString& name, bool external) const
{
    CmDocument* document = m_document.data();
    if (!document)
        return {};
    SelectorStore store(document->Storage());
    QString text;
    if (external) {
        ExternalSelectorSettings settings;
        if (store.ReadExternal(name, settings))
            text = settings.ToText();
    } else {
        store.ReadText(name, text);
    }
    return text;
}

void CcUndo::restoreSelector(const SelectorUndoRecord& record)
{
    CmDocument* document = m_document.data();
    if (!document || !m_explorer)
        return;
    SelectorStore store(document->Storage());
    StorageResult written;
    if (record.external) {
        written = store.WriteExternal(ExternalSelectorSettings::FromText(record.oldText));
        if (written)
            m_explorer->AddExternalCL(record.selector);
    } else {
        written = store.WriteText(record.selector, record.oldText);
        if (written)
            m_explorer->AddCriteriaList(record.selector);
    }
    if (!written)
        throw KvError(0, QStringLiteral("CcUndo.ExecuteCommand"), written.message);
    document->setDirty(true);
}

CcUndoItem CcUndo::executeSelector(const CcUndoItem& item)
{
    CcUndoItem counter = item.Copy();
    if (!m_selectors)
        return counter;
    const SelectorUndoRecord& record = item.Selector;
    switch (record.kind) {
    case SelectorUndoRecord::Created: {
        // What it holds now goes with it, for a redo to bring back.
        if (CvCriteriaList* editor = m_selectors->Manager().Item(record.selector))
            editor->Save();
        const bool external = m_explorer && !m_explorer->CLExists(record.selector) &&
                              m_explorer->ExternalCLExists(record.selector);
        counter.Selector.oldText = storedSelectorText(record.selector, external);
        counter.Selector.external = external;
        m_selectors->DeleteList({record.selector});
        break;
    }
    case SelectorUndoRecord::Deleted: restoreSelector(record); break;
    case SelectorUndoRecord::Renamed: m_selectors->RenameList(record.newText, record.oldText); break;
    case SelectorUndoRecord::ColumnInserted:
    case SelectorUndoRecord::RowInserted: {
        m_selectors->EditList(record.selector);
        CvCriteriaList* editor = m_selectors->Manager().Item(record.selector);
        if (editor)
            counter.Selector.cells = record.kind == SelectorUndoRecord::ColumnInserted ? editor->TakeColumn(record.column)
                                                                                     : editor->TakeRow(record.row);
        break;
    }
    default: executeGrid(record); break;
    }
    counter.OldValue = counter.Selector.oldText;
    counter.NewValue = counter.Selector.newText;
    return counter;
}

void CcUndo::executeGrid(const SelectorUndoRecord& record)
{
    m_selectors->EditList(record.selector);
    CvCriteriaList* editor = m_selectors->Manager().Item(record.selector);
    if (!editor)
        return;
    switch (record.kind) {
    case SelectorUndoRecord::ColumnDeleted: editor->PutColumn(record.column, record.cells); break;
    case SelectorUndoRecord::RowDeleted: editor->PutRow(record.row, record.cells); break;
    case SelectorUndoRecord::CellEdited: editor->PutCell(record.row, record.column, record.oldText); break;
    case SelectorUndoRecord::PropertyRenamed: editor->PutCell(0, record.column, record.oldText); break;
    default: break;
    }
}
