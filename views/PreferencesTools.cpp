#include "views/PreferencesTools.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "app/ToolId.h"
#include "app/ToolRegistry.h"
#include "app/ViewSettings.h"
#include "edit/CvDecisionTree.h"
#include "edit/ExpressionBuilder.h"
#include "views/ExpressionBuilderLauncher.h"
#include "views/frmOptions.h"

PreferencesTools::PreferencesTools(CApplication& application, QWidget& dialogParent, std::function<void()> diagramChanged)
    : m_application(application), m_dialogParent(dialogParent), m_diagramChanged(std::move(diagramChanged))
{
    application.View().AddWindowTools(this);
}

PreferencesTools::~PreferencesTools()
{
    m_application.View().RemoveWindowTools(this);
}

bool PreferencesTools::Handles(int id) const
{
    return id == +ToolId::Preferences;
}

bool PreferencesTools::Allowed(int) const
{
    return true;
}

void PreferencesTools::Run(int)
{
    using ToolRegistry::Implemented;
    // Spell Check is a command the author runs; nothing checks spelling on its own while typing
    // or before a compile yet, so those preferences stay as stored.
    const bool checksSpellingAlone = false;
    const frmOptions::Features features{Implemented(+ToolId::Print), checksSpellingAlone,
                                        Implemented(+ToolId::DrawGroup), Implemented(+ToolId::ControlWizard)};
    frmOptions dialog(m_application.View().Settings(), ExpressionBuilder::ControlNames(m_application.Model().Decisions()),
                      features, m_application.Prompt(),
                      [this](const ViewSettings& chosen) {
                          ViewSettings& kept = m_application.View().Settings();
                          kept = chosen;
                          // The link dialog keeps its own copy, which goes back to the store at exit.
                          LinkPreferences& link = m_application.Controller().DiagramView().Preferences();
                          link.LinkAlways = chosen.Diagram.LinkAlways;
                          link.LinkExpr = chosen.Diagram.LinkExpr;
                          kept.Save("PreferencesTools.Apply");
                          if (m_diagramChanged)
                              m_diagramChanged();
                      },
                      &m_dialogParent);
    dialog.setBuilder([this](QWidget* parent, const QString& expression) {
        return ExpressionBuilderLauncher::Edit(m_application, parent, expression, true);
    });
    dialog.exec();
}
