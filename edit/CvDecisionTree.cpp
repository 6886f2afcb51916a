#include "edit/CvDecisionTree.h"

#include "base/IPrompt.h"
#include "base/ProcedureBoundary.h"
#include "base/ResourceStrings.h"
#include "edit/IEditRecorder.h"
#include "edit/MLinkUtil.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/DecisionDataConversion.h"
#include "model/MDecisionDataUtil.h"

namespace {

constexpr int CannotDeleteFirstId = 12100;
constexpr int CannotDeleteTitleId = 12101;

} // namespace

CvDecisionTree::CvDecisionTree(CmDecisionManager& decisions, IPrompt& prompt, QObject* parent)
    : QObject(parent), m_decisions(decisions), m_prompt(prompt), m_canvas(decisions)
{
    m_canvas.setDeleteHandler([this](qint16 key) { return mCustomBlk_Delete(key); });
    m_canvas.setLinkHandler([this](qint16 source, qint16 destination) { mCustomBlk_LinkComplete(source, destination); });
    connect(&m_canvas, &CanvasModel::entityMoved, this, &CvDecisionTree::onEntityMoved);
    connect(&m_canvas, &CanvasModel::changed, this, &CvDecisionTree::diagramChanged);
}

CvDecisionTree::~CvDecisionTree()
{
    m_canvas.setDeleteHandler({});
    m_canvas.setLinkHandler({});
}

CanvasEntity* CvDecisionTree::AddEntity(QPointF point, int, const QString& name, qint16 key)
{
    CanvasEntity* entity = m_canvas.AddEntity(point, key);
    if (entity && !name.isEmpty())
        m_canvas.SetCaption(entity->key, name);
    return entity;
}

void CvDecisionTree::setControlTool(int toolId)
{
    m_currentCtl = MDecisionDataUtil::CtlResIDToKvdCtl(toolId);
}

bool CvDecisionTree::mCustomBlk_Delete(qint16 key)
{
    return ProcedureBoundary::runOr("CvDecisionTree.mCustomBlk_Delete", false, [&] {
        if (key == 1) {
            m_prompt.MessageBox(LoadResString(CannotDeleteFirstId), LoadResString(CannotDeleteTitleId),
                                PromptButtons::Ok, PromptIcon::Exclamation);
            return false;
        }
        CmDecisionItem* item = m_decisions.Item(QVariant(QString::number(key)));
        if (!item)
            return true;
        if (m_decisions.Selected() == item)
            m_decisions.setSelected(nullptr);
        if (m_recorder) {
            const CanvasEntity* entity = m_canvas.Entity(key);
            const QString place = entity ? QStringLiteral("%1,%2,1").arg(entity->centre.x()).arg(entity->centre.y())
                                         : QString();
            m_recorder->AddCommand(IEditRecorder::ControlDeleted, key, item->Store(), QVariant(), place);
        }
        m_lastRemoved = m_decisions.Remove(QVariant(QString::number(key)));
        emit diagramChanged();
        return true;
    });
}

std::unique_ptr<CmDecisionItem> CvDecisionTree::TakeLastRemoved()
{
    return std::move(m_lastRemoved);
}

void CvDecisionTree::mCustomBlk_LinkComplete(qint16 source, qint16 destination)
{
    ProcedureBoundary::run("CvDecisionTree.mCustomBlk_LinkComplete", [&] {
        CmDecisionItem* from = m_decisions.Item(QVariant(QString::number(source)));
        if (!from || !m_linkDialog) {
            m_canvas.RemoveDrawnLink(source, destination);
            return;
        }
        const LinkAnswer answer = m_linkDialog->AskLink(*from, m_preferences);
        m_canvas.RemoveDrawnLink(source, destination);
        if (answer.Cancelled)
            return;
        // The next link offers the same conditions.
        m_preferences = {answer.LinkOption.isEmpty() && answer.LinkExpr.isEmpty(), answer.LinkOption, answer.LinkExpr};
        QString target = MDecisionDataUtil::GetDecisionName(QString::number(destination), m_decisions);
        if (target.isEmpty())
            target = MDecisionDataUtil::GetDecisionName(destination, m_decisions);
        from->setOptsAndActs(MLinkUtil::AddLinkLines(from->OptsAndActs(), answer.LinkOption, answer.LinkExpr, target));
        emit linkRedrawRequested();
    });
}

void CvDecisionTree::onEntityMoved(qint16 key, const QString& oldPoints)
{
    if (!m_recorder)
        return;
    if (const CanvasEntity* entity = m_canvas.Entity(key))
        m_recorder->AddCommand(IEditRecorder::ControlMoved, key, QVariant(), oldPoints,
                               MCanvasPoints::GetPtsData(entity->points()));
}
