#pragma once

#include "persist/IClassLookup.h"
#include "persist/IClassPersistable.h"

#include <QObject>
#include <QString>

#include <memory>

class CvProject;
class CvProperties;
class IWindowHost;
class ViewSettings;

// The windows as the core sees them: status text, progress, and the editor views. The
// Designer's main window follows it through its signals.
class CView : public QObject, public IClassPersistable {
    Q_OBJECT
public:
    static constexpr int ClassId = 7;

    explicit CView(IWindowHost& windows);
    ~CView() override;

    void Init();
    void Show();

    // An empty text shows "Ready". Both let pending window events run.
    void SetStatus(const QString& text);
    // Clamped to 0..100; a negative value hides the bar.
    void SetProgress(int percent);
    void HideProgressBar();
    void ResizeStatusBar();

    const QString& StatusText() const { return m_status; }
    int Progress() const { return m_progress; }
    bool ProgressVisible() const { return m_progressVisible; }

    CvProject& Project() const { return *m_project; }
    CvProperties& Properties() const { return *m_properties; }
    // The author's preferences, read from the settings store at Init and written at exit.
    ViewSettings& Settings() const { return *m_settings; }

    int ActiveForm() const { return m_activeForm; }
    void setActiveForm(int form) { m_activeForm = form; }

    // The view's part of the class lookup: the editor views.
    ClassInstance CreateClass(int classId);

    int IClassPersistable_UCID() const override { return ClassId; }
    void IClassPersistable_ReadProperties(PropertyBag& bag) override;
    void IClassPersistable_WriteProperties(PropertyBag& bag) const override;

signals:
    void statusChanged(const QString& text);
    void progressChanged(int percent, bool visible);
    void statusBarResizeRequested();

private:
    void letPendingEventsRun() const;

    IWindowHost& m_windows;
    QString m_status;
    int m_progress = 0;
    bool m_progressVisible = false;
    int m_activeForm = 0;
    std::unique_ptr<CvProject> m_project;
    std::unique_ptr<CvProperties> m_properties;
    std::unique_ptr<ViewSettings> m_settings;
};
