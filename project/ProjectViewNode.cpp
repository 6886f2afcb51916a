#include "project/ProjectViewNode.h"

#include "base/ProcedureBoundary.h"
#include "persist/PropertyBag.h"
#include "project/CvProject.h"
#include "project/CvProperties.h"

void ProjectViewNode::IClassPersistable_WriteProperties(PropertyBag& bag) const
{
    bag.WriteProperty(QStringLiteral("ActiveForm"), m_activeForm, 0);
    bag.WriteObject(QStringLiteral("Project"), m_explorer);
    bag.WriteObject(QStringLiteral("Properties"), m_properties);
}

void ProjectViewNode::IClassPersistable_ReadProperties(PropertyBag& bag)
{
    ProcedureBoundary::run("CView.IClassPersistable_ReadProperties", [&] {
        m_activeForm = bag.ReadProperty(QStringLiteral("ActiveForm"), 0).toInt();
        bag.ReadObject(QStringLiteral("Project"));
        bag.ReadObject(QStringLiteral("Properties"));
    });
}
