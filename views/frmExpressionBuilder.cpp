#include "views/frmExpressionBuilder.h"

#include "base/IPrompt.h"
#include "base/ResourceStrings.h"
#include "lang/ExpressionParser.h"
#include "lang/ISelectorCatalog.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

using ExpressionBuilder::Button;

constexpr int clearId = 11201;
// The captions of 11202 to 11204 with access keys.
constexpr int selectorPanelId = 33621;
constexpr int optionPanelId = 33620;
constexpr int controlPanelId = 33619;
constexpr int validateId = 11205;
constexpr int okId = 32602;
constexpr int cancelId = 32603;
constexpr int titleId = 33640;
constexpr int inverseId = 33641;
constexpr int insertId = 33642;
constexpr int propertyAloneId = 33643;
constexpr int readsId = 33644;
constexpr int doesNotReadId = 33645;
constexpr int keepAnywayId = 33646;
constexpr int referencesExistId = 33647;
constexpr int noSelectorsId = 33648;
constexpr int controlsLabelId = 33649;
constexpr int optionsLabelId = 33650;
constexpr int selectorsLabelId = 33651;
constexpr int propertiesLabelId = 33652;
constexpr int itemsLabelId = 33653;
// Captions of the function buttons, Abs to PI in button order.
constexpr int firstFunctionCaptionId = 33654;

constexpr int buttonsPerRow = 6;

QString caption(const ExpressionBuilder::ButtonRow& row)
{
    if (row.captionId != 0)
        return LoadResString(row.captionId);
    if (row.button >= Button::Abs)
        return LoadResString(firstFunctionCaptionId + static_cast<int>(row.button) - static_cast<int>(Button::Abs));
    // An operator's caption is the operator itself.
    return row.plain.text.trimmed();
}

QLabel* labelFor(int id, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(LoadResString(id), parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

frmExpressionBuilder::frmExpressionBuilder(const ExpressionBuilderSources& sources, QWidget* parent)
    : QDialog(parent), m_sources(sources)
{
    setObjectName(QStringLiteral("frmExpressionBuilder"));
    setWindowTitle(LoadResString(titleId));
    m_expression = new QLineEdit(this);
    m_expression->setObjectName(QStringLiteral("expression"));
    m_expression->setMinimumWidth(480);
    m_syntax = new QLabel(this);
    m_syntax->setWordWrap(true);
    // Made before the panels, so Tab goes from the expression to the buttons, then the panels.
    QWidget* operators = makeButtons();
    m_panels = new QTabWidget(this);
    m_panels->addTab(makeControlPanel(), LoadResString(controlPanelId));
    m_panels->addTab(makeOptionPanel(), LoadResString(optionPanelId));
    const int selectorTab = m_panels->addTab(makeSelectorPanel(), LoadResString(selectorPanelId));
    if (m_sources.selectors.isEmpty()) {
        m_panels->setTabEnabled(selectorTab, false);
        m_panels->setTabToolTip(selectorTab, LoadResString(noSelectorsId));
    }

    auto* clear = new QPushButton(LoadResString(clearId), this);
    auto* validateButton = new QPushButton(LoadResString(validateId), this);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(clear, QDialogButtonBox::ResetRole);
    buttons->addButton(validateButton, QDialogButtonBox::ActionRole);
    QPushButton* ok = buttons->addButton(LoadResString(okId), QDialogButtonBox::AcceptRole);
    buttons->addButton(LoadResString(cancelId), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(clear, &QPushButton::clicked, this, [this] {
        m_expression->clear();
        m_expression->setFocus();
    });
    connect(validateButton, &QPushButton::clicked, this, &frmExpressionBuilder::validate);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmExpressionBuilder::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_expression, &QLineEdit::textChanged, this, &frmExpressionBuilder::showSyntax);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_expression);
    layout->addWidget(m_syntax);
    layout->addWidget(operators);
    layout->addWidget(m_panels);
    layout->addWidget(buttons);
    showSyntax();
    updateButtons();
    // Return in a list inserts or goes on to the next list; it does not close the builder.
    for (QWidget* list : std::initializer_list<QWidget*>{m_controls, m_optionControl, m_options, m_selectors,
                                                         m_properties, m_items})
        list->installEventFilter(this);
    m_expression->setFocus();
}

bool frmExpressionBuilder::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || key->modifiers() != Qt::NoModifier)
        return QDialog::eventFilter(watched, event);
    if (watched == m_controls)
        insertControlReference();
    else if (watched == m_optionControl)
        m_options->setFocus();
    else if (watched == m_options)
        insertOptionReference();
    else if (watched == m_selectors)
        m_properties->setFocus();
    else if (watched == m_properties)
        m_items->setFocus();
    else if (watched == m_items)
        insertSelectorReference();
    else
        return QDialog::eventFilter(watched, event);
    return true;
}

