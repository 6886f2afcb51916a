#include "views/PictureTools.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "app/CView.h"
#include "project/CvProject.h"
#include "app/ToolId.h"
#include "edit/CcEdit.h"
#include "pictures/CcPictures.h"
#include "views/PictureWindow.h"

namespace {

constexpr int ViewTitleId = 33781;

} // namespace

PictureTools::PictureTools(CApplication& application, QWidget& parentWindow)
    : m_application(application), m_parent(parentWindow)
{
    CcPictures* pictures = &application.Controller().Pictures();
    CcUndo* undo = &application.Controller().Edit().Undo();
    const auto renamed = [this](const QString& oldName, const QString& newName) {
        if (PictureWindow* window = windowOf(oldName))
            window->rename(newName);
    };
    const auto removed = [this](const QString& name) {
        if (PictureWindow* window = windowOf(name))
            window->close();
    };
    connect(pictures, &CcPictures::pictureRenamed, this, renamed);
    connect(pictures, &CcPictures::pictureRemoved, this, removed);
    connect(undo, &CcUndo::pictureRenamed, this, renamed);
    connect(undo, &CcUndo::pictureRemoved, this, removed);
    application.View().AddWindowTools(this);
}

PictureTools::~PictureTools()
{
    m_application.View().RemoveWindowTools(this);
    for (const QPointer<PictureWindow>& window : m_windows)
        delete window.data();
}

bool PictureTools::Handles(int id) const
{
    return id == +ToolId::ViewPicture;
}

bool PictureTools::Allowed(int) const
{
    return m_application.View().Project().PicturesCount() != 0;
}

PictureWindow* PictureTools::windowOf(const QString& name) const
{
    for (const QPointer<PictureWindow>& window : m_windows) {
        if (window && window->name().compare(name, Qt::CaseInsensitive) == 0)
            return window.data();
    }
    return nullptr;
}

void PictureTools::Run(int)
{
    const std::optional<QString> name = m_application.Controller().Pictures().ChoosePicture(ViewTitleId);
    if (name)
        showPicture(*name);
}

void PictureTools::showPicture(const QString& name)
{
    CcPictures& pictures = m_application.Controller().Pictures();
    PictureWindow* window = windowOf(name);
    if (!window) {
        std::erase_if(m_windows, [](const QPointer<PictureWindow>& each) { return each.isNull(); });
        window = new PictureWindow(name, pictures.Image(name), &m_parent);
        m_windows.emplace_back(window);
    }
    window->show();
    window->raise();
    window->activateWindow();
}
