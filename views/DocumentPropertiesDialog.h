#pragma once

#include <QDialog>
#include <QMap>

class QLineEdit;
class QPlainTextEdit;

// Title, subject, author, keywords and comments of the open project.
class DocumentPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    DocumentPropertiesDialog(const QMap<QString, QString>& properties, QWidget* parent);
    QMap<QString, QString> properties() const;

private:
    QMap<QString, QLineEdit*> m_lines;
    QPlainTextEdit* m_comments = nullptr;
};
