#include "views/SelectorTypeDialog.h"

#include "views/TitleFit.h"

#include "base/ResourceStrings.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int TitleId = 10950;
constexpr int ExplanationId = 10951;
constexpr int FrameId = 10952;
constexpr int InternalId = 10953;
constexpr int ExternalId = 10954;
constexpr int OkId = 13000;
constexpr int CancelId = 13001;
} // namespace

SelectorTypeDialog::SelectorTypeDialog(QWidget* parent)
    : QDialog(parent), m_internal(new QRadioButton(LoadResString(InternalId))),
      m_external(new QRadioButton(LoadResString(ExternalId)))
{
    setWindowTitle(LoadResString(TitleId));
    auto* frame = new QGroupBox(LoadResString(FrameId));
    auto* choices = new QVBoxLayout(frame);
    choices->addWidget(m_internal);
    choices->addWidget(m_external);
    m_internal->setChecked(true);
    auto* explanation = new QLabel(LoadResString(ExplanationId));
    explanation->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(LoadResString(OkId));
    buttons->button(QDialogButtonBox::Cancel)->setText(LoadResString(CancelId));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(explanation);
    layout->addWidget(buttons);
    TitleFit::Fit(*this);
}

SelectorKind SelectorTypeDialog::Choice() const
{
    return m_external->isChecked() ? SelectorKind::External : SelectorKind::Internal;
}
