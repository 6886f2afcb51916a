#include "edit/UndoProject.h"

#include "model/CmDecisionItem.h"
#include "selectors/SelectorStore.h"
#include "selectors/SelectorText.h"

#include <algorithm>

UndoProject::UndoProject()
{
    undo.setTree(&tree);
    undo.setDocument(&document);
    undo.setSelectors(&selectors, &explorer);
}

void UndoProject::addControls(int count)
{
    const bool was = undo.Enabled();
    undo.setEnabled(true);
    for (int i = 1; i <= count; ++i) {
        CmDecisionItem* item = tree.AddNew(QPointF(200.0 * i, 0), 1, QStringLiteral("Control%1").arg(i));
        item->setOptsAndActs({QStringLiteral("^Yes"), QStringLiteral("!GO Control%1").arg(i % count + 1)});
        item->setCaption(QStringLiteral("Caption %1").arg(i));
    }
    undo.setEnabled(was);
}

CvCriteriaList* UndoProject::addSelector(const QString& name)
{
    const bool was = undo.Enabled();
    undo.setEnabled(true);
    SelectorStore(document.Storage()).WriteText(name, QStringLiteral("Item,Price\r\nTea,3\r\nCake,4\r\n"));
    explorer.AddCriteriaList(name);
    selectors.EditList(name);
    undo.setEnabled(was);
    return editor(name);
}

CvCriteriaList* UndoProject::editor(const QString& name) const
{
    return selectors.Manager().Item(name);
}

QString UndoProject::snapshot()
{
    QStringList lines;
    QStringList keys = decisions.Keys();
    keys.sort();
    for (const QString& key : std::as_const(keys)) {
        const CmDecisionItem* item = decisions.Item(key);
        const CanvasEntity* entity = view.Canvas().Entity(item->intID());
        lines << item->Store() + QStringLiteral(" @ ") +
                     (entity ? QStringLiteral("%1,%2").arg(entity->centre.x()).arg(entity->centre.y()) : QString());
    }
    QStringList names = explorer.internal;
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    for (const QString& name : std::as_const(names)) {
        QString table;
        if (const CvCriteriaList* open = editor(name))
            table = SelectorText::Write(open->UsedCells());
        else
            SelectorStore(document.Storage()).ReadText(name, table);
        lines << QStringLiteral("selector ") + name + QStringLiteral(": ") + table;
    }
    return lines.join(QLatin1Char('\n'));
}
