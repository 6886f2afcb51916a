#pragma once

#include "base/IPrompt.h"

class QTextStream;

// Prompts of a run without windows: messages go to the error stream, questions get their
// safe answer (cancel or no), dialogs are cancelled.
class ConsolePrompt : public IPrompt {
public:
    explicit ConsolePrompt(QTextStream& err) : m_err(err) {}

    PromptAnswer MessageBox(const QString& text, const QString& title, PromptButtons buttons,
                            PromptIcon icon) override;
    std::optional<QString> InputBox(const QString&, const QString&, const QString&) override { return std::nullopt; }
    std::optional<QString> OpenFileDialog(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> SaveFileDialog(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> FolderDialog(const QString&, const QString&) override { return std::nullopt; }
    std::optional<QString> ChooseItem(const QString&, const QString&, const QStringList&, const QString&) override
    {
        return std::nullopt;
    }
    bool DocumentPropertiesDialog(QMap<QString, QString>&) override { return false; }
    NewOrOpenChoice NewOrOpenDialog(const QStringList&, const QString&) override { return {}; }
    QString ClipboardText() const override { return m_clipboard; }
    void SetClipboardText(const QString& text) override { m_clipboard = text; }

private:
    QTextStream& m_err;
    QString m_clipboard;
};
