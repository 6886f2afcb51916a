#include "views/frmTestMode.h"

#include "base/ResourceStrings.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int TitleId = 32821;
constexpr int ExplanationId = 32822;
constexpr int NormalId = 32823;
constexpr int StepThroughId = 32824;
constexpr int ReferencedId = 32825;
constexpr int DefaultsId = 32826;
constexpr int PromptId = 32827;
} // namespace

frmTestMode::frmTestMode(const TestModeOptions& options, const QStringList& controlNames, QWidget* parent)
    : QDialog(parent), m_options(options)
{
    setObjectName(QStringLiteral("frmTestMode"));
    setWindowTitle(LoadResString(TitleId));
    auto* layout = new QVBoxLayout(this);
    auto* explanation = new QLabel(LoadResString(ExplanationId), this);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);

    m_normal = new QRadioButton(LoadResString(NormalId), this);
    m_stepThrough = new QRadioButton(LoadResString(StepThroughId), this);
    m_controls = new QListWidget(this);
    m_controls->addItems(controlNames);
    const QList<QListWidgetItem*> start = m_controls->findItems(options.StartDecision, Qt::MatchFixedString);
    m_controls->setCurrentRow(start.isEmpty() ? 0 : m_controls->row(start.first()));
    (options.StepThrough ? m_stepThrough : m_normal)->setChecked(true);
    m_controls->setEnabled(options.StepThrough);
    connect(m_stepThrough, &QRadioButton::toggled, m_controls, &QWidget::setEnabled);
    layout->addWidget(m_normal);
    layout->addWidget(m_stepThrough);
    layout->addWidget(m_controls);

    auto* referenced = new QGroupBox(LoadResString(ReferencedId), this);
    auto* referencedLayout = new QVBoxLayout(referenced);
    m_defaults = new QRadioButton(LoadResString(DefaultsId), referenced);
    m_prompt = new QRadioButton(LoadResString(PromptId), referenced);
    (options.PromptUserForValue ? m_prompt : m_defaults)->setChecked(true);
    referencedLayout->addWidget(m_defaults);
    referencedLayout->addWidget(m_prompt);
    layout->addWidget(referenced);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

TestModeOptions frmTestMode::options() const
{
    TestModeOptions chosen = m_options;
    chosen.StepThrough = m_stepThrough->isChecked();
    chosen.PromptUserForValue = m_prompt->isChecked();
    if (chosen.StepThrough && m_controls->currentItem()) {
        // Step-through starts from the control chosen here.
        chosen.StartFromFirst = false;
        chosen.StartFromSelected = false;
        chosen.StartDecision = m_controls->currentItem()->text();
    }
    return chosen;
}
