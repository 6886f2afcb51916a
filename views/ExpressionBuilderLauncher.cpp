#include "views/ExpressionBuilderLauncher.h"

#include "app/CApplication.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "project/CvProject.h"
#include "model/CmDocument.h"
#include "selectors/StoredSelectorCatalog.h"
#include "views/frmExpressionBuilder.h"

std::optional<QString> ExpressionBuilderLauncher::Edit(CApplication& application, QWidget* parent,
                                                       const QString& expression, bool isBoolean,
                                                       const QString& itemSelector)
{
    const CvProject& project = application.View().Project();
    // Read when the builder opens: the project may have been opened again since the last time.
    const StoredSelectorCatalog catalog(application.Model().Document().Storage().rootNode());
    const ExpressionBuilderSources sources{application.Model().Decisions(),
                                           project.CriteriaLists() + project.ExternalCriteriaLists(), catalog,
                                           application.Prompt()};
    frmExpressionBuilder builder(sources, parent);
    builder.setExpression(expression);
    builder.setIsBoolean(isBoolean);
    builder.setItemSelector(itemSelector);
    if (builder.exec() != QDialog::Accepted)
        return std::nullopt;
    return builder.Expression();
}