QWidget* frmExpressionBuilder::makeButtons()
{
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    int index = 0;
    for (const ExpressionBuilder::ButtonRow& row : ExpressionBuilder::Buttons()) {
        auto* button = new QPushButton(caption(row), box);
        button->setAutoDefault(false);
        // The expression box keeps the caret: the buttons take no focus from it by mouse.
        button->setFocusPolicy(Qt::TabFocus);
        button->setToolTip(row.plain.text.trimmed());
        const Button which = row.button;
        connect(button, &QPushButton::clicked, this, [this, which] { press(which); });
        grid->addWidget(button, index / buttonsPerRow, index % buttonsPerRow);
        ++index;
    }
    m_inverse = new QCheckBox(LoadResString(inverseId), box);
    m_inverse->setFocusPolicy(Qt::TabFocus);
    grid->addWidget(m_inverse, index / buttonsPerRow, index % buttonsPerRow);
    return box;
}

QWidget* frmExpressionBuilder::makeControlPanel()
{
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    m_controls = new QListWidget(panel);
    m_controls->addItems(ExpressionBuilder::ControlNames(m_sources.decisions));
    m_insertControl = new QPushButton(LoadResString(insertId), panel);
    m_insertControl->setAutoDefault(false);
    layout->addWidget(labelFor(controlsLabelId, m_controls, panel));
    layout->addWidget(m_controls);
    layout->addWidget(m_insertControl, 0, Qt::AlignRight);
    connect(m_insertControl, &QPushButton::clicked, this, &frmExpressionBuilder::insertControlReference);
    connect(m_controls, &QListWidget::itemActivated, this, &frmExpressionBuilder::insertControlReference);
    connect(m_controls, &QListWidget::currentRowChanged, this, &frmExpressionBuilder::updateButtons);
    return panel;
}

QWidget* frmExpressionBuilder::makeOptionPanel()
{
    auto* panel = new QWidget(this);
    auto* layout = new QGridLayout(panel);
    m_optionControl = new QComboBox(panel);
    for (int i = 0; i < m_controls->count(); ++i)
        m_optionControl->addItem(m_controls->item(i)->text());
    m_options = new QListWidget(panel);
    m_insertOption = new QPushButton(LoadResString(insertId), panel);
    m_insertOption->setAutoDefault(false);
    layout->addWidget(labelFor(controlsLabelId, m_optionControl, panel), 0, 0);
    layout->addWidget(m_optionControl, 0, 1);
    layout->addWidget(labelFor(optionsLabelId, m_options, panel), 1, 0, Qt::AlignTop);
    layout->addWidget(m_options, 1, 1);
    layout->addWidget(m_insertOption, 2, 1, Qt::AlignRight);
    connect(m_optionControl, &QComboBox::currentIndexChanged, this, &frmExpressionBuilder::showOptions);
    connect(m_insertOption, &QPushButton::clicked, this, &frmExpressionBuilder::insertOptionReference);
    connect(m_options, &QListWidget::itemActivated, this, &frmExpressionBuilder::insertOptionReference);
    connect(m_options, &QListWidget::currentRowChanged, this, &frmExpressionBuilder::updateButtons);
    showOptions();
    return panel;
}

QWidget* frmExpressionBuilder::makeSelectorPanel()
{
    auto* panel = new QWidget(this);
    auto* layout = new QGridLayout(panel);
    m_selectors = new QListWidget(panel);
    m_selectors->addItems(m_sources.selectors);
    m_properties = new QListWidget(panel);
    m_items = new QListWidget(panel);
    layout->addWidget(labelFor(selectorsLabelId, m_selectors, panel), 0, 0);
    layout->addWidget(labelFor(propertiesLabelId, m_properties, panel), 0, 1);
    layout->addWidget(labelFor(itemsLabelId, m_items, panel), 0, 2);
    layout->addWidget(m_selectors, 1, 0);
    layout->addWidget(m_properties, 1, 1);
    layout->addWidget(m_items, 1, 2);
    auto* row = new QHBoxLayout();
    m_insertProperty = new QPushButton(LoadResString(propertyAloneId), panel);
    m_insertSelector = new QPushButton(LoadResString(insertId), panel);
    m_insertProperty->setAutoDefault(false);
    m_insertSelector->setAutoDefault(false);
    row->addStretch();
    row->addWidget(m_insertProperty);
    row->addWidget(m_insertSelector);
    layout->addLayout(row, 2, 0, 1, 3);
    connect(m_selectors, &QListWidget::currentRowChanged, this, &frmExpressionBuilder::showSelector);
    for (QListWidget* list : {m_properties, m_items})
        connect(list, &QListWidget::currentRowChanged, this, &frmExpressionBuilder::updateButtons);
    connect(m_items, &QListWidget::itemActivated, this, &frmExpressionBuilder::insertSelectorReference);
    connect(m_insertSelector, &QPushButton::clicked, this, &frmExpressionBuilder::insertSelectorReference);
    connect(m_insertProperty, &QPushButton::clicked, this, &frmExpressionBuilder::insertPropertyAlone);
    return panel;
}

QString frmExpressionBuilder::Expression() const
{
    return m_expression->text();
}

void frmExpressionBuilder::setExpression(const QString& expression)
{
    m_expression->setText(expression);
    m_expression->setCursorPosition(static_cast<int>(expression.size()));
}

