#include "app/CModel.h"

CModel::CModel() = default;
CModel::~CModel() = default;

void CModel::Init()
{
}

void CModel::Clear()
{
}

ClassInstance CModel::CreateClass(int)
{
    return {};
}

void CModel::IClassPersistable_ReadProperties(PropertyBag&)
{
}

void CModel::IClassPersistable_WriteProperties(PropertyBag&) const
{
}
