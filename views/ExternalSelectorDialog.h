#pragma once

#include "selectors/ISelectorDialogs.h"

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QListWidget;

// The settings of an external selector: the database, the connection, the password as it
// will be stored and the fields the tree may use. Apply writes them through the session.
class ExternalSelectorDialog : public QDialog {
    Q_OBJECT
public:
    ExternalSelectorDialog(ExternalSelectorSession& session, QWidget* parent = nullptr);

    ExternalSelectorSettings Settings() const;
    // False when the settings were not written (incomplete or refused).
    bool Apply();

    QLineEdit& Field(int index) const { return *m_fields.at(static_cast<size_t>(index)); }
    QListWidget& AccessibleFields() const { return *m_accessible; }
    // Connects with the settings as they stand (an SQLite file found from the session's folder),
    // says which accessible fields the table lacks and lists its columns to pick from (a double
    // click adds one); false when it cannot connect.
    bool TestConnection();
    QListWidget& TableColumns() const { return *m_columns; }
    QString TestResult() const;

private:
    void LoadData(const ExternalSelectorSettings& settings);
    void addField();

    ExternalSelectorSession& m_session;
    std::array<QLineEdit*, 8> m_fields{};
    QListWidget* m_accessible;
    QListWidget* m_columns;
    QLabel* m_result;
};
