#pragma once

#include <QDialog>

class CmDocument;
class QRadioButton;

// The desktop mode: whether the wizard runs stand alone or is started from another
// application. OK stores the document's file type.
class frmKVDCompile : public QDialog {
    Q_OBJECT
public:
    explicit frmKVDCompile(CmDocument& document, QWidget* parent = nullptr);

    bool calledFromApplication() const;
    void setCalledFromApplication(bool called);

    void accept() override;

private:
    CmDocument& m_document;
    QRadioButton* m_standAlone = nullptr;
    QRadioButton* m_called = nullptr;
};
