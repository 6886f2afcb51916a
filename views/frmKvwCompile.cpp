#include "views/frmKvwCompile.h"

#include "base/IPrompt.h"
#include "base/ResourceStrings.h"
#include "compile/KvwSettingsForm.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int titleId = 32401;
// The captions of 32402 to 32407 with access keys.
constexpr int hostUrlId = 33553;
constexpr int hostPortId = 33554;
constexpr int templateId = 33555;
constexpr int imagePathId = 33556;
constexpr int autoDetermineId = 33557;
constexpr int earlyFinishId = 33558;
constexpr int imageChooserId = 32408;
constexpr int templateChooserId = 32409;
constexpr int templateFilterId = 32410;
constexpr int browseId = 32412;
constexpr int okId = 13000;
constexpr int cancelId = 13001;

// A line edit with a browse button beside it.
QWidget* withBrowse(QLineEdit* edit, QPushButton* browse, QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit);
    layout->addWidget(browse);
    // The label's access key lands in the field.
    row->setFocusProxy(edit);
    return row;
}
} // namespace

frmKvwCompile::frmKvwCompile(const KvwCompileSettings& settings, const QString& documentFolder, IPrompt& prompt,
                             QWidget* parent)
    : QDialog(parent), m_settings(settings), m_documentFolder(documentFolder), m_prompt(prompt)
{
    setWindowTitle(LoadResString(titleId));
    // Wide enough for its title and a host address.
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    const KvwSettingsForm form = KvwSettingsForm::Load(settings);
    m_hostUrl = new QLineEdit(form.hostUrl, this);
    m_hostPort = new QLineEdit(form.hostPort, this);
    m_template = new QLineEdit(form.templatePath, this);
    m_imagePath = new QLineEdit(form.imagePath, this);
    m_autoDetermine = new QCheckBox(LoadResString(autoDetermineId), this);
    m_autoDetermine->setChecked(form.autoDetermineURL);
    m_earlyFinish = new QCheckBox(LoadResString(earlyFinishId), this);
    m_earlyFinish->setChecked(form.earlyFinish);
    auto* browseTemplateButton = new QPushButton(LoadResString(browseId), this);
    auto* browseImageButton = new QPushButton(LoadResString(browseId), this);
    connect(browseTemplateButton, &QPushButton::clicked, this, &frmKvwCompile::browseTemplate);
    connect(browseImageButton, &QPushButton::clicked, this, &frmKvwCompile::browseImagePath);

    auto* fields = new QFormLayout;
    fields->addRow(LoadResString(hostUrlId), m_hostUrl);
    fields->addRow(LoadResString(hostPortId), m_hostPort);
    fields->addRow(LoadResString(templateId), withBrowse(m_template, browseTemplateButton, this));
    fields->addRow(LoadResString(imagePathId), withBrowse(m_imagePath, browseImageButton, this));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(LoadResString(okId), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(LoadResString(cancelId), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_autoDetermine);
    layout->addWidget(m_earlyFinish);
    layout->addWidget(buttons);
}

KvwCompileSettings frmKvwCompile::settings() const
{
    if (result() != QDialog::Accepted)
        return m_settings;
    KvwSettingsForm form;
    form.hostUrl = m_hostUrl->text();
    form.hostPort = m_hostPort->text();
    form.templatePath = m_template->text();
    form.imagePath = m_imagePath->text();
    form.autoDetermineURL = m_autoDetermine->isChecked();
    form.earlyFinish = m_earlyFinish->isChecked();
    KvwCompileSettings answered = m_settings;
    form.Apply(answered);
    return answered;
}

void frmKvwCompile::browseImagePath()
{
    const std::optional<QString> chosen = m_prompt.FolderDialog(LoadResString(imageChooserId), m_imagePath->text());
    if (chosen && !chosen->isEmpty())
        m_imagePath->setText(KvwSettingsForm::RelativePath(m_documentFolder, *chosen));
}

void frmKvwCompile::browseTemplate()
{
    const std::optional<QString> chosen =
        m_prompt.OpenFileDialog(LoadResString(templateChooserId), LoadResString(templateFilterId), m_documentFolder);
    if (chosen && !chosen->isEmpty())
        m_template->setText(KvwSettingsForm::RelativePath(m_documentFolder, *chosen));
}
