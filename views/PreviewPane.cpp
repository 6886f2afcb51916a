#include "views/PreviewPane.h"

#include "project/CModel.h"
#include "app/PreviewPage.h"
#include "base/ResourceStrings.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "views/PlayerControlView.h"
#include "views/PlayerPage.h"

#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
constexpr int NoPageId = 34208;
constexpr int NoInputId = 34209;
} // namespace

PreviewPane::PreviewPane(CModel& model, Shows shows, QWidget* parent)
    : QWidget(parent), m_model(model), m_shows(shows)
{
    setObjectName(QLatin1String(shows == Shows::Page ? PageName : InputName));
    m_stack = new QStackedWidget(this);
    m_nothing = new QLabel(LoadResString(shows == Shows::Page ? NoPageId : NoInputId), m_stack);
    m_nothing->setWordWrap(true);
    m_nothing->setAlignment(Qt::AlignCenter);
    m_nothing->setEnabled(false);
    m_page = new PlayerPage(m_stack);
    m_stack->addWidget(m_nothing);
    m_stack->addWidget(m_page);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_stack);

    // Several changes of one edit show once.
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(0);
    connect(&m_refresh, &QTimer::timeout, this, &PreviewPane::refresh);

    CmDecisionManager& decisions = model.Decisions();
    connect(&decisions, &CmDecisionManager::selectedChanged, this, &PreviewPane::fallBehind);
    connect(&decisions, &CmDecisionManager::decisionChanged, this, &PreviewPane::concern);
    connect(&decisions, &CmDecisionManager::decisionRenamed, this, &PreviewPane::concern);
    connect(&decisions, &CmDecisionManager::decisionRemoved, this, &PreviewPane::concern);
    connect(&decisions, &CmDecisionManager::cleared, this, [this] {
        m_shown.clear();
        fallBehind();
    });
}

void PreviewPane::concern(const CmDecisionItem* item)
{
    if (m_shown.contains(item))
        fallBehind();
}

void PreviewPane::fallBehind()
{
    m_behind = true;
    if (isVisible())
        m_refresh.start();
}

void PreviewPane::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_behind)
        refresh();
}

void PreviewPane::refresh()
{
    m_refresh.stop();
    m_behind = false;
    m_page->clear();
    m_shown.clear();
    const CmDecisionManager& decisions = m_model.Decisions();
    m_showing = decisions.Selected();
    if (!m_showing) {
        m_stack->setCurrentWidget(m_nothing);
        return;
    }
    const StorageDocument* storage = &m_model.Document().Storage();
    if (m_shows == Shows::InputOnly) {
        const PreviewPage::Input input = PreviewPage::InputOf(*m_showing, decisions, storage);
        m_page->addControl(new PlayerControlView(input.control, input.value, input.items));
        m_shown.insert(m_showing);
    } else {
        const PreviewPage preview = PreviewPage::Of(*m_showing, decisions, storage);
        m_page->setHeader(preview.header());
        m_page->setPicture(preview.picture());
        for (const PreviewPage::Input& input : preview.inputs())
            m_page->addControl(new PlayerControlView(input.control, input.value, input.items));
        m_shown = QSet<const CmDecisionItem*>(preview.shown().cbegin(), preview.shown().cend());
    }
    m_stack->setCurrentWidget(m_page);
}
