#include "views/frmProperties.h"

#include "base/IPrompt.h"
#include "base/ResourceStrings.h"
#include "model/CmDecisionItem.h"
#include "model/DecisionProperties.h"
#include "views/DisplayedControlsDialog.h"
#include "views/HeadingEditor.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int TitleId = 30239;
constexpr int FirstRowCaptionId = 33420;
constexpr int HeadingCaptionId = 33407;
constexpr int ChooseId = 33408;
constexpr int ChooseTipId = 33409;
constexpr int NoneId = 33416;

using E = PropertySheet::Editor;
using namespace MDecisionDataUtil;

// The row captions carry access keys; the plain label text names the property elsewhere.
int captionId(int labelId)
{
    return FirstRowCaptionId + labelId - IdLabel;
}

QLineEdit* lineOf(QWidget* editor)
{
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        return line;
    return editor ? editor->findChild<QLineEdit*>() : nullptr;
}

} // namespace

frmProperties::frmProperties(PropertySheet& sheet, IPrompt& prompt, QWidget* parent)
    : QWidget(parent), m_sheet(sheet), m_prompt(prompt)
{
    setObjectName(QStringLiteral("frmProperties"));
    m_none = new QLabel(LoadResString(NoneId), this);
    m_rows = new QWidget(this);
    auto* form = new QFormLayout(m_rows);
    form->setContentsMargins(0, 0, 0, 0);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    for (const PropertySheet::Row& row : PropertySheet::Rows()) {
        QWidget* editor = makeEditor(row);
        editor->setObjectName(QStringLiteral("prop%1").arg(row.labelId));
        editor->setToolTip(LoadResString(row.labelId));
        m_editors.emplace(row.labelId, editor);
        auto* caption = new QLabel(LoadResString(captionId(row.labelId)), m_rows);
        QWidget* buddy = lineOf(editor);
        caption->setBuddy(buddy && row.editor == E::Controls ? buddy : editor);
        form->addRow(caption, editor);
    }
    m_heading = new HeadingEditor(this);
    auto* headingCaption = new QLabel(LoadResString(HeadingCaptionId), this);
    headingCaption->setBuddy(m_heading->textEdit());
    connect(m_heading, &HeadingEditor::editingFinished, this, &frmProperties::commitHeading);

    // The rows scroll, so the dock can share a side of the main window with others.
    auto* content = new QWidget(this);
    auto* layout = new QVBoxLayout(content);
    layout->addWidget(m_none);
    layout->addWidget(m_rows);
    layout->addWidget(headingCaption);
    layout->addWidget(m_heading, 1);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(content);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    showDecision(nullptr);
}

QWidget* frmProperties::makeEditor(const PropertySheet::Row& row)
{
    switch (row.editor) {
    case E::Controls: return makeControlsEditor();
    case E::Interface:
    case E::Picture:
    case E::Size: return makeCombo(row.labelId, row.editor);
    case E::Fixed: {
        QLineEdit* line = makeLine(row.labelId);
        line->setReadOnly(true);
        return line;
    }
    case E::Text: break;
    }
    return makeLine(row.labelId);
}

QLineEdit* frmProperties::makeLine(int labelId)
{
    auto* line = new QLineEdit(m_rows);
    connect(line, &QLineEdit::editingFinished, this, [this, line, labelId] {
        if (!line->isModified())
            return;
        // Cleared first: the message of a refusal takes the focus and finishes the edit again.
        line->setModified(false);
        commit(labelId, line->text());
    });
    return line;
}

QComboBox* frmProperties::makeCombo(int labelId, PropertySheet::Editor kind)
{
    auto* combo = new QComboBox(m_rows);
    combo->addItems(PropertySheet::Choices(kind, m_pictures));
    connect(combo, &QComboBox::activated, this, [this, combo, labelId] { commit(labelId, combo->currentText()); });
    return combo;
}

QWidget* frmProperties::makeControlsEditor()
{
    auto* holder = new QWidget(m_rows);
    auto* line = makeLine(DisplayedControlsLabel);
    line->setParent(holder);
    m_choose = new QToolButton(holder);
    m_choose->setText(LoadResString(ChooseId));
    m_choose->setToolTip(LoadResString(ChooseTipId));
    connect(m_choose, &QToolButton::clicked, this, &frmProperties::chooseControls);
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(line, 1);
    layout->addWidget(m_choose);
    return holder;
}

