#include "edit/OptionsEditSession.h"

#include "lang/ActionStatement.h"
#include "lang/MTreeViewUtil.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/MDecisionDataUtil.h"
#include "model/OptionRules.h"

namespace {

// The stored block ends every line with a TAB, so a TAB, or a line break, written inside a
// line would split it in two; each becomes a blank.
QString oneLine(QString text)
{
    for (const QChar splitter : {QLatin1Char('\t'), QLatin1Char('\r'), QLatin1Char('\n')})
        text.replace(splitter, QLatin1Char(' '));
    return text;
}

// The advanced text with the TABs after each line's marker made blanks; the indentation before
// the marker stays for the reader to drop.
QString withoutInnerTabs(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        qsizetype marker = 0;
        while (marker < line.size() && BlockLine::KindOf(line.mid(marker, 1)) == BlockLine::Kind::Ignored)
            ++marker;
        line = line.left(marker) + QString(line.mid(marker)).replace(QLatin1Char('\t'), QLatin1Char(' '));
    }
    return lines.join(QLatin1Char('\n'));
}

using BlockLine::Keyword;

std::optional<Keyword> keywordOfAction(const QString& text)
{
    return ActionStatement::KeywordOf(BlockLine::WithMarker(BlockLine::ActionMarker, text));
}

// Interfaces whose answers are not options the author writes.
bool takesWrittenOptions(qint16 type)
{
    using namespace MDecisionDataUtil;
    return type != Check && type != Command && type != StringBox && type != TextArea;
}

} // namespace

OptionsEditSession::OptionsEditSession(CmDecisionManager& decisions, QObject* parent)
    : QObject(parent), m_decisions(decisions)
{
    connect(&decisions, &CmDecisionManager::decisionChanged, this, &OptionsEditSession::onChanged);
    connect(&decisions, &CmDecisionManager::decisionRemoved, this, &OptionsEditSession::onRemoved);
    connect(&decisions, &CmDecisionManager::cleared, this, [this] { Open(nullptr); });
    connect(&decisions, &CmDecisionManager::decisionRenamed, this, [this](CmDecisionItem* item) {
        if (item == m_decision)
            emit decisionChanged(m_decision);
    });
}

OptionsEditSession::~OptionsEditSession() = default;

void OptionsEditSession::Open(CmDecisionItem* decision)
{
    if (decision == m_decision)
        return;
    m_decision = decision;
    MTreeViewUtil::LoadOptionsAndActions(m_tree, m_decision ? m_decision->OptsAndActs() : QStringList());
    MTreeViewUtil::ExpandActions(m_tree);
    emit decisionChanged(m_decision);
    emit treeChanged();
    emit selectionChanged();
}

void OptionsEditSession::reload()
{
    const int line = SelectedLine();
    MTreeViewUtil::LoadOptionsAndActions(m_tree, m_decision ? m_decision->OptsAndActs() : QStringList());
    MTreeViewUtil::ExpandActions(m_tree);
    m_tree.setSelected(MTreeViewUtil::NodeAtLine(m_tree, line));
    emit treeChanged();
    emit selectionChanged();
}

void OptionsEditSession::onChanged(CmDecisionItem* item, const DecisionChange&)
{
    if (item == m_decision && !m_committing)
        reload();
}

void OptionsEditSession::onRemoved(CmDecisionItem* item)
{
    if (item == m_decision)
        Open(nullptr);
}

int OptionsEditSession::SelectedLine() const
{
    return MTreeViewUtil::LineOf(m_tree, m_tree.selected());
}

void OptionsEditSession::SelectLine(int line)
{
    m_tree.setSelected(line < 0 ? &m_tree.root() : MTreeViewUtil::NodeAtLine(m_tree, line));
    emit selectionChanged();
}

void OptionsEditSession::SelectKey(const QString& key)
{
    m_tree.setSelected(m_tree.node(key));
    emit selectionChanged();
}

bool OptionsEditSession::CanAddOption() const
{
    return m_decision && takesWrittenOptions(m_decision->intControl());
}

bool OptionsEditSession::CanAddHelp() const
{
    const OptionTreeNode* node = m_tree.selected();
    while (node && node->kind() != OptionTreeNode::Kind::Option)
        node = node->parent();
    return m_decision && node;
}

bool OptionsEditSession::CanAddElseIf() const
{
    return m_decision && MTreeViewUtil::EnableAddBranch(m_tree, BlockLine::MarkedKeyword(Keyword::ElseIf) + QStringLiteral(" x"));
}

