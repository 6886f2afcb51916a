#include "views/PrintTools.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "app/ToolId.h"
#include "app/ViewSettings.h"
#include "base/IPrompt.h"
#include "base/ResourceStrings.h"
#include "edit/CvDecisionTree.h"
#include "model/CmDocument.h"
#include "printing/ProjectPrint.h"
#include "views/PrintOptionsDialog.h"

#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {

constexpr int ProgramNameId = 30000;
constexpr int NothingToPrintId = 33765;
constexpr int UntitledId = 33790;

} // namespace

PrintTools::PrintTools(CApplication& application, QWidget& parentWindow)
    : m_application(application), m_parent(parentWindow), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    application.View().AddWindowTools(this);
}

PrintTools::~PrintTools()
{
    m_application.View().RemoveWindowTools(this);
}

bool PrintTools::Handles(int id) const
{
    return id >= +ToolId::Print && id <= +ToolId::PageSetup;
}

bool PrintTools::Allowed(int) const
{
    return true;
}

void PrintTools::Run(int id)
{
    switch (static_cast<ToolId>(id)) {
    case ToolId::Print: print(); return;
    case ToolId::PrintPreview: preview(); return;
    case ToolId::PageSetup: pageSetup(); return;
    default: return;
    }
}

int PrintTools::paint(QPagedPaintDevice& device)
{
    CmDocument& document = m_application.Model().Document();
    const QString name = QFileInfo(document.Name()).completeBaseName();
    ProjectPrint print(m_application.Model().Decisions(), document.Storage(),
                       &m_application.Controller().DiagramView().Canvas(), name.isEmpty() ? LoadResString(UntitledId) : name);
    const ViewSettings& settings = m_application.View().Settings();
    print.setSelections(settings.Print);
    print.setLineStyle(LinkRoute::StyleFromSetting(settings.Diagram.LineStyle));
    return print.Print(device);
}

void PrintTools::print()
{
    PrintSelections& selections = m_application.View().Settings().Print;
    PrintOptionsDialog options(selections, &m_parent);
    if (options.exec() != QDialog::Accepted)
        return;
    selections = options.selections();
    QPrintDialog dialog(m_printer.get(), &m_parent);
    if (dialog.exec() == QDialog::Accepted && paint(*m_printer) == 0)
        m_application.Prompt().MessageBox(LoadResString(NothingToPrintId), LoadResString(ProgramNameId),
                                          PromptButtons::Ok, PromptIcon::Information);
}

void PrintTools::preview()
{
    QPrintPreviewDialog dialog(m_printer.get(), &m_parent);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* printer) { paint(*printer); });
    dialog.resize(900, 700);
    dialog.exec();
}

void PrintTools::pageSetup()
{
    QPageSetupDialog dialog(m_printer.get(), &m_parent);
    dialog.exec();
}
