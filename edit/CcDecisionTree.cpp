#include "edit/CcDecisionTree.h"

#include "base/IPrompt.h"
#include "base/KvError.h"
#include "base/MCommonUtil.h"
#include "base/ProcedureBoundary.h"
#include "base/ResourceStrings.h"
#include "edit/CvDecisionTree.h"
#include "edit/IEditRecorder.h"
#include "edit/RenameReferences.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/OptionRules.h"

#include <limits>

namespace {

constexpr int CannotDeleteFirstId = 12100;
constexpr int CannotDeleteTitleId = 12101;
constexpr int TestingId = 12102;
constexpr int NameExistsId = 12104;
constexpr int ClickToPasteId = 12105;
constexpr int InvalidNameId = 12106;
constexpr int MustStartWithLetterId = 12107;
constexpr int OnlyAlphanumericId = 12108;
constexpr int errOverflow = 6;

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Every field, the lists copied: a copy shares nothing with its original.
std::unique_ptr<CmDecisionItem> copyOf(const CmDecisionItem& original)
{
    auto copy = std::make_unique<CmDecisionItem>();
    copy->setIntControl(original.intControl());
    copy->setOptsAndActsAsRead(original.OptsAndActs());
    copy->setGroup(original.Group());
    copy->setPicture(original.Picture());
    copy->setCaption(original.Caption());
    copy->setHeading(original.Heading());
    copy->setKvdHelpID(original.kvdHelpID());
    copy->setKvwHelpID(original.kvwHelpID());
    copy->setIntID(original.intID());
    copy->setStrID(original.strID());
    copy->setDefaultValue(original.DefaultValue());
    copy->setMin(original.Min());
    copy->setMax(original.Max());
    copy->setDirty(original.Dirty());
    return copy;
}

QString captionOf(const CmDecisionItem& item)
{
    return item.strID().isEmpty() ? QString::number(item.intID()) : item.strID();
}

} // namespace

CcDecisionTree::CcDecisionTree(CvDecisionTree& view, IPrompt& prompt, QObject* parent)
    : QObject(parent), m_view(view), m_prompt(prompt)
{
    connect(&view, &CvDecisionTree::diagramChanged, this, &CcDecisionTree::diagramChanged);
}

CcDecisionTree::~CcDecisionTree() = default;

void CcDecisionTree::markChanged()
{
    emit diagramChanged();
}

void CcDecisionTree::showMessage(const QString& text, int titleId)
{
    m_prompt.MessageBox(text, titleId ? LoadResString(titleId) : QString(), PromptButtons::Ok,
                        titleId ? PromptIcon::Exclamation : PromptIcon::Information);
}

void CcDecisionTree::SelectDecision(const QVariant& keyOrName)
{
    ProcedureBoundary::run("CcDecisionTree.SelectDecision", [&] {
        CmDecisionManager& decisions = m_view.decisions();
        decisions.SetSelectedDecision(keyOrName);
        if (const CmDecisionItem* selected = decisions.Selected()) {
            CanvasModel& canvas = m_view.Canvas();
            canvas.DeselectAll();
            canvas.Select(selected->intID());
            canvas.ShowEntity(selected->intID());
        }
    });
}

void CcDecisionTree::DeSelectDecision()
{
    ProcedureBoundary::run("CcDecisionTree.DeSelectDecision", [&] {
        m_view.Canvas().DeselectAll();
        m_view.decisions().setSelected(nullptr);
    });
}

CmDecisionItem* CcDecisionTree::AddNew(QPointF point, int flag, const QString& name)
{
    return ProcedureBoundary::runOr("CcDecisionTree.AddNew", static_cast<CmDecisionItem*>(nullptr), [&] {
        auto item = std::make_unique<CmDecisionItem>();
        item->setStrID(name.isEmpty() ? GetNextDecisionName() : name);
        CanvasEntity* entity = m_view.AddEntity(point, flag, item->strID());
        if (!entity)
            return static_cast<CmDecisionItem*>(nullptr);
        item->setIntID(entity->key);
        item->setIntControl(m_view.CurrentCTL());
        CmDecisionItem* added = item.get();
        if (!m_view.decisions().add(std::move(item)))
            return static_cast<CmDecisionItem*>(nullptr);
        markChanged();
        recordAdded(*added);
        return added;
    });
}

