#include "app/CApplication.h"

#include "app/CController.h"
#include "app/CModel.h"
#include "app/CView.h"
#include "app/ErrorLog.h"
#include "app/IWindowHost.h"
#include "app/KvError.h"
#include "persist/PropertyBag.h"

std::unique_ptr<CApplication> gApp;

CApplication::CApplication(IPrompt& prompt, IWindowHost& windows)
    : m_prompt(prompt), m_windows(windows)
{
    m_controller = std::make_unique<CController>();
    m_view = std::make_unique<CView>(windows);
    m_model = std::make_unique<CModel>();
}

CApplication::~CApplication()
{
    m_controller.reset();
    m_view.reset();
    m_model.reset();
}

void CApplication::Init()
{
    try {
        m_controller->Init();
        m_view->Init();
        m_model->Init();
        m_view->HideProgressBar();
    } catch (const std::exception& error) {
        ReportError(error, QStringLiteral("CApplication.Init"));
    }
    m_windows.CloseSplash();
}

ClassInstance CApplication::IClassLookup_CreateClass(int classId)
{
    switch (classId) {
    case CApplication::ClassId: return ClassInstance::live(this);
    case CModel::ClassId: return ClassInstance::live(m_model.get());
    case CView::ClassId: return ClassInstance::live(m_view.get());
    default: break;
    }
    if (ClassInstance modelClass = m_model->CreateClass(classId))
        return modelClass;
    return m_view->CreateClass(classId);
}

void CApplication::IClassPersistable_WriteProperties(PropertyBag& bag) const
{
    bag.WriteObject(QStringLiteral("Model"), *m_model);
    bag.WriteObject(QStringLiteral("View"), *m_view);
}

void CApplication::IClassPersistable_ReadProperties(PropertyBag& bag)
{
    // Both are singletons: reading them fills the live objects through the lookup.
    for (const char* name : {"Model", "View"}) {
        try {
            bag.ReadObject(QLatin1String(name));
        } catch (const std::exception& error) {
            ReportError(error, QStringLiteral("CApplication.IClassPersistable_ReadProperties"));
        }
    }
}
