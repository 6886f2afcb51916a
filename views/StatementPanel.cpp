#include "views/StatementPanel.h"

#include "base/ResourceStrings.h"
#include "base/StartUpTables.h"
#include "lang/ActionStatement.h"

#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStringListModel>

namespace {

using ActionStatement::Shape;
using BlockLine::Keyword;

constexpr int replaceId = 33572;
constexpr int addId = 33573;
constexpr int builderId = 33574;
constexpr int optionKindId = 33575;
constexpr int helpKindId = 33576;
constexpr int kindLabelId = 33577;
constexpr int optionTextId = 33578;
constexpr int helpTextId = 33579;
constexpr int nextControlId = 33580;
constexpr int controlId = 33581;
constexpr int valueId = 33582;
constexpr int expressionId = 33583;
constexpr int selectorId = 33584;
constexpr int sortKeysId = 33585;
constexpr int textId = 33586;
constexpr int finishButtonId = 33587;
constexpr int onId = 33588;
constexpr int offId = 33589;

// The kind box's data: the keyword's id, or one of these.
constexpr int optionKind = 0;
constexpr int helpKind = 1;

// The value the runtimes read for each choice of the Finish button.
const QString switchOn = QStringLiteral("On");
const QString switchOff = QStringLiteral("Off");

} // namespace

StatementPanel::StatementPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("statement"));
    m_kind = new QComboBox(this);
    m_kind->addItem(LoadResString(optionKindId), optionKind);
    m_kind->addItem(LoadResString(helpKindId), helpKind);
    const QStringList& keywords = StartUpTables::Keywords();
    for (int i = 0; i < keywords.size(); ++i)
        m_kind->addItem(BlockLine::ActionMarker + keywords.at(i), StartUpTables::FirstKeywordId + i);
    m_targetLabel = new QLabel(this);
    m_target = new QComboBox(this);
    m_target->setEditable(true);
    m_target->setInsertPolicy(QComboBox::NoInsert);
    m_valueLabel = new QLabel(this);
    m_value = new QLineEdit(this);
    m_switch = new QComboBox(this);
    m_switch->addItem(LoadResString(onId), switchOn);
    m_switch->addItem(LoadResString(offId), switchOff);
    m_build = new QPushButton(LoadResString(builderId), this);
    m_add = new QPushButton(LoadResString(addId), this);
    m_replace = new QPushButton(LoadResString(replaceId), this);
    for (QPushButton* button : {m_build, m_add, m_replace})
        button->setAutoDefault(false);
    // The lists keep the width of the row whichever fields the kind shows.
    for (QComboBox* box : {m_kind, m_target, m_switch})
        box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_targetLabel->setBuddy(m_target);
    m_valueLabel->setBuddy(m_value);

    auto* kindLabel = new QLabel(LoadResString(kindLabelId), this);
    kindLabel->setBuddy(m_kind);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(kindLabel, 0, 0);
    layout->addWidget(m_kind, 0, 1);
    layout->addWidget(m_targetLabel, 1, 0);
    layout->addWidget(m_target, 1, 1);
    layout->addWidget(m_valueLabel, 2, 0);
    auto* valueRow = new QHBoxLayout();
    valueRow->addWidget(m_value, 1);
    valueRow->addWidget(m_switch, 1);
    valueRow->addWidget(m_build);
    layout->addLayout(valueRow, 2, 1);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(m_replace);
    buttons->addWidget(m_add);
    layout->addLayout(buttons, 3, 0, 1, 2);
    layout->setColumnStretch(1, 1);

    connect(m_kind, &QComboBox::currentIndexChanged, this, &StatementPanel::kindChosen);
    connect(m_value, &QLineEdit::textEdited, this, [this] { m_partsAsLoaded = false; });
    connect(m_target->lineEdit(), &QLineEdit::textEdited, this, [this] { m_partsAsLoaded = false; });
    connect(m_build, &QPushButton::clicked, this, &StatementPanel::buildExpression);
    connect(m_add, &QPushButton::clicked, this, &StatementPanel::addRequested);
    connect(m_replace, &QPushButton::clicked, this, &StatementPanel::replaceRequested);
    // Return adds the line, Ctrl+Return puts it in place of the selected one.
    connect(m_value, &QLineEdit::returnPressed, this, &StatementPanel::addRequested);
    connect(m_target->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        // A control or selector alone (!GO) is complete; otherwise the value comes next.
        if (m_value->isVisibleTo(this))
            m_value->setFocus();
        else
            emit addRequested();
    });
    auto* replaceKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this, nullptr, nullptr,
                                     Qt::WidgetWithChildrenShortcut);
    connect(replaceKey, &QShortcut::activated, this, [this] {
        if (m_replace->isEnabled())
            emit replaceRequested();
    });
    showFields();
}

