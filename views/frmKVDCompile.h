#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include <utility>

class CmDocument;
class QPushButton;
class QRadioButton;
class QTableWidget;

// The desktop mode: whether the wizard runs stand alone or is started from another
// application, and which applications may start it. OK stores the document's file type and
// its list of calling applications.
class frmKVDCompile : public QDialog {
    Q_OBJECT
public:
    // A calling application: its name and its class identifier.
    using CallingApp = std::pair<QString, QString>;

    explicit frmKVDCompile(CmDocument& document, QWidget* parent = nullptr);

    bool calledFromApplication() const;
    void setCalledFromApplication(bool called);

    // The rows of the list; rows with neither a name nor a class are left out.
    QList<CallingApp> callingApps() const;
    QTableWidget* callingAppTable() const { return m_apps; }
    // Adds an empty row and starts editing its name.
    void addCallingApp();
    void removeCallingApp();

    void accept() override;

private:
    void updateButtons();

    CmDocument& m_document;
    QRadioButton* m_standAlone = nullptr;
    QRadioButton* m_called = nullptr;
    QTableWidget* m_apps = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
};
