#include "views/JourneyTools.h"

#include "app/CApplication.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "app/ToolId.h"
#include "base/ResourceStrings.h"
#include "model/CmDocument.h"
#include "testmode/CcDecisionTest.h"

#include <QDockWidget>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMainWindow>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int CaptionId = 33004;
constexpr int RunId = 33078;
constexpr int RunAllId = 33079;
constexpr int DeleteId = 33080;
const QString Band = QStringLiteral("barJourneys");

QPushButton* button(int textId, QWidget* parent, const QString& name)
{
    auto* made = new QPushButton(LoadResString(textId), parent);
    made->setObjectName(name);
    return made;
}
} // namespace

JourneyTools::JourneyTools(CApplication& application, QMainWindow& mainWindow, CcDecisionTest& test)
    : m_application(application), m_test(test),
      m_journeys(application.Model().Decisions(), application.Model().Document(), application.Prompt())
{
    m_dock = new QDockWidget(LoadResString(CaptionId), &mainWindow);
    m_dock->setObjectName(Band);
    auto* content = new QWidget(m_dock);
    m_table = new QTableView(content);
    m_table->setObjectName(QStringLiteral("journeyList"));
    m_table->setModel(&m_journeys.List());
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    // The names and results as wide as they are; the difference takes the rest, its whole text
    // in the tooltip.
    m_table->horizontalHeader()->setSectionResizeMode(JourneyListModel::NameColumn, QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setSectionResizeMode(JourneyListModel::ResultColumn, QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    content->setMinimumWidth(520);
    QPushButton* run = button(RunId, content, QStringLiteral("runJourney"));
    QPushButton* runAll = button(RunAllId, content, QStringLiteral("runAllJourneys"));
    QPushButton* remove = button(DeleteId, content, QStringLiteral("deleteJourney"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(run);
    buttons->addWidget(runAll);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(content);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    m_dock->setWidget(content);
    mainWindow.addDockWidget(Qt::BottomDockWidgetArea, m_dock);
    m_dock->hide();

    connect(run, &QPushButton::clicked, this, &JourneyTools::RunSelected);
    connect(runAll, &QPushButton::clicked, this, [this] { m_journeys.Run(); });
    connect(remove, &QPushButton::clicked, this, &JourneyTools::DeleteSelected);
    connect(m_table, &QTableView::doubleClicked, this, [this](const QModelIndex& index) { m_journeys.Run({index.row()}); });
    connect(&m_journeys, &CcJourneys::logLine, &application.View(), &CView::AddLog);
    CmDocument& document = application.Model().Document();
    connect(&document, &CmDocument::opened, this, [this] { m_journeys.Reload(); });
    connect(&document, &CmDocument::nameChanged, this, [this] { m_journeys.Reload(); });
    connect(m_dock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible)
            m_journeys.Reload();
    });
    m_journeys.Reload();
    application.View().AddWindowTools(this);
}

JourneyTools::~JourneyTools()
{
    m_application.View().RemoveWindowTools(this);
    delete m_dock.data();
}

bool JourneyTools::Handles(int id) const
{
    return id == +ToolId::RecordJourney || id == +ToolId::RunAllJourneys;
}

bool JourneyTools::Allowed(int id) const
{
    if (id == +ToolId::RecordJourney)
        return CcJourneys::CanRecord(m_test.Engine());
    return m_journeys.List().rowCount() > 0;
}

void JourneyTools::Run(int id)
{
    if (id == +ToolId::RecordJourney) {
        if (m_journeys.Record(m_test.Engine()))
            showWindow();
        return;
    }
    showWindow();
    m_journeys.Run();
}

void JourneyTools::showWindow()
{
    m_application.View().ShowToolBar(Band);
}

QList<int> JourneyTools::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& index : m_table->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void JourneyTools::RunSelected()
{
    const QList<int> rows = selectedRows();
    if (!rows.isEmpty())
        m_journeys.Run(rows);
}

void JourneyTools::DeleteSelected()
{
    const QList<int> rows = selectedRows();
    if (rows.size() == 1)
        m_journeys.Remove(rows.first());
}
