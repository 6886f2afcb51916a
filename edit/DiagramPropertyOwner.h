#pragma once

#include "model/IDecisionPropertyOwner.h"

#include <functional>

class CanvasModel;

// The diagram's hold on where a control's box stands and how large the boxes are. Top and
// left are read as the author sees them: left grows to the right, top grows downwards, and
// neither may be set below 0 (a box never goes above or left of the origin). A move
// is the canvas's own, so the undo history records it as a drag. The size is the diagram's
// one box size; the window that shows the diagram hands its own way of changing it, so its
// menu and settings follow. Registers itself for the three labels while it lives.
class DiagramPropertyOwner final : public IDecisionPropertyOwner {
public:
    using Resize = std::function<void(int sizeKind)>;

    explicit DiagramPropertyOwner(CanvasModel& canvas);
    ~DiagramPropertyOwner() override;
    DiagramPropertyOwner(const DiagramPropertyOwner&) = delete;
    DiagramPropertyOwner& operator=(const DiagramPropertyOwner&) = delete;

    // Empty: the canvas alone changes.
    void setResize(Resize resize) { m_resize = std::move(resize); }

    QString OwnedProperty(const CmDecisionItem& decision, int labelId) const override;
    bool SetOwnedProperty(CmDecisionItem& decision, int labelId, const QString& value) override;

private:
    bool move(qint16 key, int labelId, double value);
    bool resize(const QString& value);

    CanvasModel& m_canvas;
    Resize m_resize;
};
