#include "views/ProjectTools.h"

#include "app/CApplication.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "project/CvProject.h"
#include "app/ViewSettings.h"
#include "app/ToolId.h"
#include "base/IPrompt.h"
#include "base/ResourceStrings.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "validate/CcValidation.h"
#include "views/DocumentArea.h"
#include "views/TextSelection.h"
#include "views/frmFileType.h"
#include "views/frmKVDCompile.h"
#include "views/frmKvwCompile.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

constexpr qint32 StandAloneType = 2;
constexpr qint32 CalledFromApplicationType = 3;

bool isSelectorTool(int id)
{
    using T = ToolId;
    return (id >= +T::NewSelector && id <= +T::ExportSelectorFromGrid) || id == +T::ImportSelector ||
           id == +T::ExportSelector || (id >= +T::Cut && id <= +T::Clear);
}

bool isSelectAll(int id)
{
    return id == +ToolId::SelectAll || id == +ToolId::DeselectAll;
}

} // namespace

ProjectTools::ProjectTools(CApplication& application, DocumentArea& documents, QWidget& dialogParent)
    : m_application(application), m_dialogParent(dialogParent),
      m_selectors(documents, application.Model().Document(), application.Prompt(), application.View().Project(),
                  &application.View()),
      m_compile(application.Model().Decisions(), application.Model().Document()),
      m_conversion(application.Model().Decisions(), application.Model().Document())
{
    m_compile.setPrompt(&application.Prompt());
    // The image folder is the user's setting, not the project's.
    m_compile.setImagePath(application.View().Settings().Editing.ImagePath);
    m_compile.setHost(this);
    CmDocument& document = application.Model().Document();
    // Open selector grids hold edits the project does not have yet; a save takes them first.
    connect(&document, &CmDocument::aboutToSave, this, [this] { m_selectors.Commands().Manager().SaveAll(); });
    // A grid shows a part of the open project only: it goes when the project closes.
    connect(&document, &CmDocument::opened, this, [this] { m_selectors.Commands().Manager().Clear(); });
    connect(&document, &CmDocument::closed, this, [this] { m_selectors.Commands().Manager().Clear(); });
    connect(&m_conversion, &FileTypeConversion::statusChanged, &application.View(), &CView::SetStatus);
    connect(&m_conversion, &FileTypeConversion::logShown, this, [this](const QString& text) {
        m_application.View().AddLog(text);
        m_application.View().ShowLog();
    });
    application.View().AddWindowTools(this);
}

ProjectTools::~ProjectTools()
{
    m_application.View().RemoveWindowTools(this);
}

bool ProjectTools::Handles(int id) const
{
    using T = ToolId;
    return isSelectorTool(id) || isSelectAll(id) || (id >= +T::CompileDesktop && id <= +T::DesktopSettings);
}

bool ProjectTools::Allowed(int id) const
{
    // Select All goes to the text field that has the keyboard, else to a selector grid that has
    // it; otherwise the diagram takes it.
    if (isSelectAll(id))
        return TextSelection::Focused() != nullptr || m_selectors.ToolAllowed(id);
    if (isSelectorTool(id))
        return m_selectors.ToolAllowed(id);
    return true;
}

void ProjectTools::Run(int id)
{
    if (isSelectAll(id)) {
        if (QWidget* text = TextSelection::Focused())
            id == +ToolId::SelectAll ? TextSelection::SelectAll(*text) : TextSelection::Deselect(*text);
        else
            m_selectors.RunTool(id);
        return;
    }
    if (isSelectorTool(id)) {
        m_selectors.RunTool(id);
        return;
    }
    // The validation before a compile follows the paths too when the author asked for it.
    m_compile.Validation().setAnalyzePaths(m_application.View().Settings().Editing.AnalyzePathsOnValidate);
    switch (static_cast<ToolId>(id)) {
    case ToolId::CompileDesktop:
        m_selectors.Commands().Manager().SaveAll();
        m_compile.CompileToKVD();
        return;
    case ToolId::CompileWeb:
        m_selectors.Commands().Manager().SaveAll();
        m_compile.CompileToKVW();
        return;
    case ToolId::WebSettings: m_compile.ShowWebSettings(); return;
    case ToolId::FileType: showFileTypeDialog(); return;
    case ToolId::DesktopSettings: m_compile.ShowDesktopMode(); return;
    default: return;
    }
}

void ProjectTools::showFileTypeDialog()
{
    frmFileType dialog(m_conversion, m_application.Model().Document().FileType(), m_application.Prompt(),
                       &m_dialogParent);
    dialog.exec();
}

void ProjectTools::SetStatus(const QString& text)
{
    m_application.View().SetStatus(text);
}

void ProjectTools::SetProgress(int percent)
{
    m_application.View().SetProgress(percent);
}

void ProjectTools::HideProgressBar()
{
    m_application.View().HideProgressBar();
}

void ProjectTools::AddLog(const QString& line)
{
    m_application.View().AddLog(line);
}

void ProjectTools::ShowLog()
{
    m_application.View().ShowLog();
}

void ProjectTools::ViewText(const QString& title, const QString& text)
{
    QDialog viewer(&m_dialogParent);
    viewer.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&viewer);
    auto* content = new QPlainTextEdit(text, &viewer);
    content->setReadOnly(true);
    layout->addWidget(content);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &viewer);
    connect(buttons, &QDialogButtonBox::rejected, &viewer, &QDialog::reject);
    layout->addWidget(buttons);
    viewer.resize(640, 480);
    viewer.exec();
}

std::optional<qint32> ProjectTools::DesktopModeDialog(qint32 currentFileType)
{
    frmKVDCompile dialog(m_application.Model().Document(), &m_dialogParent);
    dialog.setCalledFromApplication(currentFileType == CalledFromApplicationType);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.calledFromApplication() ? CalledFromApplicationType : StandAloneType;
}

bool ProjectTools::WebSettingsDialog(KvwCompileSettings& settings, const QString& documentFolder)
{
    frmKvwCompile dialog(settings, documentFolder, m_application.Prompt(), &m_dialogParent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    settings = dialog.settings();
    m_application.View().Settings().Editing.ImagePath = settings.ImagePath;
    return true;
}
