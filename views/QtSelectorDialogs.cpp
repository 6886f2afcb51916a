#include "views/QtSelectorDialogs.h"

#include "base/AccessKey.h"
#include "base/ResourceStrings.h"
#include "selectors/CvCriteriaListManager.h"
#include "views/ExternalSelectorDialog.h"
#include "views/QtPrompt.h"
#include "views/SelectorPickDialog.h"
#include "views/SelectorTypeDialog.h"
#include "views/frmCriteriaList.h"

#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {
constexpr int ImportTitleId = 913;
} // namespace

QtSelectorDialogs::QtSelectorDialogs(QMdiArea& area, CvCriteriaListManager& manager, CView* view)
    : m_area(area), m_manager(manager), m_view(view)
{
    connect(&m_manager, &CvCriteriaListManager::editorRemoving, this, &QtSelectorDialogs::closeWindow);
    connect(&m_area, &QMdiArea::subWindowActivated, this, [](QMdiSubWindow* window) {
        if (auto* form = window ? qobject_cast<frmCriteriaList*>(window->widget()) : nullptr; form && !form->Detached())
            form->Activated();
    });
}

QtSelectorDialogs::~QtSelectorDialogs()
{
    // The windows outlive this only inside a closing document area; they must not reach the editors.
    for (const QPointer<QMdiSubWindow>& window : std::as_const(m_windows)) {
        if (window) {
            if (auto* form = qobject_cast<frmCriteriaList*>(window->widget()))
                form->Detach();
        }
    }
}

QWidget* QtSelectorDialogs::dialogParent() const
{
    return m_area.window();
}

std::optional<SelectorKind> QtSelectorDialogs::ChooseSelectorType()
{
    SelectorTypeDialog dialog(dialogParent());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Choice();
}

QStringList QtSelectorDialogs::PickSelectors(const QString& caption, const QStringList& names, bool several)
{
    SelectorPickDialog dialog(caption, names, several, dialogParent());
    return dialog.exec() == QDialog::Accepted ? dialog.Chosen() : QStringList();
}

QStringList QtSelectorDialogs::OpenSelectorFiles(const QString& filter, const QString& folder)
{
    return QFileDialog::getOpenFileNames(dialogParent(), LoadResPlainString(ImportTitleId), folder, QtPrompt::ToQtFilter(filter));
}

void QtSelectorDialogs::EditExternalSelector(ExternalSelectorSession& session)
{
    ExternalSelectorDialog dialog(session, dialogParent());
    dialog.exec();
}

frmCriteriaList* QtSelectorDialogs::Window(const CvCriteriaList& editor) const
{
    const QPointer<QMdiSubWindow> window = m_windows.value(&editor);
    return window ? qobject_cast<frmCriteriaList*>(window->widget()) : nullptr;
}

void QtSelectorDialogs::ShowEditor(CvCriteriaList& editor)
{
    QPointer<QMdiSubWindow> window = m_windows.value(&editor);
    if (!window) {
        auto* form = new frmCriteriaList(editor, m_manager, m_view);
        window = m_area.addSubWindow(form);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->resize(640, 360);
        m_windows.insert(&editor, window);
    }
    window->show();
    m_area.setActiveSubWindow(window);
    if (auto* form = qobject_cast<frmCriteriaList*>(window->widget()))
        form->Activated();
}

void QtSelectorDialogs::closeWindow(CvCriteriaList* editor)
{
    const QPointer<QMdiSubWindow> window = m_windows.take(editor);
    if (!window)
        return;
    auto* form = qobject_cast<frmCriteriaList*>(window->widget());
    if (!form || form->Detached())
        return;
    form->Detach();
    window->close();
}
