#pragma once

#include "selectors/ISelectorDialogs.h"

#include <QDialog>

#include <array>

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

private:
    void LoadData(const ExternalSelectorSettings& settings);
    void addField();

    ExternalSelectorSession& m_session;
    std::array<QLineEdit*, 8> m_fields{};
    QListWidget* m_accessible;
};
