#include "views/OptionsEditor.h"

#include "base/AccessKey.h"
#include "base/ResourceStrings.h"
#include "edit/OptionsEditSession.h"
#include "lang/BlockLine.h"
#include "lang/MTreeViewUtil.h"
#include "model/CmDecisionItem.h"
#include "model/MDecisionDataUtil.h"
#include "views/BlockHighlighter.h"
#include "views/StatementPanel.h"

#include <QAction>
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTabWidget>
#include <QTextBlock>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using Command = OptionsEditor::Command;

constexpr int titleId = 33560;
constexpr int noControlId = 33561;
constexpr int treePageId = 33562;
constexpr int textPageId = 33563;
constexpr int firstCommandId = 33564;
constexpr int applyTextId = 33592;
constexpr int noFindingsId = 33590;
constexpr int toolTipId = 33622;
constexpr int findingLineId = 33591;

// A pause in typing this long checks the text.
constexpr int checkDelayMs = 300;

constexpr int keyRole = Qt::UserRole;
constexpr int lineRole = Qt::UserRole + 1;

} // namespace

OptionsEditor::OptionsEditor(OptionsEditSession& session, QWidget* parent) : QWidget(parent), m_session(session)
{
    setObjectName(QStringLiteral("OptionsEditor"));
    m_title = new QLabel(this);
    m_title->setWordWrap(true);
    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    makeCommands(*bar);
    m_pages = new QTabWidget(this);
    m_pages->addTab(makeTreePage(), LoadResString(treePageId));
    m_pages->addTab(makeTextPage(), LoadResString(textPageId));
    m_findings = new QListWidget(this);
    m_findings->setObjectName(QStringLiteral("findings"));
    m_findings->setMaximumHeight(fontMetrics().height() * 5);
    m_findings->setWordWrap(true);
    m_findings->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(bar);
    layout->addWidget(m_pages, 1);
    layout->addWidget(m_findings);

    m_checkTimer.setSingleShot(true);
    m_checkTimer.setInterval(checkDelayMs);
    connect(&m_checkTimer, &QTimer::timeout, this, &OptionsEditor::checkText);
    connect(m_pages, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == int(Page::Text))
            enterTextPage();
        else
            applyText();
        updateCommands();
        showFindings();
    });
    connect(m_findings, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { onFindingActivated(item->data(lineRole).toInt()); });
    connect(&m_session, &OptionsEditSession::decisionChanged, this, [this](const CmDecisionItem* decision) {
        showTitle();
        // A line loaded from the control before is not one to add to this one.
        if (decision != m_statementOf) {
            m_statementOf = decision;
            m_statement->clearParts();
            m_statementLine = {-1, QString()};
        }
        if (page() != Page::Text)
            return;
        // A renamed control keeps what the author typed; another control's text starts at its top.
        applyText();
        m_showing = true;
        m_text->clear();
        m_showing = false;
        enterTextPage();
    });
    connect(&m_session, &OptionsEditSession::treeChanged, this, [this] {
        // The control's interface, named in the title, may be what changed.
        showTitle();
        showTree();
        // A change from elsewhere shows in the text unless the author is in the middle of one.
        if (page() == Page::Text && !m_textPending)
            enterTextPage();
    });
    connect(&m_session, &OptionsEditSession::selectionChanged, this, &OptionsEditor::showSelection);
    showTitle();
    showTree();
}

OptionsEditor::~OptionsEditor() = default;

