#include "FuzzApplication.h"

#include "model/CmDocument.h"

FuzzApplication::FuzzApplication()
{
    m_project.Document().setKeepsWorkingCopy(false);
}
