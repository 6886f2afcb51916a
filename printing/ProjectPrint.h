#pragma once

#include "edit/LinkRoute.h"
#include "printing/PrintSelections.h"

#include <QString>

class CanvasModel;
class CmDecisionManager;
class QPagedPaintDevice;
class QPainter;
class QTextDocument;
class StorageDocument;

// The printed project on the pages of any paged device, a printer or a PDF file: the summary
// of the controls, the diagram, the selectors' tables and the pictures, each section chosen by
// the print selections (a part the project has nothing of left out) and each starting on a
// page of its own; every page carries the
// project's name and its number at the foot.
class ProjectPrint {
public:
    ProjectPrint(const CmDecisionManager& decisions, StorageDocument& storage, const CanvasModel* canvas,
                 QString title);

    void setSelections(const PrintSelections& selections) { m_selections = selections; }
    void setLineStyle(LinkRoute::Style style) { m_lineStyle = style; }

    // The number of pages printed; 0 when the selections leave nothing to print, -1 when the
    // device cannot be painted on.
    int Print(QPagedPaintDevice& device) const;

private:
    struct Pages;
    void flow(Pages& pages, QTextDocument& document) const;
    void diagram(Pages& pages) const;

    const CmDecisionManager& m_decisions;
    StorageDocument& m_storage;
    const CanvasModel* m_canvas;
    QString m_title;
    PrintSelections m_selections;
    LinkRoute::Style m_lineStyle = LinkRoute::Style::Straight;
};
