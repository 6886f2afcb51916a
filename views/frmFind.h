#pragma once

#include <QWidget>

class CcEdit;
class CmDecisionManager;
class CmDocument;
class CView;
class QCheckBox;
class QComboBox;
class QDockWidget;
class QLabel;
class QLineEdit;
class QMainWindow;
struct FoundMatch;

// The find bar: the search and replacement texts, direction, area, whole word and match case,
// and the buttons that hand them to the edit commands. It stays open beside the work until
// Cancel.
class frmFind : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* BandName = "barFind";

    explicit frmFind(CcEdit& edit, QWidget* parent = nullptr);

    // Has Replace All name the first validation error it brings into the tree (checked for the
    // project's file type). Both must outlive the edit controller's use of the check.
    static void CheckReplacements(CcEdit& edit, const CmDecisionManager& decisions, const CmDocument& document);
    // The bar in a dock of the main window (its own child), following the band "barFind":
    // Cancel hides the band, the replacement count goes to the status bar as well.
    static QDockWidget& MakeDock(QMainWindow& window, CcEdit& edit, CView& view);

    QLineEdit& SearchBox() const { return *m_search; }
    QLineEdit& ReplacementBox() const { return *m_replacement; }
    QComboBox& DirectionBox() const { return *m_direction; }
    QComboBox& AreaBox() const { return *m_area; }
    QCheckBox& WholeWordBox() const { return *m_wholeWord; }
    QCheckBox& MatchCaseBox() const { return *m_matchCase; }
    QString StatusText() const;

    void FindNext();
    void Replace();
    void ReplaceAll();

signals:
    void closeRequested();

private:
    // The choices go to the edit commands before each command.
    void applyChoices();
    void showMatch(const FoundMatch& match);

    CcEdit& m_edit;
    QLineEdit* m_search = nullptr;
    QLineEdit* m_replacement = nullptr;
    QComboBox* m_direction = nullptr;
    QComboBox* m_area = nullptr;
    QCheckBox* m_wholeWord = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QLabel* m_status = nullptr;
};
