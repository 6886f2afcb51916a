#pragma once

#include "selectors/ISelectorDialogs.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class CView;
class CvCriteriaListManager;
class QMdiArea;
class QMdiSubWindow;
class frmCriteriaList;

// The selector dialogs as real windows, and the editors' windows in the document area: one
// window per open editor, closed when the manager lets the editor go.
class QtSelectorDialogs : public QObject, public ISelectorDialogs {
    Q_OBJECT
public:
    QtSelectorDialogs(QMdiArea& area, CvCriteriaListManager& manager, CView* view);
    ~QtSelectorDialogs() override;

    std::optional<SelectorKind> ChooseSelectorType() override;
    QStringList PickSelectors(const QString& caption, const QStringList& names, bool several) override;
    QStringList OpenSelectorFiles(const QString& filter, const QString& folder) override;
    void EditExternalSelector(ExternalSelectorSession& session) override;
    void ShowEditor(CvCriteriaList& editor) override;

    // The window of an editor; null when it has none.
    frmCriteriaList* Window(const CvCriteriaList& editor) const;

private:
    void closeWindow(CvCriteriaList* editor);
    QWidget* dialogParent() const;

    QMdiArea& m_area;
    CvCriteriaListManager& m_manager;
    CView* m_view;
    QHash<const CvCriteriaList*, QPointer<QMdiSubWindow>> m_windows;
};