bool OptionsEditSession::CanAddElse() const
{
    return m_decision && MTreeViewUtil::EnableAddBranch(m_tree, BlockLine::MarkedKeyword(Keyword::Else));
}

bool OptionsEditSession::CanEdit() const
{
    return m_decision && MTreeViewUtil::EnableEdit(m_tree);
}

bool OptionsEditSession::CanRemove() const
{
    return m_decision && MTreeViewUtil::EnableRemove(m_tree);
}

bool OptionsEditSession::CanMoveUp() const
{
    return m_decision && MTreeViewUtil::EnableUp(m_tree);
}

bool OptionsEditSession::CanMoveDown() const
{
    return m_decision && MTreeViewUtil::EnableDown(m_tree);
}

bool OptionsEditSession::commit(bool changed)
{
    if (!changed || !m_decision)
        return false;
    const QStringList lines = Lines();
    const bool differs = lines != m_decision->OptsAndActs();
    if (differs) {
        m_committing = true;
        m_decision->setOptsAndActs(lines);
        m_committing = false;
    }
    emit treeChanged();
    emit selectionChanged();
    return differs;
}

bool OptionsEditSession::AddOption(const QString& text)
{
    return CanAddOption() && commit(MTreeViewUtil::AddOption(m_tree, oneLine(text)) != nullptr);
}

bool OptionsEditSession::AddAction(const QString& text)
{
    if (!CanAddAction())
        return false;
    const QString line = oneLine(text);
    const std::optional<Keyword> keyword = keywordOfAction(line);
    const QString marked = BlockLine::WithMarker(BlockLine::ActionMarker, line);
    if (keyword == Keyword::If && BlockLine::IsKeywordAsWritten(marked, Keyword::If))
        return commit(MTreeViewUtil::AddBlock(m_tree, marked) != nullptr);
    if (keyword == Keyword::ElseIf || keyword == Keyword::Else) {
        if (OptionTreeNode* branch = MTreeViewUtil::AddBranch(m_tree, marked))
            return commit(branch != nullptr);
    }
    return commit(MTreeViewUtil::AddAction(m_tree, marked) != nullptr);
}

bool OptionsEditSession::AddHelp(const QString& text)
{
    return CanAddHelp() && commit(MTreeViewUtil::AddHelp(m_tree, oneLine(text)) != nullptr);
}

bool OptionsEditSession::ReplaceSelected(const QString& text)
{
    return CanEdit() && commit(MTreeViewUtil::ReplaceNodeText(m_tree, oneLine(text)));
}

bool OptionsEditSession::RemoveSelected()
{
    return CanRemove() && commit(MTreeViewUtil::RemoveNode(m_tree));
}

bool OptionsEditSession::MoveUp()
{
    return CanMoveUp() && commit(MTreeViewUtil::MoveNodeUp(m_tree));
}

bool OptionsEditSession::MoveDown()
{
    return CanMoveDown() && commit(MTreeViewUtil::MoveNodeDown(m_tree));
}

QStringList OptionsEditSession::Lines() const
{
    return MTreeViewUtil::SaveOptionsAndActions(m_tree);
}

QString OptionsEditSession::AdvancedText() const
{
    return MTreeViewUtil::TreeViewToAdvanced(m_tree);
}

bool OptionsEditSession::ApplyAdvancedText(const QString& text, int caretLine)
{
    if (!m_decision)
        return false;
    MTreeViewUtil::AdvancedToTreeView(withoutInnerTabs(text), m_tree);
    MTreeViewUtil::ExpandActions(m_tree);
    if (caretLine >= 0) {
        // The caret's line counts among the lines that were read: those with a marker.
        const QStringList statements = MTreeViewUtil::AdvancedStatements(text);
        int read = -1;
        for (int i = 0; i <= caretLine && i < statements.size(); ++i) {
            if (!statements.at(i).isEmpty())
                ++read;
        }
        m_tree.setSelected(MTreeViewUtil::NodeAtLine(m_tree, read));
    }
    return commit(true);
}

OptionBlockCheck::Names OptionsEditSession::names() const
{
    return {&m_decisions, m_catalog};
}

QList<OptionBlockCheck::Finding> OptionsEditSession::CheckLines() const
{
    if (!m_decision)
        return {};
    return OptionBlockCheck::CheckLines(Lines(), m_decision->intControl(), names());
}

QList<OptionBlockCheck::Finding> OptionsEditSession::CheckText(const QString& text) const
{
    if (!m_decision)
        return {};
    return OptionBlockCheck::CheckText(text, m_decision->intControl(), names());
}
