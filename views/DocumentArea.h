#pragma once

#include "app/CView.h"

#include <QMdiArea>

// The document windows: the decision-tree diagram and the selector editors.
class DocumentArea : public QMdiArea {
    Q_OBJECT
public:
    explicit DocumentArea(QWidget* parent);

    void arrange(CView::WindowArrangement arrangement);

private:
    // One above the other (horizontally) or side by side, the minimised ones left alone.
    void tile(Qt::Orientation stacking);
    void arrangeIcons();
};
