#pragma once

#include "base/IPrompt.h"

class QWidget;

// Real dialogs for the core's questions.
class QtPrompt : public IPrompt {
public:
    void setParentWindow(QWidget* parent) { m_parent = parent; }

    PromptAnswer MessageBox(const QString& text, const QString& title, PromptButtons buttons,
                            PromptIcon icon) override;
    std::optional<QString> InputBox(const QString& text, const QString& title, const QString& defaultText) override;
    std::optional<QString> OpenFileDialog(const QString& title, const QString& filter, const QString& folder) override;
    std::optional<QString> SaveFileDialog(const QString& title, const QString& filter,
                                          const QString& suggestedPath) override;
    std::optional<QString> FolderDialog(const QString& title, const QString& folder) override;
    std::optional<QString> ChooseItem(const QString& text, const QString& title, const QStringList& items,
                                      const QString& current) override;
    bool DocumentPropertiesDialog(QMap<QString, QString>& properties) override;
    NewOrOpenChoice NewOrOpenDialog(const QStringList& recentFiles, const QString& folder) override;
    QString ClipboardText() const override;
    void SetClipboardText(const QString& text) override;

    // "Kestrova Files(*.kvp)|*.kvp|..." into Qt's "Kestrova Files (*.kvp);;...".
    static QString ToQtFilter(const QString& filter);

private:
    QWidget* m_parent = nullptr;
};
