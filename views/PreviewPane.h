#pragma once

#include <QSet>
#include <QTimer>
#include <QWidget>

class CModel;
class CmDecisionItem;
class PlayerPage;
class QLabel;
class QStackedWidget;

// Shows the selected control as a run will show it: its whole page (header, picture, its input
// and those of the controls it displays) or its input alone. It follows the selection and every
// change to a control it shows; while hidden it only notes that it is behind, and catches up
// when shown again.
class PreviewPane : public QWidget {
    Q_OBJECT

public:
    enum class Shows { Page, InputOnly };

    static constexpr const char* PageName = "frmPreview";
    static constexpr const char* InputName = "frmCtlPreview";

    PreviewPane(CModel& model, Shows shows, QWidget* parent = nullptr);

    PlayerPage& page() const { return *m_page; }
    // The control shown; null when none is selected.
    const CmDecisionItem* showing() const { return m_showing; }
    // Whether a change waits to be shown.
    bool behind() const { return m_behind; }
    // Something the page draws from besides its controls changed (the project's pictures or
    // selectors): shown again when the pane shows.
    void fallBehind();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void concern(const CmDecisionItem* item);
    void refresh();

    CModel& m_model;
    Shows m_shows;
    PlayerPage* m_page = nullptr;
    QLabel* m_nothing = nullptr;
    QStackedWidget* m_stack = nullptr;
    const CmDecisionItem* m_showing = nullptr;
    QSet<const CmDecisionItem*> m_shown;
    bool m_behind = true;
    QTimer m_refresh;
};
