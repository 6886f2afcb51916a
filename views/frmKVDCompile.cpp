#include "views/frmKVDCompile.h"

#include "base/ResourceStrings.h"
#include "validate/FileTypeConversion.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int titleId = 32305;
constexpr int standAloneId = 13402;
constexpr int calledId = 13403;
constexpr int explanationId = 13404;
} // namespace

frmKVDCompile::frmKVDCompile(CmDocument& document, QWidget* parent) : QDialog(parent), m_document(document)
{
    setWindowTitle(LoadResString(titleId));
    auto* layout = new QVBoxLayout(this);
    m_standAlone = new QRadioButton(LoadResString(standAloneId), this);
    m_called = new QRadioButton(LoadResString(calledId), this);
    layout->addWidget(m_standAlone);
    layout->addWidget(m_called);
    auto* explanation = new QLabel(LoadResString(explanationId), this);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);
    setCalledFromApplication(FileTypeConversion::IsCalledFromApplication(document));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmKVDCompile::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

bool frmKVDCompile::calledFromApplication() const
{
    return m_called->isChecked();
}

void frmKVDCompile::setCalledFromApplication(bool called)
{
    (called ? m_called : m_standAlone)->setChecked(true);
}

void frmKVDCompile::accept()
{
    FileTypeConversion::SetDesktopMode(m_document, calledFromApplication());
    QDialog::accept();
}
