#pragma once

#include "app/PropertySheet.h"

#include <QWidget>

#include <map>

class CmDecisionItem;
class HeadingEditor;
class IPrompt;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;

// The selected control's properties, one row per property with the editor that fits it, and
// its page header as rich text below them. A row is written when the author leaves it, presses
// Return or picks from its list; a refused value is explained and the row shows the control's
// value again.
class frmProperties : public QWidget {
    Q_OBJECT

public:
    frmProperties(PropertySheet& sheet, IPrompt& prompt, QWidget* parent = nullptr);

    // Null shows no control and leaves every row disabled.
    void showDecision(CmDecisionItem* decision);
    CmDecisionItem* decision() const { return m_decision; }
    // Every row and the header read again; a row being typed in keeps its text.
    void refresh();
    void setPictures(const QStringList& pictures);
    // Writes what is being typed in a row or the header, as the author's next command needs it.
    void commitPending();

    QWidget* editor(int labelId) const;
    HeadingEditor* headingEditor() const { return m_heading; }
    QToolButton* chooseButton() const { return m_choose; }

private:
    QWidget* makeEditor(const PropertySheet::Row& row);
    QLineEdit* makeLine(int labelId);
    QComboBox* makeCombo(int labelId, PropertySheet::Editor kind);
    QWidget* makeControlsEditor();
    void commit(int labelId, const QString& value);
    void commitHeading();
    void chooseControls();
    void showValue(int labelId);
    void showHeading(bool force);
    void fillCombo(QComboBox& combo, PropertySheet::Editor kind, const QString& value);

    PropertySheet& m_sheet;
    IPrompt& m_prompt;
    CmDecisionItem* m_decision = nullptr;
    std::map<int, QWidget*> m_editors;
    QLabel* m_none = nullptr;
    QWidget* m_rows = nullptr;
    QToolButton* m_choose = nullptr;
    HeadingEditor* m_heading = nullptr;
    QString m_shownHeading;
    QStringList m_pictures;
};
