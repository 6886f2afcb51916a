#include "views/SelectorPickDialog.h"

#include "base/ResourceStrings.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int ListTitleId = 32207;
constexpr int CancelId = 13001;
} // namespace

SelectorPickDialog::SelectorPickDialog(const QString& caption, const QStringList& names, bool several, QWidget* parent)
    : QDialog(parent), m_list(new QListWidget)
{
    setWindowTitle(LoadResString(ListTitleId));
    m_list->addItems(names);
    m_list->setSelectionMode(several ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    // The command's own name on the button: Edit, Delete, Export, Rename.
    buttons->button(QDialogButtonBox::Ok)->setText(caption);
    buttons->button(QDialogButtonBox::Cancel)->setText(LoadResString(CancelId));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
}

QStringList SelectorPickDialog::Chosen() const
{
    QStringList names;
    for (const QListWidgetItem* item : m_list->selectedItems())
        names.append(item->text());
    return names;
}
