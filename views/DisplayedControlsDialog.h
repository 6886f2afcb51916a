#pragma once

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QListWidget;

// "Available Controls": the controls a page may display, each with a check box. The names
// already shown keep their order; newly checked ones follow in the tree's order.
class DisplayedControlsDialog : public QDialog {
    Q_OBJECT

public:
    DisplayedControlsDialog(const QStringList& available, const QStringList& shown, QWidget* parent = nullptr);

    QStringList chosen() const;
    QListWidget* list() const { return m_list; }
    QLineEdit* filter() const { return m_filter; }

private:
    void applyFilter(const QString& text);

    QStringList m_shown;
    QLineEdit* m_filter = nullptr;
    QListWidget* m_list = nullptr;
};