void frmExpressionBuilder::setItemSelector(const QString& selector)
{
    m_itemSelector = selector.trimmed();
    updateButtons();
}

void frmExpressionBuilder::insertText(const ExpressionBuilder::Insertion& insertion)
{
    if (insertion.text.isEmpty())
        return;
    int caret = 0;
    const QString text = ExpressionBuilder::Insert(m_expression->text(), m_expression->cursorPosition(), insertion, caret);
    m_expression->setText(text);
    m_expression->setCursorPosition(caret);
    m_expression->setFocus();
}

void frmExpressionBuilder::press(Button button)
{
    insertText(ExpressionBuilder::InsertionFor(button, m_inverse->isChecked()));
}

void frmExpressionBuilder::insertControlReference()
{
    if (const QListWidgetItem* item = m_controls->currentItem())
        insertText({ExpressionBuilder::ControlReferenceText(item->text()), 0});
}

void frmExpressionBuilder::insertOptionReference()
{
    if (const QListWidgetItem* item = m_options->currentItem())
        insertText({ExpressionBuilder::OptionReferenceText(item->text()), 0});
}

void frmExpressionBuilder::insertSelectorReference()
{
    const QListWidgetItem* selector = m_selectors->currentItem();
    const QListWidgetItem* property = m_properties->currentItem();
    const QListWidgetItem* item = m_items->currentItem();
    if (selector && property && item)
        insertText({ExpressionBuilder::SelectorReferenceText(selector->text(), property->text(), item->text()), 0});
}

void frmExpressionBuilder::insertPropertyAlone()
{
    if (const QListWidgetItem* property = m_properties->currentItem())
        insertText({ExpressionBuilder::PropertyReferenceText(property->text()), 0});
}

void frmExpressionBuilder::showOptions()
{
    m_options->clear();
    if (const CmDecisionItem* decision = m_sources.decisions.Item(m_optionControl->currentText()))
        m_options->addItems(ExpressionBuilder::OptionChoices(*decision));
    updateButtons();
}

void frmExpressionBuilder::showSelector()
{
    m_properties->clear();
    m_items->clear();
    if (const QListWidgetItem* selector = m_selectors->currentItem()) {
        m_properties->addItems(m_sources.catalog.Properties(selector->text()).value_or(QStringList()));
        m_items->addItems(m_sources.catalog.Items(selector->text()).value_or(QStringList()));
    }
    updateButtons();
}

void frmExpressionBuilder::updateButtons()
{
    // The panels are made one after the other; the last one made shows them all.
    if (!m_controls || !m_options || !m_selectors)
        return;
    m_insertControl->setEnabled(m_controls->currentItem() != nullptr);
    m_insertOption->setEnabled(m_options->currentItem() != nullptr);
    const QListWidgetItem* selector = m_selectors->currentItem();
    const QListWidgetItem* property = m_properties->currentItem();
    m_insertSelector->setEnabled(selector && property && m_items->currentItem()
                                 && !ExpressionBuilder::SelectorReferenceText(selector->text(), property->text(),
                                                                              m_items->currentItem()->text())
                                         .isEmpty());
    // A property alone means the item under test, so only the selector being tested offers it.
    const bool underTest = selector && !m_itemSelector.isEmpty()
                           && selector->text().compare(m_itemSelector, Qt::CaseInsensitive) == 0;
    m_insertProperty->setVisible(!m_itemSelector.isEmpty());
    m_insertProperty->setEnabled(underTest && property
                                 && !ExpressionBuilder::PropertyReferenceText(property->text()).isEmpty());
}

void frmExpressionBuilder::showSyntax()
{
    const QString text = m_expression->text();
    if (text.trimmed().isEmpty()) {
        m_syntax->clear();
        return;
    }
    const ExpressionParseResult result = ExpressionParser::parse(text);
    m_syntax->setText(result.ok() ? LoadResString(readsId) : LoadResString(doesNotReadId).arg(result.message));
}

bool frmExpressionBuilder::validate()
{
    const ExpressionBuilder::CheckResult check =
        ExpressionBuilder::CheckReferences(Expression(), m_sources.decisions, m_sources.catalog);
    if (!check.passed) {
        m_sources.prompt.MessageBox(check.message, check.title, PromptButtons::Ok, PromptIcon::Exclamation);
        m_expression->setFocus();
        return false;
    }
    m_syntax->setText(m_syntax->text().isEmpty() ? LoadResString(referencesExistId)
                                                 : m_syntax->text() + QLatin1Char(' ') + LoadResString(referencesExistId));
    return true;
}

void frmExpressionBuilder::accept()
{
    if (!validate())
        return;
    const QString text = Expression();
    if (!text.trimmed().isEmpty()) {
        const ExpressionParseResult result = ExpressionParser::parse(text);
        if (!result.ok()
            && m_sources.prompt.MessageBox(LoadResString(keepAnywayId).arg(result.message), windowTitle(),
                                           PromptButtons::YesNo, PromptIcon::Question)
                   != PromptAnswer::Yes) {
            m_expression->setFocus();
            return;
        }
    }
    QDialog::accept();
}
