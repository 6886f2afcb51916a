#include "views/frmDecisionValue.h"

#include "base/ResourceStrings.h"
#include "lang/BlockLine.h"
#include "model/CmDecisionItem.h"
#include "model/DecisionDataConversion.h"
#include "model/MDecisionDataUtil.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int TitleId = 32818;
constexpr int ExplanationId = 32819;
constexpr int DefaultButtonId = 32831;

// What the control's interface lets the author pick from; empty for a typed value.
QStringList choicesOf(const CmDecisionItem& control)
{
    using namespace MDecisionDataUtil;
    const qint16 type = control.intControl();
    // The words the runtime gives a check box or a button, so a value set here compares equal.
    if (type == Check || type == Command)
        return {QStringLiteral("True"), QStringLiteral("False")};
    if (GetDataType(type) != ChoiceData)
        return {};
    return BlockLine::OptionTexts(control.OptsAndActs());
}
} // namespace

frmDecisionValue::frmDecisionValue(const CmDecisionItem& control, QWidget* parent)
    : QDialog(parent), m_default(MDecisionDataUtil::GetDefault(control))
{
    setObjectName(QStringLiteral("frmDecisionValue"));
    setWindowTitle(LoadResString(TitleId));
    auto* layout = new QVBoxLayout(this);
    auto* explanation = new QLabel(LoadResString(ExplanationId), this);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);
    layout->addWidget(new QLabel(QStringLiteral("<b>%1</b>").arg(control.strID().toHtmlEscaped()), this));
    const QStringList choices = choicesOf(control);
    if (choices.isEmpty()) {
        m_text = new QLineEdit(m_default, this);
        layout->addWidget(m_text);
    } else {
        m_choices = new QComboBox(this);
        m_choices->addItems(choices);
        layout->addWidget(m_choices);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* useDefault = buttons->addButton(LoadResString(DefaultButtonId), QDialogButtonBox::ActionRole);
    connect(useDefault, &QPushButton::clicked, this, &frmDecisionValue::takeDefault);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

void frmDecisionValue::takeDefault()
{
    if (m_text)
        m_text->setText(m_default);
    else
        m_choices->setCurrentIndex(std::max(0, m_choices->findText(m_default, Qt::MatchFixedString)));
}

QString frmDecisionValue::value() const
{
    return m_text ? m_text->text() : m_choices->currentText();
}