CmDecisionItem* CcDecisionTree::AddToModel(qint16 entityKey)
{
    return ProcedureBoundary::runOr("CcDecisionTree.AddToModel", static_cast<CmDecisionItem*>(nullptr), [&] {
        auto item = std::make_unique<CmDecisionItem>();
        item->setStrID(GetNextDecisionName());
        item->setIntID(entityKey);
        item->setIntControl(m_view.CurrentCTL());
        CmDecisionItem* added = item.get();
        if (!m_view.decisions().add(std::move(item)))
            return static_cast<CmDecisionItem*>(nullptr);
        markChanged();
        return added;
    });
}

CmDecisionItem* CcDecisionTree::add(QPointF point, int flag, std::unique_ptr<CmDecisionItem> item)
{
    return ProcedureBoundary::runOr("CcDecisionTree.Add", static_cast<CmDecisionItem*>(nullptr), [&] {
        if (!item || !m_view.AddEntity(point, flag, captionOf(*item), item->intID()))
            return static_cast<CmDecisionItem*>(nullptr);
        CmDecisionItem* added = item.get();
        CmDecisionManager& decisions = m_view.decisions();
        const qint16 key = item->intID();
        if (!decisions.add(std::move(item))) {
            m_view.Canvas().RemoveEntity(key);
            return static_cast<CmDecisionItem*>(nullptr);
        }
        decisions.setSelected(added);
        markChanged();
        recordAdded(*added);
        return added;
    });
}

void CcDecisionTree::recordAdded(const CmDecisionItem& item)
{
    IEditRecorder* recorder = m_view.recorder();
    if (!recorder || item.intID() <= 1)
        return;
    const CanvasEntity* entity = m_view.Canvas().Entity(item.intID());
    const QString points = entity ? MCanvasPoints::GetPtsData(entity->points()) : QString();
    recorder->AddCommand(IEditRecorder::ControlAdded, item.intID(), item.Store(), QVariant(), points);
}

void CcDecisionTree::Remove(const QVariant& key)
{
    ProcedureBoundary::run("CcDecisionTree.Remove", [&] {
        if (const CmDecisionItem* item = m_view.decisions().Item(key))
            m_view.Canvas().DeleteEntity(item->intID());
    });
}

void CcDecisionTree::RemoveSelection()
{
    ProcedureBoundary::run("CcDecisionTree.RemoveSelection", [&] {
        CanvasModel& canvas = m_view.Canvas();
        const CmDecisionManager& decisions = m_view.decisions();
        QList<qint16> keys;
        bool firstSelected = false;
        for (int index = 1; index <= decisions.Count(); ++index) {
            const qint16 key = decisions.ItemByIndex(index)->intID();
            if (!canvas.IsSelected(key))
                continue;
            if (key == 1)
                firstSelected = true;
            else
                keys.append(key);
        }
        if (firstSelected)
            showMessage(LoadResString(CannotDeleteFirstId), CannotDeleteTitleId);
        const EditStep step(m_view.recorder());
        for (const qint16 key : keys)
            canvas.DeleteEntity(key);
    });
}

void CcDecisionTree::RestoreView()
{
    m_view.Canvas().RestoreView();
}

void CcDecisionTree::ZoomExtents()
{
    m_view.Canvas().ZoomExtents();
}

void CcDecisionTree::Zoom100()
{
    ZoomExtents();
}

void CcDecisionTree::Zoom75()
{
    ZoomToPercent(75);
}

void CcDecisionTree::Zoom50()
{
    ZoomToPercent(50);
}

void CcDecisionTree::Zoom25()
{
    ZoomToPercent(25);
}

void CcDecisionTree::ZoomToPercent(int percent)
{
    m_view.Canvas().ZoomToPercent(percent);
}

void CcDecisionTree::CopyEntity()
{
    ProcedureBoundary::run("CcDecisionTree.CopyEntity", [&] {
        const CmDecisionItem* selected = m_view.decisions().Selected();
        if (!selected)
            return;
        m_clipboard = copyOf(*selected);
        emit pasteAvailable();
    });
}

