#pragma once

#include "app/IWindowTools.h"

#include <QObject>
#include <QPointer>

class CApplication;
class CompareWindow;
class QWidget;

// File › Compare with...: asks for another project file and shows in a window what changed from
// it to the open project (unsaved changes included), as `kestrova diff OTHER OPEN` would; a
// control chosen there is selected on the diagram.
class CompareTools final : public QObject, public IWindowTools {
    Q_OBJECT
public:
    CompareTools(CApplication& application, QWidget& parentWindow);
    ~CompareTools() override;

    bool Handles(int id) const override;
    bool Allowed(int id) const override;
    void Run(int id) override;

    // Compares with the file; false (after saying why) when either project cannot be read.
    bool CompareWith(const QString& path);

private:
    CApplication& m_application;
    QWidget& m_parent;
    QPointer<CompareWindow> m_window;
};
