#include "views/TestModeOptionsPage.h"

#include "base/ResourceStrings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int ModeTabId = 32832;
constexpr int StepThroughTabId = 32833;
constexpr int DebugTabId = 32834;
constexpr int NormalId = 32835;
constexpr int StepThroughId = 32836;
constexpr int AskEveryTimeId = 32837;
constexpr int StartFromId = 32838;
constexpr int StartControlId = 32839;
constexpr int SelectedControlId = 32840;
constexpr int ControlBelowId = 32841;
constexpr int ReferencedId = 32825;
constexpr int DefaultValueId = 32842;
constexpr int PromptForValueId = 32843;
constexpr int DecisionValuesId = 32844;
constexpr int SelectorValuesId = 32845;

QString text(int id)
{
    return LoadResString(id);
}
} // namespace

TestModeOptionsPage::TestModeOptionsPage(const TestModeOptions& options, const QStringList& controlNames, QWidget* parent)
    : QTabWidget(parent), m_options(options)
{
    setObjectName(QStringLiteral("testModeOptions"));
    addTab(modePage(), text(ModeTabId));
    addTab(stepThroughPage(controlNames), text(StepThroughTabId));
    addTab(debugWindowPage(), text(DebugTabId));
}

QWidget* TestModeOptionsPage::modePage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    m_normal = new QRadioButton(text(NormalId), page);
    m_stepThrough = new QRadioButton(text(StepThroughId), page);
    (m_options.StepThrough ? m_stepThrough : m_normal)->setChecked(true);
    m_askEveryTime = new QCheckBox(text(AskEveryTimeId), page);
    m_askEveryTime->setChecked(m_options.ShowTestModeDlg);
    layout->addWidget(m_normal);
    layout->addWidget(m_stepThrough);
    layout->addWidget(m_askEveryTime);
    layout->addStretch();
    return page;
}

QWidget* TestModeOptionsPage::stepThroughPage(const QStringList& controlNames)
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* startFrom = new QGroupBox(text(StartFromId), page);
    auto* startLayout = new QVBoxLayout(startFrom);
    m_startControl = new QRadioButton(text(StartControlId), startFrom);
    m_selectedControl = new QRadioButton(text(SelectedControlId), startFrom);
    m_controlBelow = new QRadioButton(text(ControlBelowId), startFrom);
    m_controls = new QComboBox(startFrom);
    m_controls->addItems(controlNames);
    m_controls->setCurrentIndex(std::max(0, m_controls->findText(m_options.StartDecision, Qt::MatchFixedString)));
    if (m_options.StartFromFirst)
        m_startControl->setChecked(true);
    else if (m_options.StartFromSelected)
        m_selectedControl->setChecked(true);
    else
        m_controlBelow->setChecked(true);
    m_controls->setEnabled(m_controlBelow->isChecked());
    connect(m_controlBelow, &QRadioButton::toggled, m_controls, &QWidget::setEnabled);
    for (QWidget* field : std::initializer_list<QWidget*>{m_startControl, m_selectedControl, m_controlBelow, m_controls})
        startLayout->addWidget(field);
    auto* referenced = new QGroupBox(text(ReferencedId), page);
    auto* referencedLayout = new QVBoxLayout(referenced);
    m_defaultValue = new QRadioButton(text(DefaultValueId), referenced);
    m_promptForValue = new QRadioButton(text(PromptForValueId), referenced);
    (m_options.PromptUserForValue ? m_promptForValue : m_defaultValue)->setChecked(true);
    referencedLayout->addWidget(m_defaultValue);
    referencedLayout->addWidget(m_promptForValue);
    layout->addWidget(startFrom);
    layout->addWidget(referenced);
    layout->addStretch();
    return page;
}

QWidget* TestModeOptionsPage::debugWindowPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    m_decisionValues = new QCheckBox(text(DecisionValuesId), page);
    m_decisionValues->setChecked(m_options.ShowDecisionValues);
    m_selectorValues = new QCheckBox(text(SelectorValuesId), page);
    m_selectorValues->setChecked(m_options.ShowCLValues);
    layout->addWidget(m_decisionValues);
    layout->addWidget(m_selectorValues);
    layout->addStretch();
    return page;
}

TestModeOptions TestModeOptionsPage::options() const
{
    TestModeOptions chosen = m_options;
    chosen.StepThrough = m_stepThrough->isChecked();
    chosen.ShowTestModeDlg = m_askEveryTime->isChecked();
    chosen.StartFromFirst = m_startControl->isChecked();
    chosen.StartFromSelected = m_selectedControl->isChecked();
    if (!m_controls->currentText().isEmpty())
        chosen.StartDecision = m_controls->currentText();
    chosen.PromptUserForValue = m_promptForValue->isChecked();
    chosen.ShowDecisionValues = m_decisionValues->isChecked();
    chosen.ShowCLValues = m_selectorValues->isChecked();
    return chosen;
}