void OptionsEditor::makeCommands(QToolBar& bar)
{
    for (int i = 0; i <= int(Command::MoveDown); ++i) {
        auto* action = new QAction(LoadResString(firstCommandId + i), this);
        const auto command = static_cast<Command>(i);
        connect(action, &QAction::triggered, this, [this, command] { run(command); });
        m_actions.append(action);
        bar.addAction(action);
        // A tool bar's buttons take no access keys of their own; the editor answers them.
        const QKeySequence accessKey = QKeySequence::mnemonic(action->text());
        if (!accessKey.isEmpty()) {
            auto* key = new QShortcut(accessKey, this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
            connect(key, &QShortcut::activated, action, [action] {
                if (action->isEnabled())
                    action->trigger();
            });
        }
    }
    // The tree's own keys: Delete removes, Ctrl+Up and Ctrl+Down move.
    action(Command::MoveUp)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up));
    action(Command::MoveDown)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down));
    action(Command::Remove)->setShortcut(QKeySequence::Delete);
    for (Command command : {Command::MoveUp, Command::MoveDown, Command::Remove})
        action(command)->setShortcutContext(Qt::WidgetShortcut);
    // The buttons show no underline, so their tips name the keys.
    for (QAction* each : std::as_const(m_actions)) {
        QStringList keys;
        if (const QKeySequence accessKey = QKeySequence::mnemonic(each->text()); !accessKey.isEmpty())
            keys << accessKey.toString(QKeySequence::NativeText);
        if (!each->shortcut().isEmpty())
            keys << each->shortcut().toString(QKeySequence::NativeText);
        if (!keys.isEmpty())
            each->setToolTip(LoadResString(toolTipId).arg(WithoutAccessKey(each->text()),
                                                          keys.join(QStringLiteral(", "))));
    }
}

QWidget* OptionsEditor::makeTreePage()
{
    auto* page = new QWidget(this);
    m_tree = new QTreeWidget(page);
    m_tree->setObjectName(QStringLiteral("optionTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::EditKeyPressed);
    for (Command command : {Command::MoveUp, Command::MoveDown, Command::Remove})
        m_tree->addAction(action(command));
    m_statement = new StatementPanel(page);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_statement);
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { onCurrentItemChanged(item); });
    connect(m_tree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) { onItemEdited(item); });
    connect(m_statement, &StatementPanel::addRequested, this, &OptionsEditor::addFromStatement);
    connect(m_statement, &StatementPanel::replaceRequested, this, &OptionsEditor::replaceFromStatement);
    return page;
}

QWidget* OptionsEditor::makeTextPage()
{
    auto* page = new QWidget(this);
    m_text = new QPlainTextEdit(page);
    m_text->setObjectName(QStringLiteral("advancedText"));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setTabChangesFocus(false);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setTabStopDistance(m_text->fontMetrics().horizontalAdvance(QLatin1Char(' ')) * 4);
    m_highlighter = new BlockHighlighter(m_text->document());
    m_applyText = new QPushButton(LoadResString(applyTextId), page);
    m_applyText->setAutoDefault(false);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_applyText, 0, Qt::AlignRight);
    connect(m_text, &QPlainTextEdit::textChanged, this, [this] {
        if (m_showing)
            return;
        m_textPending = true;
        m_checkTimer.start();
    });
    connect(m_applyText, &QPushButton::clicked, this, &OptionsEditor::applyText);
    auto* applyKey = new QAction(this);
    applyKey->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    applyKey->setShortcutContext(Qt::WidgetShortcut);
    connect(applyKey, &QAction::triggered, this, &OptionsEditor::applyText);
    m_text->addAction(applyKey);
    return page;
}

QAction* OptionsEditor::action(Command command) const
{
    return m_actions.value(int(command));
}

OptionsEditor::Page OptionsEditor::page() const
{
    return static_cast<Page>(m_pages->currentIndex());
}

void OptionsEditor::showPage(Page shown)
{
    m_pages->setCurrentIndex(int(shown));
}

void OptionsEditor::focusTree()
{
    showPage(Page::Tree);
    m_tree->setFocus();
}

void OptionsEditor::showTitle()
{
    const CmDecisionItem* decision = m_session.Decision();
    if (!decision) {
        m_title->setText(LoadResString(noControlId));
    } else {
        const QString name = decision->strID().isEmpty() ? QString::number(decision->intID()) : decision->strID();
        m_title->setText(LoadResString(titleId).arg(name, MDecisionDataUtil::ControlDisplayName(decision->intControl())));
    }
    m_pages->setEnabled(decision != nullptr);
}

