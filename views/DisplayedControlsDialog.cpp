#include "views/DisplayedControlsDialog.h"

#include "base/ResourceStrings.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSet>
#include <QVBoxLayout>

namespace {

constexpr int TitleId = 33404;
constexpr int FilterId = 33415;

} // namespace

DisplayedControlsDialog::DisplayedControlsDialog(const QStringList& available, const QStringList& shown, QWidget* parent)
    : QDialog(parent), m_shown(shown)
{
    setWindowTitle(LoadResString(TitleId));
    setObjectName(QStringLiteral("frmDisplayedControls"));
    m_filter = new QLineEdit(this);
    m_filter->setPlaceholderText(LoadResString(FilterId));
    m_filter->setClearButtonEnabled(true);
    m_list = new QListWidget(this);
    m_list->setUniformItemSizes(true);
    QSet<QString> checked;
    for (const QString& name : shown)
        checked.insert(name.toUpper());
    for (const QString& name : available) {
        auto* item = new QListWidgetItem(name, m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(checked.contains(name.toUpper()) ? Qt::Checked : Qt::Unchecked);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_filter);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_filter, &QLineEdit::textChanged, this, &DisplayedControlsDialog::applyFilter);
    resize(320, 420);
}

void DisplayedControlsDialog::applyFilter(const QString& text)
{
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem* item = m_list->item(row);
        item->setHidden(!item->text().contains(text.trimmed(), Qt::CaseInsensitive));
    }
}

QStringList DisplayedControlsDialog::chosen() const
{
    QSet<QString> checked;
    QStringList added;
    for (int row = 0; row < m_list->count(); ++row) {
        const QListWidgetItem* item = m_list->item(row);
        if (item->checkState() != Qt::Checked)
            continue;
        checked.insert(item->text().toUpper());
        added.append(item->text());
    }
    QStringList result;
    QSet<QString> kept;
    for (const QString& name : m_shown) {
        if (checked.contains(name.toUpper())) {
            result.append(name);
            kept.insert(name.toUpper());
        }
    }
    for (const QString& name : std::as_const(added)) {
        if (!kept.contains(name.toUpper()))
            result.append(name);
    }
    return result;
}
