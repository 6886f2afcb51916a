#pragma once

#include "runtime/RuntimeControl.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class CmDecisionItem;
class CmDecisionManager;
class StorageDocument;

// A control's page as the runtime shows it when the page opens, read from the project as it
// stands: the header, the picture, and one input per control (the control, then the controls it
// displays, in their order). Each control goes through its stored record, as a compiled tree
// carries it, so the preview and a run read the same fields.
class PreviewPage {
public:
    struct Input {
        RuntimeControl control;
        // What the input shows before any answer: the default in the runtime's form.
        QString value;
        // The items of the selectors a list filled from selectors names, in their order.
        QStringList items;
    };

    // The page of the decision; storage gives the pictures and the selectors' items and may be null.
    static PreviewPage Of(const CmDecisionItem& decision, const CmDecisionManager& decisions,
                          const StorageDocument* storage);
    // The decision's own input alone.
    static Input InputOf(const CmDecisionItem& decision, const CmDecisionManager& decisions,
                         const StorageDocument* storage);

    const QString& header() const { return m_header; }
    const QByteArray& picture() const { return m_picture; }
    const QList<Input>& inputs() const { return m_inputs; }
    // Every decision the page shows: a change to any of them changes the page.
    const QList<const CmDecisionItem*>& shown() const { return m_shown; }

private:
    QString m_header;
    QByteArray m_picture;
    QList<Input> m_inputs;
    QList<const CmDecisionItem*> m_shown;
};
