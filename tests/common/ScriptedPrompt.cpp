#include "common/ScriptedPrompt.h"

QStringList ScriptedPrompt::shownTexts() const
{
    QStringList texts;
    for (const Shown& prompt : m_shown)
        texts.append(prompt.text);
    return texts;
}

PromptAnswer ScriptedPrompt::MessageBox(const QString& text, const QString& title, PromptButtons buttons,
                                        PromptIcon icon)
{
    m_shown.append({Kind::Message, text, title, buttons, icon});
    if (!m_answers.empty()) {
        const PromptAnswer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    return buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::Cancel;
}

std::optional<QString> ScriptedPrompt::nextText(Kind kind, const QString& text, const QString& title)
{
    m_shown.append({kind, text, title, PromptButtons::OkCancel, PromptIcon::None});
    if (m_texts.empty())
        return std::nullopt;
    const QueuedText answer = m_texts.front();
    m_texts.pop_front();
    if (answer.cancelled)
        return std::nullopt;
    return answer.text;
}

std::optional<QString> ScriptedPrompt::InputBox(const QString& text, const QString& title, const QString&)
{
    return nextText(Kind::Input, text, title);
}

std::optional<QString> ScriptedPrompt::OpenFileDialog(const QString& title, const QString& filter, const QString&)
{
    return nextText(Kind::OpenFile, filter, title);
}

std::optional<QString> ScriptedPrompt::SaveFileDialog(const QString& title, const QString& filter, const QString&)
{
    return nextText(Kind::SaveFile, filter, title);
}

std::optional<QString> ScriptedPrompt::ChooseItem(const QString& text, const QString& title, const QStringList& items,
                                                 const QString&)
{
    return nextText(Kind::Choose, text + QLatin1Char('\n') + items.join(QLatin1Char('\n')), title);
}

std::optional<QString> ScriptedPrompt::FolderDialog(const QString& title, const QString& folder)
{
    return nextText(Kind::Folder, folder, title);
}

bool ScriptedPrompt::DocumentPropertiesDialog(QMap<QString, QString>& properties)
{
    m_shown.append({Kind::DocumentProperties, properties.value(QStringLiteral("Title")), QString(),
                    PromptButtons::OkCancel, PromptIcon::None});
    if (m_propertyEdits.empty() || !m_propertyEdits.front()) {
        if (!m_propertyEdits.empty())
            m_propertyEdits.pop_front();
        return false;
    }
    for (auto edit = m_propertyEdits.front()->cbegin(); edit != m_propertyEdits.front()->cend(); ++edit)
        properties.insert(edit.key(), edit.value());
    m_propertyEdits.pop_front();
    return true;
}

NewOrOpenChoice ScriptedPrompt::NewOrOpenDialog(const QStringList& recentFiles, const QString& folder)
{
    m_shown.append({Kind::NewOrOpen, recentFiles.join(QLatin1Char('\n')), folder, PromptButtons::OkCancel,
                    PromptIcon::None});
    if (m_newOrOpen.empty())
        return {};
    NewOrOpenChoice choice = std::move(m_newOrOpen.front());
    m_newOrOpen.pop_front();
    return choice;
}
