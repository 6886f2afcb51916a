#pragma once

#include "base/IPrompt.h"

#include <QList>
#include <QStringList>

#include <deque>

// Answers prompts from a script and records every one of them. When the script runs dry a
// message box answers Cancel (or Ok when it has only Ok) and a dialog is cancelled.
class ScriptedPrompt : public IPrompt {
public:
    enum class Kind { Message, Input, OpenFile, SaveFile, Folder, DocumentProperties, NewOrOpen, Choose };

    struct Shown {
        Kind kind;
        QString text;
        QString title;
        PromptButtons buttons = PromptButtons::Ok;
        PromptIcon icon = PromptIcon::None;
    };

    void QueueAnswer(PromptAnswer answer) { m_answers.push_back(answer); }
    // A text for an input box or a path for a file or folder dialog; nullopt cancels.
    void QueueText(const std::optional<QString>& text) { m_texts.push_back({!text.has_value(), text.value_or(QString())}); }

    // Edits the next document properties dialog applies; nullopt cancels it.
    void QueueDocumentProperties(std::optional<QMap<QString, QString>> edits)
    {
        m_propertyEdits.push_back(std::move(edits));
    }

    void QueueNewOrOpen(NewOrOpenChoice choice) { m_newOrOpen.push_back(std::move(choice)); }

    const QList<Shown>& shown() const { return m_shown; }
    QStringList shownTexts() const;
    void clearShown() { m_shown.clear(); }
    // Forgets the answers and texts no question took.
    void clearQueued()
    {
        m_answers.clear();
        m_texts.clear();
    }

    PromptAnswer MessageBox(const QString& text, const QString& title, PromptButtons buttons,
                            PromptIcon icon) override;
    std::optional<QString> InputBox(const QString& text, const QString& title, const QString& defaultText) override;
    std::optional<QString> OpenFileDialog(const QString& title, const QString& filter, const QString& folder) override;
    std::optional<QString> SaveFileDialog(const QString& title, const QString& filter,
                                          const QString& suggestedPath) override;
    std::optional<QString> FolderDialog(const QString& title, const QString& folder) override;
    // Answered from the queued texts; the items offered are recorded one per line.
    std::optional<QString> ChooseItem(const QString& text, const QString& title, const QStringList& items,
                                      const QString& current) override;

    bool DocumentPropertiesDialog(QMap<QString, QString>& properties) override;
    NewOrOpenChoice NewOrOpenDialog(const QStringList& recentFiles, const QString& folder) override;
    QString ClipboardText() const override { return m_clipboard; }
    void SetClipboardText(const QString& text) override { m_clipboard = text; }

private:
    std::optional<QString> nextText(Kind kind, const QString& text, const QString& title);

    std::deque<PromptAnswer> m_answers;
    struct QueuedText {
        bool cancelled;
        QString text;
    };
    std::deque<QueuedText> m_texts;
    std::deque<std::optional<QMap<QString, QString>>> m_propertyEdits;
    std::deque<NewOrOpenChoice> m_newOrOpen;
    QList<Shown> m_shown;
    QString m_clipboard;
};
