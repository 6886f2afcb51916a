#pragma once

#include "app/IWindowTools.h"
#include "compile/CcCompile.h"
#include "compile/ICompileHost.h"
#include "validate/FileTypeConversion.h"
#include "views/SelectorWorkspace.h"

#include <QObject>

#include <memory>

class CApplication;
class DocumentArea;
class QWidget;

// The project's commands that open windows and dialogs: selectors and their grid, the
// compilers with their settings, and the file type. The core does the
// work; this class hands it the dialogs.
class ProjectTools : public QObject, public IWindowTools, public ICompileHost {
    Q_OBJECT
public:
    ProjectTools(CApplication& application, DocumentArea& documents, QWidget& dialogParent);
    ~ProjectTools() override;

    bool Handles(int id) const override;
    bool Allowed(int id) const override;
    void Run(int id) override;

    SelectorWorkspace& Selectors() { return m_selectors; }

    void SetStatus(const QString& text) override;
    void SetProgress(int percent) override;
    void HideProgressBar() override;
    void AddLog(const QString& line) override;
    void ShowLog() override;
    void ViewText(const QString& title, const QString& text) override;
    std::optional<qint32> DesktopModeDialog(qint32 currentFileType) override;
    bool WebSettingsDialog(KvwCompileSettings& settings, const QString& documentFolder) override;

private:
    void showFileTypeDialog();

    CApplication& m_application;
    QWidget& m_dialogParent;
    SelectorWorkspace m_selectors;
    CcCompile m_compile;
    FileTypeConversion m_conversion;
};
