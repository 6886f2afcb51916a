#include "app/CcFile.h"

#include "app/CApplication.h"
#include "app/CModel.h"
#include "app/ErrorLog.h"

void CcFile::FileNew()
{
    try {
        if (!FileClose())
            return;
        gApp->Model().Clear();
        gApp->Model().Init();
    } catch (const std::exception& error) {
        ReportError(error, QStringLiteral("CcFile.FileNew"));
    }
}

bool CcFile::FileOpen(const QString&)
{
    return false;
}

bool CcFile::FileClose()
{
    return true;
}
