#pragma once

#include <QDialog>

class FileTypeConversion;
class IPrompt;
class QButtonGroup;
class QCheckBox;
class QLabel;

// "Convert File Type": tells whether the project already fits the other runtime, and converts
// it to the chosen file type. The work is the conversion's; the dialog collects the choice.
class frmFileType : public QDialog {
    Q_OBJECT
public:
    // currentType is the document's file type, chosen at first; prompt asks and reports.
    frmFileType(FileTypeConversion& conversion, qint32 currentType, IPrompt& prompt, QWidget* parent = nullptr);

    qint32 chosenType() const;
    void setChosenType(qint32 type);
    void setAutoConvert(bool on);
    QString description() const;

public slots:
    // The Convert File button.
    void convert();

private:
    FileTypeConversion& m_conversion;
    IPrompt& m_prompt;
    QLabel* m_description = nullptr;
    QButtonGroup* m_types = nullptr;
    QCheckBox* m_autoConvert = nullptr;
};
