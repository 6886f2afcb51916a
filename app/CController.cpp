#include "app/CController.h"

#include "app/CcFile.h"
#include "app/CcGettingStarted.h"
#include "base/ErrorLog.h"

CController::CController()
    : m_gettingStarted(std::make_unique<CcGettingStarted>()), m_file(std::make_unique<CcFile>())
{
}

CController::~CController() = default;

void CController::Init()
{
    try {
        m_file->setStartUp(true);
        m_file->FileNew();
        m_file->setStartUp(false);
    } catch (const std::exception& error) {
        m_file->setStartUp(false);
        ReportError(error, QStringLiteral("CController.Init"));
    }
}
