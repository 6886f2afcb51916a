#pragma once

#include <QWidget>

class CView;
class CvCriteriaList;
class CvCriteriaListManager;
class QLineEdit;
class QTableView;

// The window of one selector editor: the grid over the editor's cells, with the edit box laid
// over the current cell while it is edited. Every change goes through the editor; the window
// only shows it and hands over keys, clicks and the focus.
class frmCriteriaList : public QWidget {
    Q_OBJECT
public:
    // The window name under which the selector menu is registered.
    static QString WindowName() { return QStringLiteral("frmCriteriaList"); }

    frmCriteriaList(CvCriteriaList& list, CvCriteriaListManager& manager, CView* view, QWidget* parent = nullptr);

    CvCriteriaList& List() const { return m_list; }
    QTableView& Table() const { return *m_table; }
    QLineEdit& EditBox() const { return *m_editBox; }
    // The manager let go of the editor: close without saving or removing it again.
    void Detach();
    bool Detached() const { return m_detached; }
    // The window became the active document window.
    void Activated();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void followCurrentCell(int row, int column);
    void followSelection();
    void followEditBox(bool visible);
    void placeEditBox();
    void takeSelection();
    bool gridKey(const QKeyEvent& key);
    bool editBoxKey(const QKeyEvent& key);

    CvCriteriaList& m_list;
    CvCriteriaListManager& m_manager;
    CView* m_view;
    QTableView* m_table;
    QLineEdit* m_editBox;
    bool m_following = false;
    bool m_detached = false;
};
