#include "views/NewOrOpenDialog.h"

#include "base/ResourceStrings.h"
#include "views/QtPrompt.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
enum Tab { NewTab, OpenTab, RecentTab };
constexpr int TitleId = 30040;
constexpr int NewTabId = 30041;
constexpr int OpenTabId = 30042;
constexpr int RecentTabId = 30043;
constexpr int NewHintId = 30044;
constexpr int BrowseId = 30045;
constexpr int NoRecentId = 30046;
constexpr int OpenTitleId = 13012;
constexpr int ProjectFilterId = 12020;
} // namespace

NewOrOpenDialog::NewOrOpenDialog(const QStringList& recentFiles, const QString& folder, QWidget* parent)
    : QDialog(parent), m_folder(folder)
{
    setWindowTitle(LoadResString(TitleId));
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_tabs->addTab(newPage(), LoadResString(NewTabId));
    m_tabs->addTab(openPage(), LoadResString(OpenTabId));
    m_tabs->addTab(recentPage(recentFiles), LoadResString(RecentTabId));
    layout->addWidget(m_tabs);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &NewOrOpenDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(520, 360);
}

QWidget* NewOrOpenDialog::newPage()
{
    auto* page = new QLabel(LoadResString(NewHintId));
    page->setAlignment(Qt::AlignCenter);
    return page;
}

QWidget* NewOrOpenDialog::openPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* browse = new QPushButton(LoadResString(BrowseId), page);
    connect(browse, &QPushButton::clicked, this, &NewOrOpenDialog::browse);
    layout->addStretch();
    layout->addWidget(browse, 0, Qt::AlignCenter);
    layout->addStretch();
    return page;
}

QWidget* NewOrOpenDialog::recentPage(const QStringList& recentFiles)
{
    m_recent = new QListWidget;
    if (recentFiles.isEmpty()) {
        auto* none = new QListWidgetItem(LoadResString(NoRecentId), m_recent);
        none->setFlags(Qt::NoItemFlags);
    }
    m_recent->addItems(recentFiles);
    connect(m_recent, &QListWidget::itemActivated, this, &NewOrOpenDialog::accept);
    return m_recent;
}

void NewOrOpenDialog::browse()
{
    const QString path = QFileDialog::getOpenFileName(this, LoadResString(OpenTitleId), m_folder,
                                                      QtPrompt::ToQtFilter(LoadResString(ProjectFilterId)));
    if (path.isEmpty())
        return;
    m_choice = {NewOrOpenChoice::Kind::ExistingFile, path};
    QDialog::accept();
}

void NewOrOpenDialog::accept()
{
    switch (m_tabs->currentIndex()) {
    case NewTab: m_choice = {NewOrOpenChoice::Kind::NewProject, QString()}; break;
    case OpenTab: browse(); return;
    case RecentTab: {
        const QListWidgetItem* item = m_recent->currentItem();
        if (!item || !(item->flags() & Qt::ItemIsEnabled))
            return;
        m_choice = {NewOrOpenChoice::Kind::RecentFile, item->text()};
        break;
    }
    default: return;
    }
    QDialog::accept();
}
