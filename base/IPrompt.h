#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class PromptIcon { None, Critical, Question, Exclamation, Information };
enum class PromptAnswer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

// What the new-or-open dialog hands back.
struct NewOrOpenChoice {
    enum class Kind { Cancelled, NewProject, ExistingFile, RecentFile };
    Kind kind = Kind::Cancelled;
    QString path;
};

// Everything that asks the user something or touches the clipboard. The Designer answers with
// real dialogs; tests answer from a script and see every prompt shown.
class IPrompt {
public:
    virtual ~IPrompt() = default;

    virtual PromptAnswer MessageBox(const QString& text, const QString& title, PromptButtons buttons,
                                    PromptIcon icon) = 0;
    // Empty when cancelled.
    virtual std::optional<QString> InputBox(const QString& text, const QString& title,
                                            const QString& defaultText) = 0;
    // filter uses the "Description|*.ext" form of the string table.
    virtual std::optional<QString> OpenFileDialog(const QString& title, const QString& filter,
                                                  const QString& folder) = 0;
    virtual std::optional<QString> SaveFileDialog(const QString& title, const QString& filter,
                                                  const QString& suggestedPath) = 0;
    virtual std::optional<QString> FolderDialog(const QString& title, const QString& folder) = 0;
    // One of items, current preselected; empty when cancelled.
    virtual std::optional<QString> ChooseItem(const QString& text, const QString& title, const QStringList& items,
                                              const QString& current) = 0;

    // The document properties dialog (title, subject, author, keywords, comments); false when
    // cancelled, otherwise the map holds the edited values.
    virtual bool DocumentPropertiesDialog(QMap<QString, QString>& properties) = 0;

    // New, Open and Recent tabs; recentFiles holds the non-empty entries, newest first.
    virtual NewOrOpenChoice NewOrOpenDialog(const QStringList& recentFiles, const QString& folder) = 0;

    virtual QString ClipboardText() const = 0;
    virtual void SetClipboardText(const QString& text) = 0;

protected:
    IPrompt() = default;
    IPrompt(const IPrompt&) = default;
    IPrompt& operator=(const IPrompt&) = default;
};
