#pragma once

#include <QDialog>

class CcGettingStarted;
class IPrompt;
class QLabel;
class QPushButton;

// The getting-started window: a new project, an existing file, or the sample.
class WelcomeDialog : public QDialog {
    Q_OBJECT
public:
    WelcomeDialog(CcGettingStarted& wizard, IPrompt& prompt, QWidget* parent);

private:
    void showPendingFile(const QString& path);
    void openExisting();

    CcGettingStarted& m_wizard;
    IPrompt& m_prompt;
    QPushButton* m_openButton = nullptr;
    QLabel* m_pendingFile = nullptr;
};
