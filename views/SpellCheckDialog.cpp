#include "views/SpellCheckDialog.h"

#include "base/ResourceStrings.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "spelling/SpellCheckSession.h"
#include "spelling/SpellChecker.h"
#include "spelling/SpellHighlighter.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

constexpr int TitleId = 33791;
constexpr int NotInDictionaryId = 33792;
constexpr int ChangeToId = 33793;
constexpr int SuggestionsId = 33794;
constexpr int ReplaceId = 33795;
constexpr int IgnoreId = 33796;
constexpr int IgnoreAllId = 33797;
constexpr int AddId = 33798;
constexpr int LanguageId = 33799;
constexpr int CloseId = 33802;

} // namespace

SpellCheckDialog::SpellCheckDialog(SpellCheckSession& session, const SpellChecker& checker,
                                   const CmDecisionManager& decisions, QWidget* parent)
    : QDialog(parent), m_session(session), m_checker(checker), m_decisions(decisions)
{
    setObjectName(QStringLiteral("frmSpellCheck"));
    setWindowTitle(LoadResString(TitleId));
    auto* layout = new QGridLayout(this);
    m_location = new QLabel(this);
    layout->addWidget(m_location, 0, 0, 1, 2);
    m_context = new QTextEdit(this);
    m_context->setReadOnly(true);
    m_context->setAcceptRichText(false);
    m_context->setMaximumHeight(90);
    m_highlighter = new SpellHighlighter(m_context->document(), &checker);
    layout->addWidget(m_context, 1, 0, 1, 2);

    auto* fields = new QFormLayout;
    m_changeTo = new QLineEdit(this);
    m_changeTo->setObjectName(QStringLiteral("changeTo"));
    fields->addRow(LoadResString(ChangeToId), m_changeTo);
    m_suggestions = new QListWidget(this);
    m_suggestions->setObjectName(QStringLiteral("suggestions"));
    fields->addRow(LoadResString(SuggestionsId), m_suggestions);
    layout->addLayout(fields, 2, 0);

    auto* actions = new QVBoxLayout;
    m_replace = new QPushButton(LoadResString(ReplaceId), this);
    auto* ignore = new QPushButton(LoadResString(IgnoreId), this);
    auto* ignoreAll = new QPushButton(LoadResString(IgnoreAllId), this);
    auto* add = new QPushButton(LoadResString(AddId), this);
    auto* close = new QPushButton(LoadResString(CloseId), this);
    for (QPushButton* button : {m_replace, ignore, ignoreAll, add, close})
        actions->addWidget(button);
    actions->addStretch();
    layout->addLayout(actions, 2, 1);
    layout->addWidget(new QLabel(LoadResString(LanguageId).arg(checker.Language()), this), 3, 0, 1, 2);
    m_replace->setDefault(true);

    connect(m_suggestions, &QListWidget::currentTextChanged, m_changeTo, &QLineEdit::setText);
    connect(m_suggestions, &QListWidget::itemDoubleClicked, m_replace, &QPushButton::click);
    connect(m_changeTo, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_replace->setEnabled(!text.isEmpty()); });
    connect(m_replace, &QPushButton::clicked, this, [this] {
        m_session.Replace(m_changeTo->text());
        advance();
    });
    connect(ignore, &QPushButton::clicked, this, [this] {
        m_session.Ignore();
        advance();
    });
    connect(ignoreAll, &QPushButton::clicked, this, [this] {
        m_session.IgnoreAll();
        advance();
    });
    connect(add, &QPushButton::clicked, this, [this] {
        m_session.Add();
        advance();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    resize(520, 380);
    showCurrent();
}

void SpellCheckDialog::advance()
{
    m_session.Next();
    showCurrent();
}

void SpellCheckDialog::showCurrent()
{
    const std::optional<SpellingFinding>& current = m_session.Current();
    if (!current) {
        m_finished = true;
        // Once the event that led here is done; a dialog not yet shown just ends.
        QMetaObject::invokeMethod(this, &QDialog::accept, Qt::QueuedConnection);
        return;
    }
    m_location->setText(LoadResString(NotInDictionaryId).arg(current->word, ProjectSpelling::Location(m_decisions, *current)));
    const CmDecisionItem* decision = m_decisions.Item(int{current->control});
    const QString text = decision ? ProjectSpelling::TextAt(*decision, {current->field, current->line}) : QString();
    m_context->setPlainText(text);
    QTextCursor cursor(m_context->document());
    cursor.setPosition(current->start);
    cursor.setPosition(current->start + static_cast<int>(current->word.size()), QTextCursor::KeepAnchor);
    m_context->setTextCursor(cursor);
    m_suggestions->clear();
    const QStringList suggestions = m_checker.Suggest(current->word);
    m_suggestions->addItems(suggestions);
    if (!suggestions.isEmpty())
        m_suggestions->setCurrentRow(0);
    else
        m_changeTo->setText(current->word);
    m_changeTo->setFocus();
}
