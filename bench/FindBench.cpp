#include "FindBench.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "app/CModel.h"
#include "app/CView.h"
#include "app/CvProject.h"
#include "app/HeadlessWindowHost.h"
#include "common/ScriptedPrompt.h"
#include "common/SyntheticTree.h"
#include "edit/CcEdit.h"
#include "edit/FindReplace.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "selectors/CcCriteriaList.h"
#include "selectors/SelectorStore.h"
#include "selectors/SelectorText.h"

#include <QElapsedTimer>
#include <QTextStream>

namespace {

constexpr int SelectorRows = 10000;

struct Timing {
    int controls = 0;
    qint64 findMs = 0;
    qsizetype found = 0;
    qint64 replaceMs = 0;
    qint64 replaced = 0;
    qint64 undoMs = 0;
};

template <typename Work>
qint64 timed(Work&& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.elapsed();
}

void addSelector(CmDocument& document, CvProject& explorer)
{
    SelectorText::Rows rows{{QStringLiteral("Item"), QStringLiteral("Control"), QStringLiteral("Note")}};
    for (int row = 0; row < SelectorRows; ++row)
        rows.append({QStringLiteral("Item %1").arg(row), QStringLiteral("Control%1").arg(row % 500 + 1),
                     QStringLiteral("note")});
    SelectorStore(document.Storage()).WriteText(QStringLiteral("Table"), SelectorText::Write(rows));
    explorer.AddCriteriaList(QStringLiteral("Table"));
}

Timing measure(int controls)
{
    ScriptedPrompt prompt;
    HeadlessWindowHost windows;
    gApp = std::make_unique<CApplication>(prompt, windows);
    gApp->Init();
    SyntheticTree::fill(gApp->Model().Decisions(), controls);
    CvProject& explorer = gApp->View().Project();
    addSelector(gApp->Model().Document(), explorer);
    CcCriteriaList selectors(gApp->Model().Document(), prompt, explorer);
    CcEdit& edit = gApp->Controller().Edit();
    edit.setSelectors(&selectors, &explorer);

    SearchRequest request;
    request.text = QStringLiteral("Control1");
    request.replacement = QStringLiteral("Ctl1");
    request.options.wholeWord = true;
    request.area = SearchRequest::Everything;
    Timing timing;
    timing.controls = controls;
    timing.findMs = timed([&] { timing.found = edit.Finder().FindAll(request).size(); });
    timing.replaceMs = timed([&] { timing.replaced = edit.Finder().ReplaceAll(request).replaced; });
    timing.undoMs = timed([&] {
        while (edit.Undo().UndoCount() > 0)
            edit.UndoCommand();
    });
    edit.setSelectors(nullptr, nullptr);
    gApp.reset();
    return timing;
}

} // namespace

int FindBench::run(const QList<int>& sizes, QTextStream& out)
{
    const QList<int> counts = sizes.isEmpty() ? QList<int>{15000, 30000} : sizes;
    out << "controls\tfind ms\tmatches\treplace all ms\treplaced\tundo 20 ms\n";
    for (const int controls : counts) {
        const Timing t = measure(controls);
        out << t.controls << '\t' << t.findMs << '\t' << t.found << '\t' << t.replaceMs << '\t' << t.replaced << '\t'
            << t.undoMs << '\n';
        out.flush();
    }
    return 0;
}
