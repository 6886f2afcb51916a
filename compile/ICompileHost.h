#pragma once

#include <QString>

#include <optional>

// The web settings that frmKvwCompile edits.
struct KvwCompileSettings {
    QString HostURL;
    bool EarlyFinish = false;
    bool AutoDetermineURL = false;
    QString Template;
    QString ImagePath;

    bool operator==(const KvwCompileSettings&) const = default;
};

// What the compiler needs of the windows: the status bar, the log window, a text viewer and
// its two dialogs. The Designer answers through its view; tests record.
class ICompileHost {
public:
    virtual ~ICompileHost() = default;

    virtual void SetStatus(const QString& text) = 0;
    virtual void SetProgress(int percent) = 0;
    virtual void HideProgressBar() = 0;
    // One line of the log window.
    virtual void AddLog(const QString& line) = 0;
    // Brings the log window up.
    virtual void ShowLog() = 0;
    // A read-only viewer showing the text.
    virtual void ViewText(const QString& title, const QString& text) = 0;

    // frmKVDCompile: the file type chosen (2 stand alone, 3 called from another application),
    // nothing when cancelled.
    virtual std::optional<qint32> DesktopModeDialog(qint32 currentFileType) = 0;
    // frmKvwCompile: false when cancelled, otherwise settings holds the answers. documentFolder
    // is where the browsed folder and template are made relative to.
    virtual bool WebSettingsDialog(KvwCompileSettings& settings, const QString& documentFolder) = 0;

protected:
    ICompileHost() = default;
    ICompileHost(const ICompileHost&) = default;
    ICompileHost& operator=(const ICompileHost&) = default;
};
