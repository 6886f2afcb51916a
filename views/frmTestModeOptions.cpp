#include "views/frmTestModeOptions.h"

#include "base/AccessKey.h"
#include "base/ResourceStrings.h"
#include "views/TestModeOptionsPage.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int TitleId = 3309;
} // namespace

frmTestModeOptions::frmTestModeOptions(const TestModeOptions& options, const QStringList& controlNames, Apply onApply,
                                       QWidget* parent)
    : QDialog(parent), m_apply(std::move(onApply))
{
    setObjectName(QStringLiteral("frmTestModeOptions"));
    setWindowTitle(LoadResPlainString(TitleId).remove(QLatin1String("...")));
    m_page = new TestModeOptionsPage(options, controlNames, this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, &frmTestModeOptions::apply);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        apply();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_page);
    layout->addWidget(buttons);
}

TestModeOptions frmTestModeOptions::options() const
{
    return m_page->options();
}

void frmTestModeOptions::apply()
{
    if (m_apply)
        m_apply(m_page->options());
}