void OptionsEditor::showTree()
{
    m_showing = true;
    m_tree->clear();
    const OptionTree& tree = m_session.Tree();
    QFont optionFont = m_tree->font();
    optionFont.setBold(true);
    QFont helpFont = m_tree->font();
    helpFont.setItalic(true);
    auto add = [&](auto& self, const OptionTreeNode& node, QTreeWidgetItem* parentItem) -> void {
        for (int i = 0; i < node.childCount(); ++i) {
            const OptionTreeNode& child = *node.child(i);
            auto* item = new QTreeWidgetItem(parentItem, {child.text()});
            item->setData(0, keyRole, child.key());
            item->setFlags(item->flags() | Qt::ItemIsEditable);
            if (child.kind() == OptionTreeNode::Kind::Option)
                item->setFont(0, optionFont);
            else if (child.kind() == OptionTreeNode::Kind::Help)
                item->setFont(0, helpFont);
            self(self, child, item);
            item->setExpanded(child.expanded());
        }
    };
    auto* root = new QTreeWidgetItem(m_tree, {tree.root().text()});
    root->setData(0, keyRole, tree.root().key());
    add(add, tree.root(), root);
    root->setExpanded(true);
    m_showing = false;
    showSelection();
    showFindings();
}

void OptionsEditor::showSelection()
{
    const OptionTreeNode* selected = m_session.Selected();
    const QString key = selected ? selected->key() : QString();
    m_showing = true;
    QTreeWidgetItem* found = nullptr;
    for (QTreeWidgetItemIterator it(m_tree); *it && !found; ++it) {
        if ((*it)->data(0, keyRole).toString() == key)
            found = *it;
    }
    m_tree->setCurrentItem(found);
    if (found)
        m_tree->scrollToItem(found);
    m_showing = false;
    // A selection made by the text's caret, a finding or a move is the line Apply replaces.
    statementFollowsSelection(false);
    updateCommands();
}

void OptionsEditor::statementFollowsSelection(bool force)
{
    const OptionTreeNode* selected = m_session.Selected();
    if (!selected || !selected->parent())
        return;
    std::pair<int, QString> line{m_session.SelectedLine(), selected->text()};
    if (!force && line == m_statementLine)
        return;
    m_statement->load(selected->text());
    m_statementLine = std::move(line);
}

void OptionsEditor::showFindings()
{
    const bool text = page() == Page::Text;
    const QList<OptionBlockCheck::Finding> findings =
        text ? m_session.CheckText(m_text->toPlainText()) : m_session.CheckLines();
    m_findings->clear();
    QHash<int, bool> worst;
    for (const OptionBlockCheck::Finding& finding : findings) {
        worst[finding.line] = worst.value(finding.line) || finding.isError;
        auto* item = new QListWidgetItem(LoadResString(findingLineId).arg(finding.line + 1).arg(finding.message), m_findings);
        item->setToolTip(finding.message);
        item->setIcon(style()->standardIcon(finding.isError ? QStyle::SP_MessageBoxCritical : QStyle::SP_MessageBoxWarning));
        item->setData(lineRole, finding.line);
    }
    if (findings.isEmpty())
        m_findings->addItem(LoadResString(noFindingsId));
    if (text) {
        m_highlighter->setFindings(worst);
        return;
    }
    m_showing = true;
    for (const OptionBlockCheck::Finding& finding : findings) {
        const OptionTreeNode* node = MTreeViewUtil::NodeAtLine(m_session.Tree(), finding.line);
        for (QTreeWidgetItemIterator it(m_tree); node && *it; ++it) {
            if ((*it)->data(0, keyRole).toString() != node->key())
                continue;
            const bool error = worst.value(finding.line);
            (*it)->setIcon(0, style()->standardIcon(error ? QStyle::SP_MessageBoxCritical : QStyle::SP_MessageBoxWarning));
            const QString tip = (*it)->toolTip(0);
            (*it)->setToolTip(0, tip.isEmpty() ? finding.message : tip + QLatin1Char('\n') + finding.message);
        }
    }
    m_showing = false;
}

