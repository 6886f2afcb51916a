#include "views/HeadingEditor.h"

#include "base/ResourceStrings.h"
#include "model/HeadingText.h"

#include <QAction>
#include <QEvent>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextList>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr int BoldId = 33410;
constexpr int ItalicId = 33411;
constexpr int UnderlineId = 33412;
constexpr int BulletsId = 33413;
constexpr int FormatBarId = 33414;

} // namespace

HeadingEditor::HeadingEditor(QWidget* parent) : QWidget(parent)
{
    m_bar = new QToolBar(LoadResString(FormatBarId), this);
    m_bar->setObjectName(QStringLiteral("barFormat"));
    m_bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_text = new QTextEdit(this);
    m_text->setObjectName(QStringLiteral("txtHeading"));
    m_text->setAcceptRichText(false);
    m_text->setTabChangesFocus(true);
    m_text->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_bar);
    layout->addWidget(m_text);

    addFormat(Format::Bold, BoldId, QKeySequence::Bold);
    addFormat(Format::Italic, ItalicId, QKeySequence::Italic);
    addFormat(Format::Underline, UnderlineId, QKeySequence::Underline);
    addFormat(Format::Bullets, BulletsId, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
    connect(m_text, &QTextEdit::currentCharFormatChanged, this, &HeadingEditor::showFormat);
    connect(m_text, &QTextEdit::cursorPositionChanged, this, &HeadingEditor::showFormat);
}

QAction* HeadingEditor::addFormat(Format format, int captionId, const QKeySequence& keys)
{
    auto* action = m_bar->addAction(LoadResString(captionId));
    action->setCheckable(true);
    action->setShortcut(keys);
    // The keys work while the text has the keyboard, not across the main window.
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    action->setToolTip(QStringLiteral("%1 (%2)").arg(action->text(), keys.toString(QKeySequence::NativeText)));
    addAction(action);
    connect(action, &QAction::triggered, this, [this, format](bool on) { apply(format, on); });
    m_actions.append(action);
    return action;
}

QAction* HeadingEditor::action(Format format) const
{
    return m_actions.value(static_cast<int>(format));
}

void HeadingEditor::load(const QString& heading)
{
    const QSignalBlocker quiet(m_text);
    MDecisionDataUtil::LoadHeading(*m_text->document(), heading);
    m_text->moveCursor(QTextCursor::Start);
    m_text->document()->setModified(false);
    showFormat();
}

QString HeadingEditor::heading() const
{
    return MDecisionDataUtil::SaveHeading(*m_text->document());
}

bool HeadingEditor::modified() const
{
    return m_text->document()->isModified();
}

void HeadingEditor::setModified(bool modified)
{
    m_text->document()->setModified(modified);
}

void HeadingEditor::apply(Format format, bool on)
{
    QTextCursor cursor = m_text->textCursor();
    if (format == Format::Bullets) {
        QTextList* list = cursor.currentList();
        if (on && !list) {
            cursor.createList(QTextListFormat::ListDisc);
        } else if (!on && list) {
            list->remove(cursor.block());
            QTextBlockFormat plain = cursor.blockFormat();
            plain.setIndent(0);
            cursor.setBlockFormat(plain);
        }
    } else {
        QTextCharFormat change;
        if (format == Format::Bold)
            change.setFontWeight(on ? QFont::Bold : QFont::Normal);
        else if (format == Format::Italic)
            change.setFontItalic(on);
        else
            change.setFontUnderline(on);
        // Without a selection the format applies to what is typed next.
        cursor.mergeCharFormat(change);
        m_text->mergeCurrentCharFormat(change);
    }
    m_text->document()->setModified(true);
    m_text->setFocus();
}

void HeadingEditor::showFormat()
{
    const QTextCharFormat format = m_text->currentCharFormat();
    action(Format::Bold)->setChecked(format.fontWeight() >= QFont::Bold);
    action(Format::Italic)->setChecked(format.fontItalic());
    action(Format::Underline)->setChecked(format.fontUnderline());
    action(Format::Bullets)->setChecked(m_text->textCursor().currentList() != nullptr);
}

bool HeadingEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_text && event->type() == QEvent::FocusOut)
        emit editingFinished();
    return QWidget::eventFilter(watched, event);
}