void CcDecisionTree::CutEntity()
{
    ProcedureBoundary::run("CcDecisionTree.CutEntity", [&] {
        CmDecisionManager& decisions = m_view.decisions();
        const CmDecisionItem* selected = decisions.Selected();
        if (!selected)
            return;
        if (selected->intID() == 1) {
            showMessage(LoadResString(CannotDeleteFirstId), CannotDeleteTitleId);
            return;
        }
        const qint16 key = selected->intID();
        m_view.TakeLastRemoved();
        if (!m_view.Canvas().DeleteEntity(key))
            return;
        if (std::unique_ptr<CmDecisionItem> removed = m_view.TakeLastRemoved()) {
            removed->setManager(nullptr);
            m_clipboard = std::move(removed);
        }
        decisions.setSelected(nullptr);
        emit pasteAvailable();
    });
}

void CcDecisionTree::PasteEntity()
{
    ProcedureBoundary::run("CcDecisionTree.PasteEntity", [&] {
        CanvasModel& canvas = m_view.Canvas();
        if (!canvas.HasPastePoint()) {
            showMessage(LoadResString(ClickToPasteId));
            return;
        }
        if (!m_clipboard)
            return;
        const EditStep step(m_view.recorder());
        std::unique_ptr<CmDecisionItem> copy = copyOf(*m_clipboard);
        const CmDecisionManager& decisions = m_view.decisions();
        while (decisions.Exists(copy->strID()))
            copy->setStrID(GetNextID(copy->strID()));
        copy->setIntID(canvas.NextFreeKey());
        add(CanvasModel::WithinOrigin(canvas.LastMousePos(), canvas.EntitySize()), 1, std::move(copy));
        canvas.ClearPastePoint();
    });
}

void CcDecisionTree::Clear()
{
    ProcedureBoundary::run("CcDecisionTree.Clear", [&] {
        m_view.decisions().Clear();
        m_view.Refresh();
    });
}

QString CcDecisionTree::GetNextDecisionName() const
{
    const CmDecisionManager& decisions = m_view.decisions();
    qint16 n = static_cast<qint16>(decisions.Count());
    QString candidate;
    do {
        if (n == std::numeric_limits<qint16>::max())
            throw KvError(errOverflow, QStringLiteral("CcDecisionTree.GetNextDecisionName"), QStringLiteral("Overflow"));
        ++n;
        candidate = QStringLiteral("Control") + QString::number(n);
    } while (decisions.Exists(candidate));
    return candidate;
}

QString CcDecisionTree::GetNextID(const QString& name)
{
    qsizetype digits = name.size();
    while (digits > 0 && isAsciiDigit(name.at(digits - 1)))
        --digits;
    const QString tail = name.mid(digits);
    const qlonglong value = tail.isEmpty() ? 0 : tail.toLongLong();
    return name.left(digits) + QString::number(value + 1);
}

bool CcDecisionTree::IsValidName(const QString& name)
{
    // The rule a name read from a project file is held to as well.
    return MDecisionDataUtil::IsValidControlName(name);
}

bool CcDecisionTree::Rename(const QString& oldNameGiven, const QString& newNameGiven, qint16 key)
{
    // Callers pass the control's own name; it changes half way through.
    const QString oldName = oldNameGiven;
    const QString newName = newNameGiven;
    return ProcedureBoundary::runOr("CcDecisionTree.Rename", false, [&] {
        if (m_testRunning && m_testRunning()) {
            showMessage(LoadResString(TestingId));
            return false;
        }
        if (newName == oldName)
            return false;
        CmDecisionManager& decisions = m_view.decisions();
        if (decisions.Exists(newName)) {
            showMessage(LoadResString(NameExistsId));
            return false;
        }
        if (MCommonUtil::IsNumeric(newName)) {
            showMessage(LoadResString(InvalidNameId) + QLatin1Char(' ') + LoadResString(MustStartWithLetterId));
            return false;
        }
        if (!IsValidName(newName)) {
            showMessage(LoadResString(InvalidNameId) + QLatin1Char(' ') + LoadResString(OnlyAlphanumericId));
            return false;
        }
        decisions.Rename(QVariant(key), newName);
        const QString shown = newName.isEmpty() ? QString::number(key) : newName;
        m_view.Canvas().SetCaption(key, shown);
        decisions.ChangeSelector(newName.isEmpty() ? QVariant(key) : QVariant(newName));
        // Each control whose references change reports it, and the diagram relinks just those.
        RenameReferences::UpdateAll(decisions, oldName, newName);
        m_view.Refresh();
        markChanged();
        return true;
    });
}