QWidget* frmProperties::editor(int labelId) const
{
    const auto found = m_editors.find(labelId);
    return found == m_editors.end() ? nullptr : found->second;
}

void frmProperties::showDecision(CmDecisionItem* decision)
{
    m_decision = decision;
    m_none->setVisible(!decision);
    m_rows->setEnabled(decision != nullptr);
    m_heading->setEnabled(decision != nullptr);
    for (const auto& [labelId, editor] : m_editors)
        showValue(labelId);
    showHeading(true);
}

void frmProperties::refresh()
{
    for (const auto& [labelId, editor] : m_editors) {
        const QLineEdit* line = lineOf(editor);
        if (line && line->isModified() && line->hasFocus())
            continue;
        showValue(labelId);
    }
    showHeading(false);
}

void frmProperties::setPictures(const QStringList& pictures)
{
    m_pictures = pictures;
    showValue(PictureLabel);
}

void frmProperties::showValue(int labelId)
{
    QWidget* editor = this->editor(labelId);
    const QString value = m_decision ? m_sheet.Value(*m_decision, labelId) : QString();
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        fillCombo(*combo, PropertySheet::EditorOf(labelId), value);
        return;
    }
    if (QLineEdit* line = lineOf(editor)) {
        line->setText(value);
        line->setCursorPosition(0);
    }
}

void frmProperties::fillCombo(QComboBox& combo, PropertySheet::Editor kind, const QString& value)
{
    const QSignalBlocker quiet(&combo);
    QStringList choices = PropertySheet::Choices(kind, m_pictures);
    // A picture the project no longer holds is still what the control names.
    if (!value.isEmpty() && !choices.contains(value, Qt::CaseInsensitive))
        choices.append(value);
    combo.clear();
    combo.addItems(choices);
    combo.setCurrentIndex(static_cast<int>(choices.indexOf(value)));
    if (combo.currentIndex() < 0) {
        for (qsizetype i = 0; i < choices.size(); ++i) {
            if (choices.at(i).compare(value, Qt::CaseInsensitive) == 0)
                combo.setCurrentIndex(static_cast<int>(i));
        }
    }
    // Without the diagram's box there is no size to choose.
    combo.setEnabled(m_decision && (kind != E::Size || !value.isEmpty()));
}

void frmProperties::showHeading(bool force)
{
    const QString heading = m_decision ? m_decision->Heading() : QString();
    if (!force && (heading == m_shownHeading || m_heading->modified()))
        return;
    m_shownHeading = heading;
    m_heading->load(heading);
}

void frmProperties::commit(int labelId, const QString& value)
{
    if (!m_decision)
        return;
    const PropertySheet::Outcome outcome = m_sheet.Apply(*m_decision, labelId, value);
    if (!outcome.message.isEmpty())
        m_prompt.MessageBox(outcome.message, LoadResString(TitleId), PromptButtons::Ok, PromptIcon::Exclamation);
    // Also when accepted: the control may hold the value in a form of its own.
    if (m_decision)
        showValue(labelId);
}

void frmProperties::commitHeading()
{
    if (!m_decision || !m_heading->modified())
        return;
    m_heading->setModified(false);
    const QString heading = m_heading->heading();
    m_shownHeading = heading;
    if (heading != m_decision->Heading())
        m_decision->EditHeading(heading);
}

void frmProperties::commitPending()
{
    for (const auto& [labelId, editor] : m_editors) {
        QLineEdit* line = lineOf(editor);
        if (line && line->isModified()) {
            line->setModified(false);
            commit(labelId, line->text());
        }
    }
    commitHeading();
}

void frmProperties::chooseControls()
{
    if (!m_decision)
        return;
    commitPending();
    const QString current = m_sheet.Value(*m_decision, DisplayedControlsLabel);
    DisplayedControlsDialog dialog(m_sheet.DisplayableNames(*m_decision),
                                   current.split(QLatin1Char(','), Qt::SkipEmptyParts), this);
    if (dialog.exec() == QDialog::Accepted && m_decision)
        commit(DisplayedControlsLabel, dialog.chosen().join(QLatin1Char(',')));
}