void StatementPanel::setControlNames(const QStringList& names)
{
    m_controls = names;
    showFields();
}

void StatementPanel::setSelectorNames(const QStringList& names)
{
    m_selectors = names;
    showFields();
}

void StatementPanel::setOptionChoices(const QStringList& choices)
{
    if (choices.isEmpty()) {
        m_value->setCompleter(nullptr);
        delete m_optionCompleter;
        m_optionCompleter = nullptr;
    } else if (!m_optionCompleter) {
        m_optionCompleter = new QCompleter(choices, this);
        m_optionCompleter->setCaseSensitivity(Qt::CaseInsensitive);
    } else {
        m_optionCompleter->setModel(new QStringListModel(choices, m_optionCompleter));
    }
    showFields();
}

StatementPanel::Kind StatementPanel::kind() const
{
    const int chosen = m_kind->currentData().toInt();
    return chosen == optionKind ? Kind::Option : chosen == helpKind ? Kind::Help : Kind::Action;
}

std::optional<Keyword> StatementPanel::keyword() const
{
    if (kind() != Kind::Action)
        return std::nullopt;
    return static_cast<Keyword>(m_kind->currentData().toInt());
}

void StatementPanel::chooseOption()
{
    m_kind->setCurrentIndex(m_kind->findData(optionKind));
}

void StatementPanel::chooseHelp()
{
    m_kind->setCurrentIndex(m_kind->findData(helpKind));
}

void StatementPanel::chooseKeyword(Keyword keyword)
{
    m_kind->setCurrentIndex(m_kind->findData(static_cast<int>(keyword)));
}

void StatementPanel::setTargetNames(const QStringList& names)
{
    const QString kept = m_target->currentText();
    m_target->clear();
    m_target->addItems(names);
    m_target->setEditText(kept);
}

void StatementPanel::showFields()
{
    const std::optional<Keyword> word = keyword();
    const Shape shape = word ? ActionStatement::ShapeOf(*word) : Shape::Text;
    const bool target = word && (shape == Shape::Control || shape == Shape::ControlValue || shape == Shape::SelectorExpression);
    const bool value = !word || (shape != Shape::Bare && shape != Shape::Control && shape != Shape::Switch);
    m_targetLabel->setVisible(target);
    m_target->setVisible(target);
    m_valueLabel->setVisible(value || shape == Shape::Switch);
    m_value->setVisible(value);
    m_switch->setVisible(word && shape == Shape::Switch);
    m_build->setVisible(canBuildExpression());
    if (target) {
        const bool selector = shape == Shape::SelectorExpression;
        m_targetLabel->setText(LoadResString(selector ? selectorId : word == Keyword::Go ? nextControlId : controlId));
        QStringList names = selector ? m_selectors : m_controls;
        if (word == Keyword::Go)
            names.append(QString(BlockLine::FinishLink));
        setTargetNames(names);
    }
    int valueLabel = textId;
    if (!word)
        valueLabel = kind() == Kind::Option ? optionTextId : helpTextId;
    else if (shape == Shape::ControlValue)
        valueLabel = valueId;
    else if (shape == Shape::Expression || word == Keyword::Kill)
        valueLabel = expressionId;
    else if (word == Keyword::Sort)
        valueLabel = sortKeysId;
    else if (shape == Shape::Switch)
        valueLabel = finishButtonId;
    m_valueLabel->setText(LoadResString(valueLabel));
    m_value->setCompleter(kind() == Kind::Option ? m_optionCompleter : nullptr);
    m_valueLabel->setBuddy(shape == Shape::Switch && word ? static_cast<QWidget*>(m_switch) : m_value);
}

