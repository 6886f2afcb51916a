#include "views/CompareTools.h"

#include "app/CApplication.h"
#include "app/CView.h"
#include "app/ToolId.h"
#include "base/IPrompt.h"
#include "base/ResourceStrings.h"
#include "model/CmDocument.h"
#include "project/Project.h"
#include "views/CompareWindow.h"

#include <QFileInfo>

namespace {
constexpr int TitleId = 38002;
constexpr int FilterId = 12020; // the project files, as File › Open offers them
} // namespace

CompareTools::CompareTools(CApplication& application, QWidget& parentWindow)
    : m_application(application), m_parent(parentWindow)
{
    application.View().AddWindowTools(this);
}

CompareTools::~CompareTools()
{
    m_application.View().RemoveWindowTools(this);
    delete m_window.data();
}

bool CompareTools::Handles(int id) const
{
    return id == +ToolId::CompareWith;
}

bool CompareTools::Allowed(int) const
{
    return true;
}

void CompareTools::Run(int id)
{
    if (id != +ToolId::CompareWith)
        return;
    const QString current = m_application.OpenProject().Document().Name();
    const QString folder = current.isEmpty() ? QString() : QFileInfo(current).absolutePath();
    const std::optional<QString> path = m_application.Prompt().OpenFileDialog(LoadResString(TitleId), LoadResString(FilterId), folder);
    if (path && !path->isEmpty())
        CompareWith(*path);
}

bool CompareTools::CompareWith(const QString& path)
{
    if (!m_window)
        m_window = new CompareWindow(m_application.OpenProject(), m_application.Prompt(), &m_parent);
    return m_window->compareWith(path);
}
