#include "app/CModel.h"

#include "app/ErrorLog.h"
#include "model/CmDocument.h"
#include "persist/PropertyBag.h"

CModel::CModel() : m_document(std::make_unique<CmDocument>()) {}

CModel::~CModel() = default;

void CModel::Init()
{
}

void CModel::Clear()
{
}

ClassInstance CModel::CreateClass(int classId)
{
    switch (classId) {
    case CmDocument::ClassId: return ClassInstance::live(m_document.get());
    default: return {};
    }
}

void CModel::IClassPersistable_WriteProperties(PropertyBag& bag) const
{
    bag.WriteObject(QStringLiteral("Document"), *m_document);
}

void CModel::IClassPersistable_ReadProperties(PropertyBag& bag)
{
    try {
        bag.ReadObject(QStringLiteral("Document"));
    } catch (const std::exception& error) {
        ReportError(error, QStringLiteral("CModel.IClassPersistable_ReadProperties"));
    }
}