void StatementPanel::kindChosen()
{
    // Another kind for the selected line starts empty: its old parts mean nothing to the new kind.
    if (!m_loading && m_partsAsLoaded)
        clearParts();
    showFields();
}

bool StatementPanel::canBuildExpression() const
{
    const std::optional<Keyword> word = keyword();
    if (!word)
        return false;
    const Shape shape = ActionStatement::ShapeOf(*word);
    return shape == Shape::Expression || shape == Shape::ControlValue || shape == Shape::SelectorExpression;
}

void StatementPanel::setCanReplace(bool canReplace)
{
    m_canReplace = canReplace;
    m_replace->setEnabled(canReplace);
}

void StatementPanel::clearParts()
{
    m_target->setEditText(QString());
    m_value->clear();
    m_partsAsLoaded = false;
}

void StatementPanel::focusKind()
{
    m_kind->setFocus();
}

void StatementPanel::focusParts()
{
    if (m_target->isVisibleTo(this))
        m_target->setFocus();
    else if (m_value->isVisibleTo(this))
        m_value->setFocus();
    else
        m_add->setFocus();
}

void StatementPanel::load(const QString& line)
{
    m_loading = true;
    loadParts(line);
    m_loading = false;
    m_partsAsLoaded = true;
}

void StatementPanel::loadParts(const QString& line)
{
    clearParts();
    switch (BlockLine::KindOf(line)) {
    case BlockLine::Kind::Option:
        chooseOption();
        m_value->setText(BlockLine::Body(line));
        return;
    case BlockLine::Kind::Help:
        chooseHelp();
        m_value->setText(BlockLine::Body(line));
        return;
    case BlockLine::Kind::Ignored: return;
    case BlockLine::Kind::Action: break;
    }
    const std::optional<ActionStatement::Parts> parts = ActionStatement::Split(line);
    if (!parts) {
        // An unknown keyword: the line as written, to be put right.
        chooseOption();
        m_value->setText(line);
        return;
    }
    chooseKeyword(parts->keyword);
    m_target->setEditText(parts->target);
    if (ActionStatement::ShapeOf(parts->keyword) == Shape::Switch)
        m_switch->setCurrentIndex(parts->value.compare(switchOn, Qt::CaseInsensitive) == 0 ? 0 : 1);
    else
        m_value->setText(parts->value);
}

QString StatementPanel::line() const
{
    const std::optional<Keyword> word = keyword();
    if (!word) {
        const QString text = m_value->text();
        if (text.trimmed().isEmpty())
            return QString();
        // A line written whole keeps its own marker.
        if (BlockLine::KindOf(text) != BlockLine::Kind::Ignored)
            return text;
        return (kind() == Kind::Option ? BlockLine::OptionMarker : BlockLine::HelpMarker) + text;
    }
    ActionStatement::Parts parts{*word, m_target->currentText(), m_value->text()};
    if (ActionStatement::ShapeOf(*word) == Shape::Switch)
        parts.value = m_switch->currentData().toString();
    return ActionStatement::Compose(parts);
}

void StatementPanel::buildExpression()
{
    const std::optional<Keyword> word = keyword();
    if (!m_builder || !word || !canBuildExpression())
        return;
    const Shape shape = ActionStatement::ShapeOf(*word);
    const bool condition = shape == Shape::Expression || *word == Keyword::Kill;
    const QString itemSelector = shape == Shape::SelectorExpression ? m_target->currentText() : QString();
    // The sort keys are expressions; the orders after the ";" are not.
    const QString value = m_value->text();
    const qsizetype orders = *word == Keyword::Sort ? value.indexOf(QLatin1Char(';')) : -1;
    const QString expression = orders < 0 ? value : value.left(orders).trimmed();
    if (const std::optional<QString> built = m_builder(expression, condition, itemSelector)) {
        m_value->setText(orders < 0 ? *built : built->trimmed() + QStringLiteral("; ") + value.mid(orders + 1).trimmed());
        m_partsAsLoaded = false;
    }
    m_value->setFocus();
}
