#include "views/PreviewInBrowserTools.h"

#include "app/CApplication.h"
#include "app/CView.h"
#include "app/ToolId.h"
#include "base/ResourceStrings.h"
#include "model/CmDocument.h"
#include "project/Project.h"

namespace {
constexpr int ServingId = 38014;
} // namespace

PreviewInBrowserTools::PreviewInBrowserTools(CApplication& application)
    : m_application(application), m_server(application.OpenProject(), application.Prompt())
{
    application.View().AddWindowTools(this);
    // A preview shows the project it was made from: closing that project ends it.
    connect(&application.OpenProject().Document(), &CmDocument::closed, &m_server, &PreviewServer::stop);
    connect(&m_server, &PreviewServer::ready, this, [this](const QUrl& address) {
        m_application.View().SetStatus(LoadResString(ServingId).arg(address.toString()));
    });
}

PreviewInBrowserTools::~PreviewInBrowserTools()
{
    m_application.View().RemoveWindowTools(this);
}

bool PreviewInBrowserTools::Handles(int id) const
{
    return id == +ToolId::PreviewInBrowser;
}

bool PreviewInBrowserTools::Allowed(int) const
{
    return true;
}

void PreviewInBrowserTools::Run(int id)
{
    if (id == +ToolId::PreviewInBrowser)
        m_server.start();
}
