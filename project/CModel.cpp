#include "project/CModel.h"

#include "base/ErrorLog.h"
#include "base/ProcedureBoundary.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "model/CmNameLookUp.h"
#include "persist/PropertyBag.h"

#include <QObject>


CModel::CModel()
    : m_decisions(std::make_unique<CmDecisionManager>()), m_document(std::make_unique<CmDocument>())
{
    CmDocument* document = m_document.get();
    QObject::connect(m_decisions.get(), &CmDecisionManager::documentChanged, document,
                     [document] { document->setDirty(true); });
}

CModel::~CModel()
{
    m_decisions.reset();
    m_document.reset();
}

void CModel::Init()
{
    ProcedureBoundary::run("CModel.Init", [&] {
        m_decisions->Init();
    });
}

void CModel::Clear()
{
    ProcedureBoundary::run("CModel.Clear", [&] {
        m_decisions->Clear();
    });
}

ClassInstance CModel::CreateClass(int classId)
{
    switch (classId) {
    case CmDocument::ClassId: return ClassInstance::live(m_document.get());
    case CmDecisionManager::ClassId: return ClassInstance::live(m_decisions.get());
    case CmDecisionItem::ClassId: return ClassInstance::created(std::make_unique<CmDecisionItem>());
    case CmNameLookUp::ClassId: return ClassInstance::created(std::make_unique<CmNameLookUp>());
    default: return {};
    }
}

void CModel::IClassPersistable_WriteProperties(PropertyBag& bag) const
{
    bag.WriteObject(QStringLiteral("DecisionManager"), *m_decisions);
    bag.WriteObject(QStringLiteral("Document"), *m_document);
}

void CModel::IClassPersistable_ReadProperties(PropertyBag& bag)
{
    for (const char* name : {"DecisionManager", "Document"}) {
        ProcedureBoundary::run("CModel.IClassPersistable_ReadProperties", [&] {
            bag.ReadObject(QLatin1String(name));
        });
    }
}