void OptionsEditor::updateCommands()
{
    const bool tree = page() == Page::Tree;
    const bool open = m_session.Decision() != nullptr;
    const bool enabled[] = {m_session.CanAddOption(), m_session.CanAddAction(), m_session.CanAddHelp(),
                            m_session.CanAddElseIf(), m_session.CanAddElse(), m_session.CanRemove(),
                            m_session.CanMoveUp(), m_session.CanMoveDown()};
    for (int i = 0; i < m_actions.size(); ++i)
        m_actions.at(i)->setEnabled(tree && open && enabled[i]);
    m_statement->setCanReplace(m_session.CanEdit());
    m_statement->addButton()->setEnabled(open);
}

void OptionsEditor::run(Command command)
{
    switch (command) {
    case Command::AddOption:
        m_statement->chooseOption();
        break;
    case Command::AddAction:
        if (!m_statement->choosesAction())
            m_statement->chooseKeyword(BlockLine::Go);
        break;
    case Command::AddHelp: m_statement->chooseHelp(); break;
    case Command::AddElseIf: m_statement->chooseKeyword(BlockLine::ElseIf); break;
    case Command::AddElse: m_session.AddAction(BlockLine::MarkedKeyword(BlockLine::Else)); return;
    case Command::Remove: m_session.RemoveSelected(); return;
    case Command::MoveUp: m_session.MoveUp(); return;
    case Command::MoveDown: m_session.MoveDown(); return;
    }
    // The statement editor takes the new line's parts.
    m_statement->clearParts();
    if (command == Command::AddAction)
        m_statement->focusKind();
    else
        m_statement->focusParts();
}

void OptionsEditor::addFromStatement()
{
    const QString line = m_statement->line();
    if (line.isEmpty())
        return;
    bool added = false;
    switch (BlockLine::KindOf(line)) {
    case BlockLine::Kind::Option: added = m_session.AddOption(line); break;
    case BlockLine::Kind::Help: added = m_session.AddHelp(line); break;
    case BlockLine::Kind::Action: added = m_session.AddAction(line); break;
    case BlockLine::Kind::Ignored: break;
    }
    if (!added)
        return;
    // Ready for the next line of the same kind.
    m_statement->clearParts();
}

void OptionsEditor::replaceFromStatement()
{
    const QString line = m_statement->line();
    if (!line.isEmpty())
        m_session.ReplaceSelected(line);
}

void OptionsEditor::onCurrentItemChanged(QTreeWidgetItem* item)
{
    if (m_showing)
        return;
    m_session.SelectKey(item ? item->data(0, keyRole).toString() : QString());
    statementFollowsSelection(true);
}

void OptionsEditor::onItemEdited(QTreeWidgetItem* item)
{
    if (m_showing || !item)
        return;
    const QString edited = item->text(0);
    m_session.SelectKey(item->data(0, keyRole).toString());
    const OptionTreeNode* selected = m_session.Selected();
    if (!selected || !selected->parent() || edited == selected->text() || !m_session.ReplaceSelected(edited))
        showTree();
}

void OptionsEditor::onFindingActivated(int line)
{
    if (page() == Page::Text) {
        QTextCursor cursor(m_text->document()->findBlockByNumber(line));
        m_text->setTextCursor(cursor);
        m_text->setFocus();
        return;
    }
    m_session.SelectLine(line);
    m_tree->setFocus();
}

void OptionsEditor::enterTextPage()
{
    // The author keeps the place in the text when it is written again.
    const int caretLine = m_text->textCursor().blockNumber();
    const int scrolled = m_text->verticalScrollBar()->value();
    m_showing = true;
    m_text->setPlainText(m_session.AdvancedText());
    m_showing = false;
    const QTextBlock line = m_text->document()->findBlockByNumber(std::min(caretLine, m_text->blockCount() - 1));
    m_text->setTextCursor(QTextCursor(line));
    m_text->verticalScrollBar()->setValue(scrolled);
    m_textPending = false;
    checkText();
}

void OptionsEditor::checkText()
{
    m_checkTimer.stop();
    showFindings();
}

bool OptionsEditor::applyText()
{
    if (!m_textPending)
        return false;
    m_textPending = false;
    m_checkTimer.stop();
    const int caretLine = m_text->textCursor().blockNumber();
    const bool changed = m_session.ApplyAdvancedText(m_text->toPlainText(), caretLine);
    if (page() == Page::Text)
        enterTextPage();
    return changed;
}
