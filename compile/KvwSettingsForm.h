#pragma once

#include "compile/ICompileHost.h"

#include <QString>

// What frmKvwCompile shows and hands back, apart from the widgets.
struct KvwSettingsForm {
    QString hostUrl;
    QString hostPort;
    QString templatePath;
    QString imagePath;
    bool autoDetermineURL = false;
    bool earlyFinish = false;

    // The host URL is split at ":": the first two parts fill the URL field, the third the port.
    static KvwSettingsForm Load(const KvwCompileSettings& settings);
    // HostURL is the URL field, followed by ":" and the port when one is given.
    void Apply(KvwCompileSettings& settings) const;

    // The chosen path relative to the document's folder. Both are split into components at "/"
    // (this platform's separator; the rule is the same with "\"): when their first components
    // differ the chosen path is kept whole; otherwise "../" once for each component of the folder
    // from the first one that differs, then the chosen path's components from there, joined by
    // "/". So a folder below the document's gives "images", one beside it "../images".
    static QString RelativePath(const QString& documentFolder, const QString& chosen);
};
