#include "views/frmFileType.h"

#include "base/IPrompt.h"
#include "base/ResourceStrings.h"
#include "validate/FileTypeConversion.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int titleId = 13260;
constexpr int questionId = 13266;
constexpr int convertButtonId = 13349;
constexpr int autoConvertId = 32303;
// The choices in the order shown, by file type.
constexpr std::pair<qint32, int> choices[] = {
    {FileTypeConversion::Both, 13342}, {FileTypeConversion::Web, 13343}, {FileTypeConversion::Desktop, 13344}};
} // namespace

frmFileType::frmFileType(FileTypeConversion& conversion, qint32 currentType, IPrompt& prompt, QWidget* parent)
    : QDialog(parent), m_conversion(conversion), m_prompt(prompt)
{
    setWindowTitle(LoadResString(titleId));
    auto* layout = new QVBoxLayout(this);
    m_description = new QLabel(LoadResString(m_conversion.DescriptionId()), this);
    m_description->setWordWrap(true);
    layout->addWidget(m_description);
    layout->addWidget(new QLabel(LoadResString(questionId), this));
    m_types = new QButtonGroup(this);
    for (const auto& [type, textId] : choices) {
        auto* choice = new QRadioButton(LoadResString(textId), this);
        m_types->addButton(choice, type);
        layout->addWidget(choice);
    }
    setChosenType(currentType);
    m_autoConvert = new QCheckBox(LoadResString(autoConvertId), this);
    m_autoConvert->setChecked(true);
    layout->addWidget(m_autoConvert);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* convertButton = buttons->addButton(LoadResString(convertButtonId), QDialogButtonBox::ActionRole);
    convertButton->setObjectName(QStringLiteral("convertButton"));
    connect(convertButton, &QPushButton::clicked, this, &frmFileType::convert);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

qint32 frmFileType::chosenType() const
{
    return m_types->checkedId();
}

void frmFileType::setChosenType(qint32 type)
{
    // Started from another application is a desktop type too.
    const qint32 shown = type == FileTypeConversion::DesktopCalled ? FileTypeConversion::Desktop : type;
    if (QAbstractButton* choice = m_types->button(shown))
        choice->setChecked(true);
}

void frmFileType::setAutoConvert(bool on)
{
    m_autoConvert->setChecked(on);
}

QString frmFileType::description() const
{
    return m_description->text();
}

void frmFileType::convert()
{
    if (chosenType() < 0)
        return;
    const FileTypeConversion::Outcome outcome = m_conversion.Convert(chosenType(), m_autoConvert->isChecked(), &m_prompt);
    if (outcome == FileTypeConversion::Outcome::Cancelled)
        return;
    m_prompt.MessageBox(LoadResString(FileTypeConversion::OutcomeMessageId(outcome)), LoadResString(titleId),
                        PromptButtons::Ok, PromptIcon::Information);
    accept();
}
