#include "FindBench.h"

#include "BenchTimer.h"

#include "project/Project.h"
#include "app/CController.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "project/CvProject.h"
#include "common/ScriptedPrompt.h"
#include "common/SyntheticTree.h"
#include "edit/CcEdit.h"
#include "edit/FindReplace.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "selectors/CcCriteriaList.h"
#include "selectors/SelectorStore.h"
#include "selectors/SelectorText.h"

#include <QTextStream>

namespace {

constexpr int SelectorRows = 10000;

void addSelector(CmDocument& document, CvProject& explorer)
{
    SelectorText::Rows rows{{QStringLiteral("Item"), QStringLiteral("Control"), QStringLiteral("Note")}};
    for (int row = 0; row < SelectorRows; ++row)
        rows.append({QStringLiteral("Item %1").arg(row), QStringLiteral("Control%1").arg(row % 500 + 1),
                     QStringLiteral("note")});
    SelectorStore(document.Storage()).WriteText(QStringLiteral("Table"), SelectorText::Write(rows));
    explorer.AddCriteriaList(QStringLiteral("Table"));
}

} // namespace

FindBench::Timing FindBench::measure(Project& project, IPrompt& prompt)
{
    CvProject& explorer = project.Explorer();
    addSelector(project.Document(), explorer);
    CcCriteriaList selectors(project.Document(), prompt, explorer);
    CcEdit& edit = project.Edit();
    edit.setSelectors(&selectors, &explorer);

    SearchRequest request;
    request.text = QStringLiteral("Control1");
    request.replacement = QStringLiteral("Ctl1");
    request.options.wholeWord = true;
    request.area = SearchRequest::Everything;
    Timing timing;
    timing.controls = project.Decisions().Count();
    timing.findMs = timed([&] { timing.found = edit.Finder().FindAll(request).size(); });
    timing.replaceMs = timed([&] { timing.replaced = edit.Finder().ReplaceAll(request).replaced; });
    timing.undoMs = timed([&] {
        while (edit.Undo().UndoCount() > 0)
            edit.UndoCommand();
    });
    edit.setSelectors(nullptr, nullptr);
    return timing;
}

int FindBench::run(const QList<int>& sizes, QTextStream& out)
{
    const QList<int> counts = sizes.isEmpty() ? QList<int>{15000, 30000} : sizes;
    out << "controls\tfind ms\tmatches\treplace all ms\treplaced\tundo 20 ms\n";
    for (const int controls : counts) {
        ScriptedPrompt prompt;
        auto project = std::make_unique<Project>(prompt);
        SyntheticTree::fill(project->Decisions(), controls);
        const Timing t = measure(*project, prompt);
        project.reset();
        out << t.controls << '\t' << t.findMs << '\t' << t.found << '\t' << t.replaceMs << '\t' << t.replaced << '\t'
            << t.undoMs << '\n';
        out.flush();
    }
    return 0;
}
