#pragma once

#include "app/IWindowTools.h"

#include <QObject>
#include <QPointer>

#include <vector>

class CApplication;
class PictureWindow;
class QWidget;

// View Picture: the chosen project picture in a window that scales it. The windows follow the
// pictures: a renamed picture's window takes the new name, a removed one's closes.
class PictureTools final : public QObject, public IWindowTools {
    Q_OBJECT
public:
    PictureTools(CApplication& application, QWidget& parentWindow);
    ~PictureTools() override;

    bool Handles(int id) const override;
    bool Allowed(int id) const override;
    void Run(int id) override;
    // The picture's window, made when there is none, in front.
    void showPicture(const QString& name);

private:
    PictureWindow* windowOf(const QString& name) const;

    CApplication& m_application;
    QWidget& m_parent;
    std::vector<QPointer<PictureWindow>> m_windows;
};
