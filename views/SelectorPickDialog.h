#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

// Picks one selector, or several, from the project's list.
class SelectorPickDialog : public QDialog {
    Q_OBJECT
public:
    SelectorPickDialog(const QString& caption, const QStringList& names, bool several, QWidget* parent = nullptr);

    QStringList Chosen() const;

private:
    QListWidget* m_list;
};
