#include "views/WelcomeDialog.h"

#include "views/TitleFit.h"

#include "app/CcGettingStarted.h"
#include "base/IPrompt.h"
#include "base/ResourceStrings.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int TitleId = 30010;
constexpr int QuestionId = 30011;
constexpr int NewProjectId = 30012;
constexpr int OpenExistingId = 30013;
constexpr int OpenSampleId = 30014;
constexpr int OpenDialogTitleId = 13012;
constexpr int ProjectFilterId = 12020;
} // namespace

WelcomeDialog::WelcomeDialog(CcGettingStarted& wizard, IPrompt& prompt, QWidget* parent)
    : QDialog(parent), m_wizard(wizard), m_prompt(prompt)
{
    setWindowTitle(LoadResString(TitleId));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(LoadResString(QuestionId), this));

    auto* newButton = new QPushButton(LoadResString(NewProjectId), this);
    m_openButton = new QPushButton(LoadResString(OpenExistingId), this);
    auto* sampleButton = new QPushButton(LoadResString(OpenSampleId), this);
    sampleButton->setEnabled(!m_wizard.SampleProject().isEmpty());
    m_pendingFile = new QLabel(this);
    m_pendingFile->hide();
    for (QWidget* widget : {static_cast<QWidget*>(newButton), static_cast<QWidget*>(m_openButton),
                            static_cast<QWidget*>(m_pendingFile), static_cast<QWidget*>(sampleButton)})
        layout->addWidget(widget);
    newButton->setDefault(true);
    TitleFit::Fit(*this);

    connect(newButton, &QPushButton::clicked, this, [this] { m_wizard.Choose(CcGettingStarted::Choice::NewProject); });
    connect(m_openButton, &QPushButton::clicked, this, &WelcomeDialog::openExisting);
    connect(sampleButton, &QPushButton::clicked, this,
            [this] { m_wizard.Choose(CcGettingStarted::Choice::OpenSample); });
    connect(&m_wizard, &CcGettingStarted::fileToOpenChanged, this, &WelcomeDialog::showPendingFile);
    connect(&m_wizard, &CcGettingStarted::raiseRequested, this, [this] {
        raise();
        activateWindow();
    });
    connect(&m_wizard, &CcGettingStarted::stopped, this, &QDialog::hide);
    // The sample may have been installed, or set elsewhere, since the window was made.
    connect(&m_wizard, &CcGettingStarted::started, sampleButton,
            [this, sampleButton] { sampleButton->setEnabled(!m_wizard.SampleProject().isEmpty()); });
    // Closing the window is the same as asking for a new project: the author needs one.
    connect(this, &QDialog::rejected, this, [this] {
        if (m_wizard.Running())
            m_wizard.Choose(CcGettingStarted::Choice::NewProject);
    });
}

void WelcomeDialog::showPendingFile(const QString& path)
{
    m_pendingFile->setText(path);
    m_pendingFile->setVisible(!path.isEmpty());
    m_openButton->setDefault(!path.isEmpty());
    // Return presses the focused button: with a file named on the command line, that opens it.
    if (!path.isEmpty())
        m_openButton->setFocus();
    adjustSize();
}

void WelcomeDialog::openExisting()
{
    QString path = m_wizard.PendingFile();
    if (path.isEmpty()) {
        const std::optional<QString> chosen =
            m_prompt.OpenFileDialog(LoadResString(OpenDialogTitleId), LoadResString(ProjectFilterId), QString());
        if (!chosen)
            return;
        path = *chosen;
    }
    m_wizard.Choose(CcGettingStarted::Choice::OpenFile, path);
}
