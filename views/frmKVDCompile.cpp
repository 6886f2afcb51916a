#include "views/frmKVDCompile.h"

#include "base/ResourceStrings.h"
#include "model/CmDocument.h"
#include "validate/FileTypeConversion.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
constexpr int titleId = 32305;
constexpr int standAloneId = 13402;
constexpr int calledId = 13403;
constexpr int explanationId = 13404;
constexpr int appsLabelId = 33623;
constexpr int nameColumnId = 33624;
constexpr int classColumnId = 33625;
constexpr int addId = 33626;
constexpr int removeId = 33627;

enum Column { NameColumn, ClassColumn };

// What the document holds, in its order.
QList<frmKVDCompile::CallingApp> storedApps(const CmDocument& document)
{
    QList<frmKVDCompile::CallingApp> apps;
    for (int i = 1; i <= document.CallAppCount(); ++i) {
        if (!document.CallAppName(i).isEmpty() || !document.CallAppClass(i).isEmpty())
            apps.append({document.CallAppName(i), document.CallAppClass(i)});
    }
    return apps;
}
} // namespace

frmKVDCompile::frmKVDCompile(CmDocument& document, QWidget* parent) : QDialog(parent), m_document(document)
{
    setWindowTitle(LoadResString(titleId));
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    auto* layout = new QVBoxLayout(this);
    m_standAlone = new QRadioButton(LoadResString(standAloneId), this);
    m_called = new QRadioButton(LoadResString(calledId), this);
    layout->addWidget(m_standAlone);
    layout->addWidget(m_called);
    auto* explanation = new QLabel(LoadResString(explanationId), this);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);

    m_apps = new QTableWidget(0, 2, this);
    m_apps->setHorizontalHeaderLabels({LoadResString(nameColumnId), LoadResString(classColumnId)});
    m_apps->horizontalHeader()->setStretchLastSection(true);
    m_apps->verticalHeader()->hide();
    m_apps->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (const auto& [name, classId] : storedApps(document)) {
        const int row = m_apps->rowCount();
        m_apps->insertRow(row);
        m_apps->setItem(row, NameColumn, new QTableWidgetItem(name));
        m_apps->setItem(row, ClassColumn, new QTableWidgetItem(classId));
    }
    auto* appsLabel = new QLabel(LoadResString(appsLabelId), this);
    appsLabel->setBuddy(m_apps);
    m_add = new QPushButton(LoadResString(addId), this);
    m_remove = new QPushButton(LoadResString(removeId), this);
    for (QPushButton* button : {m_add, m_remove})
        button->setAutoDefault(false);
    auto* appButtons = new QHBoxLayout();
    appButtons->addStretch();
    appButtons->addWidget(m_add);
    appButtons->addWidget(m_remove);
    layout->addWidget(appsLabel);
    layout->addWidget(m_apps);
    layout->addLayout(appButtons);
    connect(m_add, &QPushButton::clicked, this, &frmKVDCompile::addCallingApp);
    connect(m_remove, &QPushButton::clicked, this, &frmKVDCompile::removeCallingApp);
    connect(m_called, &QRadioButton::toggled, this, &frmKVDCompile::updateButtons);
    connect(m_apps, &QTableWidget::currentCellChanged, this, &frmKVDCompile::updateButtons);

    setCalledFromApplication(FileTypeConversion::IsCalledFromApplication(document));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmKVDCompile::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    updateButtons();
}

bool frmKVDCompile::calledFromApplication() const
{
    return m_called->isChecked();
}

void frmKVDCompile::setCalledFromApplication(bool called)
{
    (called ? m_called : m_standAlone)->setChecked(true);
}

QList<frmKVDCompile::CallingApp> frmKVDCompile::callingApps() const
{
    QList<CallingApp> apps;
    const auto text = [this](int row, int column) {
        const QTableWidgetItem* item = m_apps->item(row, column);
        return item ? item->text().trimmed() : QString();
    };
    for (int row = 0; row < m_apps->rowCount(); ++row) {
        CallingApp app{text(row, NameColumn), text(row, ClassColumn)};
        if (!app.first.isEmpty() || !app.second.isEmpty())
            apps.append(std::move(app));
    }
    return apps;
}

void frmKVDCompile::addCallingApp()
{
    const int row = m_apps->rowCount();
    m_apps->insertRow(row);
    m_apps->setItem(row, NameColumn, new QTableWidgetItem());
    m_apps->setItem(row, ClassColumn, new QTableWidgetItem());
    m_apps->setCurrentCell(row, NameColumn);
    m_apps->setFocus();
    m_apps->editItem(m_apps->item(row, NameColumn));
}

void frmKVDCompile::removeCallingApp()
{
    const int row = m_apps->currentRow();
    if (row < 0)
        return;
    m_apps->removeRow(row);
    m_apps->setFocus();
    updateButtons();
}

void frmKVDCompile::updateButtons()
{
    // The list means something only to a wizard that another application starts.
    const bool called = calledFromApplication();
    m_apps->setEnabled(called);
    m_add->setEnabled(called);
    m_remove->setEnabled(called && m_apps->currentRow() >= 0);
}

void frmKVDCompile::accept()
{
    FileTypeConversion::SetDesktopMode(m_document, calledFromApplication());
    const QList<CallingApp> apps = callingApps();
    if (apps != storedApps(m_document)) {
        m_document.ClearCallApps();
        for (int i = 0; i < apps.size(); ++i) {
            m_document.setCallAppName(i + 1, apps.at(i).first);
            m_document.setCallAppClass(i + 1, apps.at(i).second);
        }
        m_document.setDirty(true);
    }
    QDialog::accept();
}
