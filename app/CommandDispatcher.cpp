#include "app/CommandDispatcher.h"

#include "app/CApplication.h"
#include "app/ToolRegistry.h"

#include <QCoreApplication>
#include <QDir>

namespace CommandDispatcher {

bool Implemented(int id)
{
    return ToolRegistry::Implemented(id);
}

void Run(CView& view, int id)
{
    const ToolRegistry::Row* row = ToolRegistry::Find(id);
    if (row && row->run && gApp)
        row->run(view, id);
}

QString HelpFolder()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/kestrova/help"));
}

} // namespace CommandDispatcher
