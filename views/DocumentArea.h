#pragma once

#include "app/CView.h"

#include <QMdiArea>
#include <QPointer>

class QAction;
class QMenu;

// The document windows: the decision-tree diagram and the selector editors.
class DocumentArea : public QMdiArea {
    Q_OBJECT
public:
    explicit DocumentArea(QWidget* parent);

    void arrange(CView::WindowArrangement arrangement);
    // The Window menu lists the open windows below its commands each time it opens, the active
    // one checked; choosing one brings it forward.
    void listWindowsIn(QMenu& menu);

private:
    void fillWindowList(QMenu& menu);

    QList<QPointer<QAction>> m_windowEntries;
    // One above the other (horizontally) or side by side, the minimised ones left alone.
    void tile(Qt::Orientation stacking);
    void arrangeIcons();
};
