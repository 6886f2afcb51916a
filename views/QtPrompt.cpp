#include "views/QtPrompt.h"

#include "views/TitleFit.h"

#include "views/DocumentPropertiesDialog.h"
#include "views/NewOrOpenDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include <algorithm>

namespace {

QMessageBox::StandardButtons toQtButtons(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::Ok: return QMessageBox::Ok;
    case PromptButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case PromptButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    case PromptButtons::AbortRetryIgnore: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon toQtIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::None: return QMessageBox::NoIcon;
    case PromptIcon::Critical: return QMessageBox::Critical;
    case PromptIcon::Question: return QMessageBox::Question;
    case PromptIcon::Exclamation: return QMessageBox::Warning;
    case PromptIcon::Information: return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

PromptAnswer fromQtButton(int button)
{
    switch (button) {
    case QMessageBox::Ok: return PromptAnswer::Ok;
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    case QMessageBox::Retry: return PromptAnswer::Retry;
    case QMessageBox::Abort: return PromptAnswer::Abort;
    case QMessageBox::Ignore: return PromptAnswer::Ignore;
    default: return PromptAnswer::Cancel;
    }
}

std::optional<QString> nonEmpty(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

} // namespace

PromptAnswer QtPrompt::MessageBox(const QString& text, const QString& title, PromptButtons buttons, PromptIcon icon)
{
    QMessageBox box(toQtIcon(icon), title, text, toQtButtons(buttons), m_parent);
    return fromQtButton(box.exec());
}

std::optional<QString> QtPrompt::InputBox(const QString& text, const QString& title, const QString& defaultText)
{
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(text);
    dialog.setTextValue(defaultText);
    TitleFit::Fit(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<QString> QtPrompt::OpenFileDialog(const QString& title, const QString& filter, const QString& folder)
{
    return nonEmpty(QFileDialog::getOpenFileName(m_parent, title, folder, ToQtFilter(filter)));
}

std::optional<QString> QtPrompt::SaveFileDialog(const QString& title, const QString& filter,
                                                const QString& suggestedPath)
{
    return nonEmpty(QFileDialog::getSaveFileName(m_parent, title, suggestedPath, ToQtFilter(filter)));
}

std::optional<QString> QtPrompt::FolderDialog(const QString& title, const QString& folder)
{
    return nonEmpty(QFileDialog::getExistingDirectory(m_parent, title, folder));
}

std::optional<QString> QtPrompt::ChooseItem(const QString& text, const QString& title, const QStringList& items,
                                           const QString& current)
{
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(text);
    dialog.setComboBoxItems(items);
    dialog.setComboBoxEditable(false);
    dialog.setTextValue(items.value(std::max<int>(0, static_cast<int>(items.indexOf(current)))));
    TitleFit::Fit(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.textValue().isEmpty())
        return std::nullopt;
    return dialog.textValue();
}

bool QtPrompt::DocumentPropertiesDialog(QMap<QString, QString>& properties)
{
    ::DocumentPropertiesDialog dialog(properties, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    properties = dialog.properties();
    return true;
}

NewOrOpenChoice QtPrompt::NewOrOpenDialog(const QStringList& recentFiles, const QString& folder)
{
    ::NewOrOpenDialog dialog(recentFiles, folder, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.choice();
}

QString QtPrompt::ClipboardText() const
{
    return QApplication::clipboard()->text();
}

void QtPrompt::SetClipboardText(const QString& text)
{
    QApplication::clipboard()->setText(text);
}

QString QtPrompt::ToQtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i);
        const qsizetype bracket = description.indexOf(QLatin1Char('('));
        if (bracket > 0)
            description = description.left(bracket).trimmed();
        entries.append(QStringLiteral("%1 (%2)").arg(description, QString(parts.at(i + 1)).replace(QLatin1Char(';'), QLatin1Char(' '))));
    }
    return entries.join(QStringLiteral(";;"));
}
