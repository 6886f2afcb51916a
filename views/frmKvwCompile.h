#pragma once

#include "compile/ICompileHost.h"

#include <QDialog>

class IPrompt;
class QCheckBox;
class QLineEdit;

// The web server component's settings: host URL and port, template, image directory, automatic
// URL and early finish. The folder and template choosers go through the prompt, and what they
// answer is made relative to the project's folder.
class frmKvwCompile : public QDialog {
    Q_OBJECT
public:
    frmKvwCompile(const KvwCompileSettings& settings, const QString& documentFolder, IPrompt& prompt,
                  QWidget* parent = nullptr);

    // The answers; the settings given when the dialog was cancelled.
    KvwCompileSettings settings() const;

private:
    void browseImagePath();
    void browseTemplate();

    KvwCompileSettings m_settings;
    QString m_documentFolder;
    IPrompt& m_prompt;
    QLineEdit* m_hostUrl = nullptr;
    QLineEdit* m_hostPort = nullptr;
    QLineEdit* m_template = nullptr;
    QLineEdit* m_imagePath = nullptr;
    QCheckBox* m_autoDetermine = nullptr;
    QCheckBox* m_earlyFinish = nullptr;
};
