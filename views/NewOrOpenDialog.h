#pragma once

#include "base/IPrompt.h"

#include <QDialog>

class QListWidget;
class QTabWidget;

// New, Open and Recent, in three tabs.
class NewOrOpenDialog : public QDialog {
    Q_OBJECT
public:
    NewOrOpenDialog(const QStringList& recentFiles, const QString& folder, QWidget* parent);
    NewOrOpenChoice choice() const { return m_choice; }

private:
    QWidget* newPage();
    QWidget* openPage();
    QWidget* recentPage(const QStringList& recentFiles);
    void accept() override;
    void browse();

    QString m_folder;
    QTabWidget* m_tabs = nullptr;
    QListWidget* m_recent = nullptr;
    NewOrOpenChoice m_choice;
};
